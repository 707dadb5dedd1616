#include "ui/qt_presenter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "ui/calendar_dialog.h"
#include "ui/date_range_dialog.h"
#include "ui/input_dialog.h"
#include "ui/user_login_dialog.h"
#include "ui/lookup_dialog.h"
#include "ui/message_window.h"
#include "ui/multi_choice_dialog.h"
#include "ui/option_dialog.h"
#include "ui/qt_text.h"

namespace mero::ui {

base::ModalResult QtPresenter::MessDlg(const std::string& text, int kind, int autoCloseMs, int fontIndex) {
  return RunMessageWindow(text, kind, autoCloseMs, fontIndex);
}

bool QtPresenter::InputStr(int maxLength, const std::string& prompt, std::string& text) {
  return RunInputDialog(maxLength, prompt, text);
}

int QtPresenter::ChooseOption(const std::vector<std::string>& options, const std::string& caption, int preselect) {
  return RunOptionDialog(options, caption, preselect);
}

bool QtPresenter::PickDate(base::TDateTime& date, int screenX, int screenY) {
  return RunCalendar(date, screenX, screenY);
}

bool QtPresenter::AskDateRange(const std::string& caption, const std::string& firstKey, base::TDateTime& from,
                               base::TDateTime& to) {
  return RunDateRangeDialog(caption, firstKey, from, to);
}

std::string QtPresenter::ChooseMany(const std::string& caption, const std::string& current,
                                    const std::vector<std::string>& items) {
  return RunMultiChoice(caption, current, items);
}

std::string QtPresenter::ShowLookup(const base::LookupRequest& request) { return RunLookup(request); }

void QtPresenter::SystemMessage(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, ToQString(caption), ToQString(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

bool QtPresenter::OpenDocument(const std::string& path) {
  // An address of the web opens in the browser; anything else is a file.
  const QString text = QString::fromStdString(path);
  const bool web = text.startsWith(QStringLiteral("https://")) || text.startsWith(QStringLiteral("http://"));
  return QDesktopServices::openUrl(web ? QUrl(text) : QUrl::fromLocalFile(text));
}

bool QtPresenter::AskLogin(std::string& user, std::string& password) { return RunLoginDialog(user, password); }

}  // namespace mero::ui
