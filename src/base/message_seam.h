#pragma once

#include <string>
#include <vector>

#include "base/date_time.h"

namespace mero::base {

// The kind of a message window.
enum MessKind : int {
  mkMessage = 1,         // "Μήνυμα", OK only
  mkQuestion = 2,        // "Ερώτηση", OK (default) and Cancel
  mkQuestionCancel = 3,  // "Ερώτηση", Cancel is the default
  mkInformation = 4,     // "Πληροφορία", OK only
};

enum class ModalResult { OK, Cancel };

// What a lookup dialog is asked to show; the names as the caller gave them.
struct LookupRequest {
  std::string keyField;       // the field whose value is returned ("ID" when empty)
  std::string table;          // table or view of the FROM clause
  std::string initialValue;   // key to position on; returned on cancel
  std::string visibleFields;  // "NAME[:label];..." or empty for all
  std::string orderField;     // the sort box starts on it
  std::string caption;
  std::string filter;  // SQL condition used unchanged, or empty
  // Opened only to choose a row: nothing in it can be changed.
  bool readOnly = false;
};

// The one way every message, question and choice reaches the user, and the
// one way a document is handed to the desktop. The user interface installs
// the real windows; tests install a scripted presenter.
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;

  // The message window: kinds of MessKind; autoCloseMs > 0 closes it with
  // Cancel after that time; fontIndex 0.. picks the memo's font, -1 keeps it.
  virtual ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) = 0;
  // One-line input. text holds the default on entry and the edit box's text
  // on return, whichever way the window closed; true only for OK.
  virtual bool InputStr(int maxLength, const std::string& prompt, std::string& text) = 0;
  // The 1-based number of the chosen option, -1 when the user escaped.
  virtual int ChooseOption(const std::vector<std::string>& options, const std::string& caption, int preselect) = 0;
  // The calendar, placed at the screen point (the edit box's top-left corner);
  // date holds the start on entry (0: today) and the picked date when true.
  virtual bool PickDate(TDateTime& date, int screenX, int screenY) = 0;
  // The date-range window; firstKey (empty or one character) is typed into
  // "Από:" as the window opens. from/to change only when true.
  virtual bool AskDateRange(const std::string& caption, const std::string& firstKey, TDateTime& from,
                            TDateTime& to) = 0;
  // The multi-choice list over items "value;display"; returns the new value
  // text ("3;5;"), or current unchanged when the user escaped.
  virtual std::string ChooseMany(const std::string& caption, const std::string& current,
                                 const std::vector<std::string>& items) = 0;
  // The lookup dialog; the chosen row's key value, or the initial value when
  // nothing was chosen.
  virtual std::string ShowLookup(const LookupRequest& request) = 0;
  // The system's own message box (an edit control's refusal: "ΣΦΑΛΜΑ!").
  virtual void SystemMessage(const std::string& caption, const std::string& text) = 0;
  // Opens a file (or an http/https address) with the desktop's default
  // program; false when it could not.
  virtual bool OpenDocument(const std::string& path) = 0;
  // The login window: user holds the remembered name on entry; OK returns
  // true with the typed texts as they stand, Cancel returns false.
  virtual bool AskLogin(std::string& user, std::string& password) = 0;
};

// A presenter without windows: messages go to the debug log and every
// question is answered as if the user had cancelled it. The default until a
// user interface installs its own; programs without windows derive from it.
class CancellingPresenter : public MessagePresenter {
 public:
  ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) override;
  bool InputStr(int maxLength, const std::string& prompt, std::string& text) override;
  int ChooseOption(const std::vector<std::string>& options, const std::string& caption, int preselect) override;
  bool PickDate(TDateTime& date, int screenX, int screenY) override;
  bool AskDateRange(const std::string& caption, const std::string& firstKey, TDateTime& from,
                    TDateTime& to) override;
  std::string ChooseMany(const std::string& caption, const std::string& current,
                         const std::vector<std::string>& items) override;
  std::string ShowLookup(const LookupRequest& request) override;
  void SystemMessage(const std::string& caption, const std::string& text) override;
  bool OpenDocument(const std::string& path) override;
  bool AskLogin(std::string& user, std::string& password) override;
};

// Installs a presenter (not owned); nullptr restores the default.
void SetMessagePresenter(MessagePresenter* presenter);
MessagePresenter* CurrentMessagePresenter();

ModalResult MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex);
// MessDlg(text, 1, autoCloseMs, -1).
void ShowMess(const std::string& text, int autoCloseMs = 0);
// MessDlg(text, 2, 0, -1) answered OK.
bool AskOK(const std::string& text);

// The one-line input: a maxLength of 0 or less means 255. Returns the text of
// the edit box; accepted (when given) tells OK from a cancel.
std::string InputStr(int maxLength, const std::string& prompt, const std::string& defaultText,
                     bool* accepted = nullptr);
// The option list; -1 without asking when there are no options.
int ChooseOption(const std::vector<std::string>& options, const std::string& caption, int preselect);
bool PickDate(TDateTime& date, int screenX, int screenY);
bool AskDateRange(const std::string& caption, const std::string& firstKey, TDateTime& from, TDateTime& to);
// With no items nothing is asked and current is returned.
std::string ChooseMany(const std::string& caption, const std::string& current, const std::vector<std::string>& items);
std::string ShowLookup(const LookupRequest& request);
void SystemMessage(const std::string& caption, const std::string& text);
bool OpenDocument(const std::string& path);
bool AskLogin(std::string& user, std::string& password);

}  // namespace mero::base
