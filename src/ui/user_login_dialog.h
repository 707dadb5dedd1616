#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace mero::ui {

// The login window: the user name and the password, whose characters are
// echoed as '#', "OK" (the default) and "Cancel". The focus starts in the
// password box when a user name is already there.
class TValidate_dbOF : public QDialog {
 public:
  explicit TValidate_dbOF(const std::string& user, QWidget* parent = nullptr);

  std::string User() const;
  std::string Password() const;
  QLineEdit* UserEdit() const { return user_; }
  QLineEdit* PasswordEdit() const { return password_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* user_;
  QLineEdit* password_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// The login window over the active window; true for OK with the typed texts.
bool RunLoginDialog(std::string& user, std::string& password);

}  // namespace mero::ui
