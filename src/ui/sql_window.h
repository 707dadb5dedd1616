#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace mero::ui {

// The window that shows an SQL text (memo M1, button OKBtn).
class TSQLShowF final : public QDialog {
  Q_OBJECT

 public:
  explicit TSQLShowF(QWidget* parent = nullptr);

  void SetText(const std::string& text);
  std::string Text() const;

 private:
  QPlainTextEdit* memo_;
};

// The program's window, made hidden at start-up; while it exists ShowSQL
// shows the text in it without waiting.
void CreateSQLWindow();
void DestroySQLWindow();
TSQLShowF* SQLWindow();  // nullptr when not made

// Shows the text. Without the program's window a window of its own is shown
// modally, and "OK" copies its memo back into text; the program's window is
// shown without waiting and leaves text as it was.
void ShowSQL(std::string& text);
// For a caller whose text cannot change: nothing is copied back.
void ShowSQL(const std::string& text);

}  // namespace mero::ui
