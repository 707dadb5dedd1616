#include "ui/base_window.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>
#include <exception>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "data/database_error.h"
#include "data/dataset.h"
#include "data/dataset_utils.h"

namespace mero::ui {

using namespace base::literals;

bool RunGuarded(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const data::EAbort&) {
  } catch (const std::exception& e) {
    base::ShowMess(e.what());
  } catch (...) {
    base::ShowMess("Unknown error");
  }
  return false;
}

TF102Form::TF102Form(QWidget* parent) : QDialog(parent) {
  // On the application, so that the window sees a key before the focused
  // control does, whichever control was added later.
  qApp->installEventFilter(this);
}

TF102Form::~TF102Form() { qApp->removeEventFilter(this); }

void TF102Form::SetMainDataSet(data::TDataSet* dataSet) {
  mainDataSet_ = dataSet;
  AddDataSet(dataSet);
}

void TF102Form::AddDataSet(data::TDataSet* dataSet) {
  if (dataSet != nullptr && std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end())
    dataSets_.push_back(dataSet);
}

void TF102Form::RemoveDataSet(data::TDataSet* dataSet) {
  dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), dataSet), dataSets_.end());
  if (mainDataSet_ == dataSet) mainDataSet_ = nullptr;
}

data::TDataSet* TF102Form::EditedDataSet() const {
  for (data::TDataSet* ds : dataSets_)
    if (data::IsEditing(*ds)) return ds;
  return nullptr;
}

void TF102Form::Find() { RunQuery(); }
void TF102Form::RunQuery() {}
void TF102Form::F8Key() {}
void TF102Form::F12Key() {}

void TF102Form::CancelOrClose() {
  if (data::TDataSet* ds = EditedDataSet()) {
    if (base::AskOK("Προσοχή υπάρχουν στοιχεία που δεν έχουν καταχωρηθεί!. Συνέχεια?"_gr)) ds->Cancel();
    return;
  }
  CloseCancel();
}

void TF102Form::AcceptOrClose() {
  if (data::TDataSet* ds = EditedDataSet()) {
    ds->Post();
    return;
  }
  CloseOK();
}

void TF102Form::reject() {
  RunGuarded([this] { CancelOrClose(); });
}

void TF102Form::CloseCancel() { QDialog::done(QDialog::Rejected); }
void TF102Form::CloseOK() { QDialog::done(QDialog::Accepted); }

FocusedControl TF102Form::DescribeControl(const QWidget* control) const {
  FocusedControl c;
  if (control == nullptr) return c;
  // The edit line of a combo or spin box stands for its box.
  const QWidget* owner = control;
  if (control->parentWidget() != nullptr &&
      (qobject_cast<const QComboBox*>(control->parentWidget()) != nullptr ||
       qobject_cast<const QAbstractSpinBox*>(control->parentWidget()) != nullptr))
    owner = control->parentWidget();
  c.name = owner->objectName().toStdString();
  c.tag = owner->property("tag").toInt();
  if (const auto* edit = qobject_cast<const QLineEdit*>(owner)) {
    // Only the plain box: the date, period and lookup boxes are classes of
    // their own, for which an empty text is a search of its own.
    c.plainEdit = edit->metaObject() == &QLineEdit::staticMetaObject;
    c.hasText = !edit->text().isEmpty();
  }
  c.gridOrMemo = qobject_cast<const QPlainTextEdit*>(owner) != nullptr ||
                 qobject_cast<const QTextEdit*>(owner) != nullptr;
  // The editor of a grid's cell is part of the grid: its Enter ends the
  // cell's edit.
  for (const QWidget* w = owner; w != nullptr && !c.gridOrMemo; w = w->parentWidget())
    c.gridOrMemo = qobject_cast<const QAbstractItemView*>(w) != nullptr;
  return c;
}

unsigned ModifierBits(Qt::KeyboardModifiers m) {
  unsigned bits = 0;
  if (m & Qt::ShiftModifier) bits |= kShift;
  if (m & Qt::ControlModifier) bits |= kCtrl;
  if (m & Qt::AltModifier) bits |= kAlt;
  if (m & Qt::MetaModifier) bits |= kMeta;
  return bits;
}

bool TF102Form::AtFocusedControl(QObject* watched) const {
  if (!watched->isWidgetType()) return false;
  const auto* widget = static_cast<const QWidget*>(watched);
  if (widget->window() != this) return false;
  // A key the focused control passes on to its parents is not looked at
  // again.
  const QWidget* focus = QApplication::focusWidget();
  return focus == nullptr || focus->window() != this || focus == widget;
}

bool TF102Form::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !AtFocusedControl(watched)) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  return HandleKey(static_cast<QWidget*>(watched), key->key(), ModifierBits(key->modifiers()));
}

bool TF102Form::HandleKey(QWidget* focused, int key, unsigned modifiers) {
  FormKey action = FormKey::None;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (modifiers == 0) action = EnterKey(searchControls_, DescribeControl(focused));
  } else {
    action = WindowKey(key, modifiers);
  }
  if (action == FormKey::None) return false;
  RunGuarded([this, action] { Apply(action); });
  return true;
}

void TF102Form::Apply(FormKey action) {
  data::TDataSet* main = mainDataSet_ != nullptr && mainDataSet_->Active() ? mainDataSet_ : nullptr;
  switch (action) {
    case FormKey::None: break;
    case FormKey::Find: Find(); break;
    case FormKey::NextControl: focusNextChild(); break;
    case FormKey::CancelOrClose: CancelOrClose(); break;
    case FormKey::AcceptOrClose: AcceptOrClose(); break;
    case FormKey::F8Key: F8Key(); break;
    case FormKey::F12Key: F12Key(); break;
    case FormKey::PriorRecord: if (main) main->Prior(); break;
    case FormKey::NextRecord: if (main) main->Next(); break;
    case FormKey::LastRecord: if (main) main->Last(); break;
    case FormKey::FirstRecord: if (main) main->First(); break;
  }
}

}  // namespace mero::ui
