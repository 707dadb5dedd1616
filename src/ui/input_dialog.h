#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mero::ui {

// The one-line input window: the prompt as caption and above the box, the
// default text in it, "ΟΚ" and "Άκυρο".
class TGetInpStrF : public QDialog {
 public:
  TGetInpStrF(int maxLength, const std::string& prompt, const std::string& text, QWidget* parent = nullptr);

  std::string Text() const;
  QLineEdit* Edit() const { return edit_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  QLineEdit* edit_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// The one-line input window; true for OK, text holds the edit box either way.
bool RunInputDialog(int maxLength, const std::string& prompt, std::string& text);

}  // namespace mero::ui
