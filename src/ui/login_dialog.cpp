#include "ui/login_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/client/login_window_logic.h"
#include "ui/qt_text.h"

namespace mero::ui {

LoginDialog::LoginDialog(QWidget* parent)
    : QDialog(parent),
      user_(new QLineEdit(this)),
      password_(new QLineEdit(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  setWindowTitle(QString::fromLatin1(link::TLinkLoginWindowLogic::kCaption));
  auto* header = new QLabel(QString::fromLatin1(link::TLinkLoginWindowLogic::kHeader), this);
  QFont font = header->font();
  font.setBold(true);
  header->setFont(font);
  password_->setEchoMode(QLineEdit::Password);
  password_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("User Name"), user_);
  form->addRow(QStringLiteral("Password"), password_);
  ok_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(header);
  layout->addLayout(form);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  user_->setFocus();
}

void LoginDialog::SetUser(const std::string& user) { user_->setText(ToQString(user)); }
void LoginDialog::SetPassword(const std::string& password) { password_->setText(ToQString(password)); }
std::string LoginDialog::User() const { return FromQString(user_->text()); }
std::string LoginDialog::Password() const { return FromQString(password_->text()); }

void LoginDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && user_->hasFocus()) {
    password_->setFocus();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace mero::ui
