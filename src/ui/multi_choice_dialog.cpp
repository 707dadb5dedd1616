#include "ui/multi_choice_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "ui/dialog_buttons.h"
#include "ui/multi_choice_rules.h"
#include "ui/qt_text.h"

namespace mero::ui {

using namespace base::literals;

TxMultiCheckF::TxMultiCheckF(const std::string& caption, const std::string& current,
                             const std::vector<std::string>& items, QWidget* parent)
    : QDialog(parent),
      items_(items),
      list_(new QListWidget(this)),
      checkAll_(new QPushButton(ToQString("Επιλογή Όλων"_gr), this)),
      uncheckAll_(new QPushButton(ToQString("Από-επιλογή Όλων"_gr), this)),
      ok_(MakeOkButton(this)),
      cancel_(MakeCancelButton(this)) {
  setWindowTitle(ToQString(caption));
  for (const std::string& item : items_) {
    auto* row = new QListWidgetItem(ToQString(SplitChoiceItem(item).display), list_);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(Qt::Unchecked);
  }
  SetChecked(CheckedChoices(current, items_));
  if (list_->count() > 0) list_->setCurrentRow(0);
  list_->setMinimumSize(280, 260);
  auto* marks = new QHBoxLayout;
  marks->addWidget(checkAll_);
  marks->addWidget(uncheckAll_);
  marks->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(marks);
  layout->addLayout(ButtonRow({ok_, cancel_}));
  connect(checkAll_, &QPushButton::clicked, this, [this] { SetChecked(std::vector<bool>(items_.size(), true)); });
  connect(uncheckAll_, &QPushButton::clicked, this,
          [this] { SetChecked(std::vector<bool>(items_.size(), false)); });
  connect(list_, &QListWidget::itemChanged, this, &TxMultiCheckF::ItemClicked);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
  list_->setFocus();
}

std::vector<bool> TxMultiCheckF::Checked() const {
  std::vector<bool> checked;
  for (int i = 0; i < list_->count(); ++i) checked.push_back(list_->item(i)->checkState() == Qt::Checked);
  return checked;
}

void TxMultiCheckF::SetChecked(const std::vector<bool>& checked) {
  setting_ = true;
  for (int i = 0; i < list_->count() && i < static_cast<int>(checked.size()); ++i)
    list_->item(i)->setCheckState(checked[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
  setting_ = false;
}

std::string TxMultiCheckF::Values() const { return ChosenValues(items_, Checked()); }

bool TxMultiCheckF::eventFilter(QObject* watched, QEvent* event) {
  // The check mark toggles inside the list's delegate; the modifiers of the
  // event doing it decide the range.
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      clickModifiers_ = static_cast<QMouseEvent*>(event)->modifiers();
      break;
    case QEvent::KeyPress:
      clickModifiers_ = static_cast<QKeyEvent*>(event)->modifiers();
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void TxMultiCheckF::ItemClicked(QListWidgetItem* item) {
  if (setting_) return;
  const bool shift = clickModifiers_.testFlag(Qt::ShiftModifier);
  const bool ctrl = clickModifiers_.testFlag(Qt::ControlModifier);
  SetChecked(RangeChecked(Checked(), list_->row(item), shift, ctrl));
}

std::string RunMultiChoice(const std::string& caption, const std::string& current,
                           const std::vector<std::string>& items) {
  if (items.empty()) return current;
  TxMultiCheckF dialog(caption, current, items, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted ? dialog.Values() : current;
}

}  // namespace mero::ui
