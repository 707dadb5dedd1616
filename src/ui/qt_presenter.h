#pragma once

#include "base/message_seam.h"

namespace mero::ui {

// The presenter of the running program: every message, question and choice
// in its Qt window, and documents opened with the desktop's program.
class QtPresenter final : public base::MessagePresenter {
 public:
  base::ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) override;
  bool InputStr(int maxLength, const std::string& prompt, std::string& text) override;
  int ChooseOption(const std::vector<std::string>& options, const std::string& caption, int preselect) override;
  bool PickDate(base::TDateTime& date, int screenX, int screenY) override;
  bool AskDateRange(const std::string& caption, const std::string& firstKey, base::TDateTime& from,
                    base::TDateTime& to) override;
  std::string ChooseMany(const std::string& caption, const std::string& current,
                         const std::vector<std::string>& items) override;
  std::string ShowLookup(const base::LookupRequest& request) override;
  void SystemMessage(const std::string& caption, const std::string& text) override;
  bool OpenDocument(const std::string& path) override;
  bool AskLogin(std::string& user, std::string& password) override;
};

}  // namespace mero::ui
