#include "base/message_seam.h"

#include "base/trace.h"

namespace mero::base {
namespace {

CancellingPresenter& DefaultPresenter() {
  static CancellingPresenter presenter;
  return presenter;
}

MessagePresenter*& Installed() {
  static MessagePresenter* presenter = nullptr;
  return presenter;
}

}  // namespace

ModalResult CancellingPresenter::MessDlg(const std::string& text, int kind, int, int) {
  DebugLog("MESSAGE(" + std::to_string(kind) + "): " + text);
  return kind == mkQuestion || kind == mkQuestionCancel ? ModalResult::Cancel : ModalResult::OK;
}

bool CancellingPresenter::InputStr(int, const std::string& prompt, std::string&) {
  DebugLog("INPUT: " + prompt);
  return false;
}

int CancellingPresenter::ChooseOption(const std::vector<std::string>&, const std::string& caption, int) {
  DebugLog("OPTIONS: " + caption);
  return -1;
}

bool CancellingPresenter::PickDate(TDateTime&, int, int) { return false; }

bool CancellingPresenter::AskDateRange(const std::string& caption, const std::string&, TDateTime&, TDateTime&) {
  DebugLog("DATE RANGE: " + caption);
  return false;
}

std::string CancellingPresenter::ChooseMany(const std::string& caption, const std::string& current,
                                            const std::vector<std::string>&) {
  DebugLog("CHOICES: " + caption);
  return current;
}

std::string CancellingPresenter::ShowLookup(const LookupRequest& request) {
  DebugLog("LOOKUP: " + request.table);
  return request.initialValue;
}

void CancellingPresenter::SystemMessage(const std::string& caption, const std::string& text) {
  DebugLog("SYSTEM MESSAGE " + caption + ": " + text);
}

bool CancellingPresenter::OpenDocument(const std::string& path) {
  DebugLog("OPEN: " + path);
  return false;
}

bool CancellingPresenter::AskLogin(std::string& user, std::string&) {
  DebugLog("LOGIN: " + user);
  return false;
}

void SetMessagePresenter(MessagePresenter* presenter) { Installed() = presenter; }

MessagePresenter* CurrentMessagePresenter() { return Installed() != nullptr ? Installed() : &DefaultPresenter(); }

ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) {
  return CurrentMessagePresenter()->MessDlg(text, kind, autoCloseMs, fontIndex);
}

void ShowMess(const std::string& text, int autoCloseMs) { MessDlg(text, mkMessage, autoCloseMs, -1); }

bool AskOK(const std::string& text) { return MessDlg(text, mkQuestion, 0, -1) == ModalResult::OK; }

std::string InputStr(int maxLength, const std::string& prompt, const std::string& defaultText, bool* accepted) {
  std::string text = defaultText;
  const bool ok = CurrentMessagePresenter()->InputStr(maxLength > 0 ? maxLength : 255, prompt, text);
  if (accepted != nullptr) *accepted = ok;
  return text;
}

int ChooseOption(const std::vector<std::string>& options, const std::string& caption, int preselect) {
  if (options.empty()) return -1;
  return CurrentMessagePresenter()->ChooseOption(options, caption, preselect);
}

bool PickDate(TDateTime& date, int screenX, int screenY) {
  return CurrentMessagePresenter()->PickDate(date, screenX, screenY);
}

bool AskDateRange(const std::string& caption, const std::string& firstKey, TDateTime& from, TDateTime& to) {
  return CurrentMessagePresenter()->AskDateRange(caption, firstKey, from, to);
}

std::string ChooseMany(const std::string& caption, const std::string& current, const std::vector<std::string>& items) {
  if (items.empty()) return current;
  return CurrentMessagePresenter()->ChooseMany(caption, current, items);
}

std::string ShowLookup(const LookupRequest& request) { return CurrentMessagePresenter()->ShowLookup(request); }

void SystemMessage(const std::string& caption, const std::string& text) {
  CurrentMessagePresenter()->SystemMessage(caption, text);
}

bool OpenDocument(const std::string& path) { return CurrentMessagePresenter()->OpenDocument(path); }
bool AskLogin(std::string& user, std::string& password) {
  return CurrentMessagePresenter()->AskLogin(user, password);
}

}  // namespace mero::base
