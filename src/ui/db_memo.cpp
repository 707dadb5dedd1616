#include "ui/db_memo.h"

#include <QApplication>

#include "data/field.h"
#include "ui/qt_text.h"

namespace mero::ui {

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {
  link_.OnDataChange = [this] {
    if (!writing_) ShowField();
  };
  connect(this, &QPlainTextEdit::textChanged, this, &TDBMemo::Write);
  ShowField();
}

void TDBMemo::ShowField() {
  showing_ = true;
  setReadOnly(!link_.CanModify());
  QString text = ToQString(link_.Text());
  text.remove(QLatin1Char('\r'));
  if (text != toPlainText()) setPlainText(text);
  showing_ = false;
}

void TDBMemo::Write() {
  if (showing_) return;
  writing_ = true;
  // The field keeps the lines as the system writes them, CR LF apart.
  const std::string text = FromQString(toPlainText());
  std::string stored;
  for (char c : text) {
    if (c == '\n') stored += '\r';
    stored += c;
  }
  link_.WriteText(stored);
  writing_ = false;
  if (!link_.Editing()) {
    QApplication::beep();
    ShowField();
  }
}

}  // namespace mero::ui
