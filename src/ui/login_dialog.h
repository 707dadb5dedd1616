#pragma once

#include <QDialog>
#include <string>

class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace mero::ui {

// The client socket's own login window: "Please Login", a user name and a
// password echoed as '*', OK and Cancel. Enter in the user name moves to the
// password; Enter in the password is OK. The window only collects the two
// texts; what a cancel means is the socket's rule (TLinkLoginWindowLogic).
class LoginDialog : public QDialog {
 public:
  explicit LoginDialog(QWidget* parent = nullptr);

  void SetUser(const std::string& user);
  void SetPassword(const std::string& password);
  std::string User() const;
  std::string Password() const;

  QLineEdit* UserEdit() const { return user_; }
  QLineEdit* PasswordEdit() const { return password_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLineEdit* user_;
  QLineEdit* password_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace mero::ui
