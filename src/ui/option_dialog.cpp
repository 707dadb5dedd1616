#include "ui/option_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/option_choice.h"
#include "ui/qt_text.h"

namespace mero::ui {

TGetOptF::TGetOptF(const std::vector<std::string>& options, const std::string& caption, int preselect,
                   QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
  setWindowTitle(ToQString(caption));
  for (const std::string& option : options) list_->addItem(ToQString(option));
  const int count = static_cast<int>(options.size());
  if (count > 0) list_->setCurrentRow(OptionStartRow(count, preselect));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  const int rows = std::clamp(count, 3, 20);
  const int rowHeight = count > 0 ? list_->sizeHintForRow(0) : list_->fontMetrics().height();
  list_->setMinimumSize(260, rows * rowHeight + 2 * list_->frameWidth() + 4);
  list_->installEventFilter(this);
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { Choose(list_->row(item) + 1); });
  list_->setFocus();
}

bool TGetOptF::HandleKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  if (key == Qt::Key_F4 && mods == Qt::AltModifier) return true;
  if (mods != Qt::NoModifier) return false;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (list_->currentRow() >= 0) Choose(list_->currentRow() + 1);
    return true;
  }
  if (key == Qt::Key_Escape) {
    reject();
    return true;
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    // A digit never searches the list: it chooses, or is ignored.
    const int number = OptionForDigit(list_->count(), key - Qt::Key_0);
    if (number > 0) Choose(number);
    return true;
  }
  return false;
}

bool TGetOptF::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event))) return true;
  return QDialog::eventFilter(watched, event);
}

void TGetOptF::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event)) QDialog::keyPressEvent(event);
}

void TGetOptF::closeEvent(QCloseEvent* event) { event->ignore(); }

void TGetOptF::Choose(int number) {
  chosen_ = number;
  accept();
}

int RunOptionDialog(const std::vector<std::string>& options, const std::string& caption, int preselect) {
  TGetOptF dialog(options, caption, preselect, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : -1;
}

}  // namespace mero::ui
