#include "ui/user_login_dialog.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "ui/dialog_buttons.h"
#include "ui/qt_text.h"

namespace mero::ui {
namespace {

using namespace base::literals;

// Hidden characters show as '#' whatever the desktop's style would draw.
class HashEchoStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '#';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

TValidate_dbOF::TValidate_dbOF(const std::string& user, QWidget* parent)
    : QDialog(parent),
      user_(new QLineEdit(this)),
      password_(new QLineEdit(this)),
      ok_(MakeOkButton(this, QStringLiteral("OK"))),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  setWindowTitle(ToQString("Συμπληρώστε τα στοιχεία σας"_gr));
  user_->setText(ToQString(user));
  auto* style = new HashEchoStyle;
  style->setParent(password_);
  password_->setStyle(style);
  password_->setEchoMode(QLineEdit::Password);
  auto* form = new QFormLayout;
  form->addRow(new QLabel(ToQString("Χρήστης (UserName) : "_gr), this), user_);
  form->addRow(new QLabel(ToQString("Κωδικός Πρόσβασης (Password) :"_gr), this), password_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(ButtonRow({ok_, cancel_}));
  user_->setMinimumWidth(200);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TValidate_dbOF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!user_->text().isEmpty()) {
    password_->setFocus();
  } else {
    user_->setFocus();
  }
}

std::string TValidate_dbOF::User() const { return FromQString(user_->text()); }
std::string TValidate_dbOF::Password() const { return FromQString(password_->text()); }

bool RunLoginDialog(std::string& user, std::string& password) {
  TValidate_dbOF dialog(user, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return false;
  user = dialog.User();
  password = dialog.Password();
  return true;
}

}  // namespace mero::ui
