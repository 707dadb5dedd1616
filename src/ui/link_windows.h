#pragma once

#include <memory>
#include <string>

#include "link/client/client_windows.h"

class QProgressDialog;

namespace mero::ui {

// The client socket's windows on Qt: the login dialog, a busy indicator
// while a new program version arrives, and the wait cursor.
class QtLinkClientWindows : public link::LinkClientWindows {
 public:
  static constexpr const char* kUpgradeText = "Receiving the new version of the program...";

  QtLinkClientWindows();
  ~QtLinkClientWindows() override;
  QtLinkClientWindows(const QtLinkClientWindows&) = delete;
  QtLinkClientWindows& operator=(const QtLinkClientWindows&) = delete;

  bool AskLogin(std::string& user, std::string& password) override;
  void ShowUpgradeProgress(bool on) override;
  void SetWaitCursor(link::TWaitingCursor mode) override;
  void RestoreCursor() override;

  // The upgrade progress window while it is shown.
  QProgressDialog* UpgradeProgress() const { return progress_.get(); }

 private:
  std::unique_ptr<QProgressDialog> progress_;
};

}  // namespace mero::ui
