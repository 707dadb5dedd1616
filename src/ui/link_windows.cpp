#include "ui/link_windows.h"

#include <QApplication>
#include <QProgressDialog>

#include "ui/login_dialog.h"

namespace mero::ui {

QtLinkClientWindows::QtLinkClientWindows() = default;
QtLinkClientWindows::~QtLinkClientWindows() = default;

bool QtLinkClientWindows::AskLogin(std::string& user, std::string& password) {
  LoginDialog dialog;
  dialog.SetUser(user);
  dialog.SetPassword(password);
  if (dialog.exec() != QDialog::Accepted) return false;
  user = dialog.User();
  password = dialog.Password();
  return true;
}

void QtLinkClientWindows::ShowUpgradeProgress(bool on) {
  if (!on) {
    progress_.reset();
    return;
  }
  if (progress_) return;
  progress_ = std::make_unique<QProgressDialog>();
  progress_->setLabelText(QString::fromLatin1(kUpgradeText));
  progress_->setCancelButton(nullptr);
  progress_->setRange(0, 0);  // a busy indicator: the size is not known in advance
  progress_->setMinimumDuration(0);
  progress_->show();
}

void QtLinkClientWindows::SetWaitCursor(link::TWaitingCursor mode) {
  QApplication::setOverrideCursor(mode == link::cqSQLHourGlass ? Qt::BusyCursor : Qt::WaitCursor);
}

void QtLinkClientWindows::RestoreCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace mero::ui
