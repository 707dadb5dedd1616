#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace mero::ui {

// A long text shown read-only, with OK to close (the lookup's F5 on a cell).
class MemoViewer : public QDialog {
 public:
  MemoViewer(const std::string& caption, const std::string& text, QWidget* parent = nullptr);

  QPlainTextEdit* Memo() const { return memo_; }
  QPushButton* OkButton() const { return ok_; }

 private:
  QPlainTextEdit* memo_;
  QPushButton* ok_;
};

// Shows the text modally in the viewer.
void ShowMemoViewer(const std::string& caption, const std::string& text);

}  // namespace mero::ui
