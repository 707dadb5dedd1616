#include "base/message_seam.h"

#include "base/trace.h"

namespace mero::base {
namespace {

class LogPresenter final : public MessagePresenter {
 public:
  ModalResult MessDlg(const std::string& text, int kind, int, int) override {
    DebugLog("MESSAGE(" + std::to_string(kind) + "): " + text);
    return kind == mkQuestion || kind == mkQuestionCancel ? ModalResult::Cancel : ModalResult::OK;
  }
};

LogPresenter& DefaultPresenter() {
  static LogPresenter presenter;
  return presenter;
}

MessagePresenter*& Installed() {
  static MessagePresenter* presenter = nullptr;
  return presenter;
}

}  // namespace

void SetMessagePresenter(MessagePresenter* presenter) { Installed() = presenter; }

MessagePresenter* CurrentMessagePresenter() { return Installed() != nullptr ? Installed() : &DefaultPresenter(); }

ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) {
  return CurrentMessagePresenter()->MessDlg(text, kind, autoCloseMs, fontIndex);
}

void ShowMess(const std::string& text, int autoCloseMs) { MessDlg(text, mkMessage, autoCloseMs, -1); }

bool AskOK(const std::string& text) { return MessDlg(text, mkQuestion, 0, -1) == ModalResult::OK; }

}  // namespace mero::base
