#pragma once

#include <string>

namespace mero::base {

// The kind of a message window.
enum MessKind : int {
  mkMessage = 1,         // "Μήνυμα", OK only
  mkQuestion = 2,        // "Ερώτηση", OK (default) and Cancel
  mkQuestionCancel = 3,  // "Ερώτηση", Cancel is the default
  mkInformation = 4,     // "Πληροφορία", OK only
};

enum class ModalResult { OK, Cancel };

// The one way every message and question reaches the user. The user interface
// installs the real window; tests install a scripted presenter. Until one is
// installed, messages go to the debug log and questions are answered Cancel
// (the answer of a question that expired unanswered).
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  virtual ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) = 0;
};

// Installs a presenter (not owned); nullptr restores the default.
void SetMessagePresenter(MessagePresenter* presenter);
MessagePresenter* CurrentMessagePresenter();

ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex);
// MessDlg(text, 1, autoCloseMs, -1).
void ShowMess(const std::string& text, int autoCloseMs = 0);
// MessDlg(text, 2, 0, -1) answered OK.
bool AskOK(const std::string& text);

}  // namespace mero::base
