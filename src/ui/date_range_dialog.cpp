#include "ui/date_range_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "ui/date_edit.h"
#include "ui/dialog_buttons.h"
#include "ui/qt_text.h"

namespace mero::ui {
namespace {

using namespace base::literals;

QToolButton* PickButton(TKZDTEdit* box, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(QStringLiteral("..."));
  button->setToolTip(ToQString("Αλλαγή Ημερομηνίας"_gr));
  button->setFocusPolicy(Qt::NoFocus);
  QObject::connect(button, &QToolButton::clicked, box, [box] { box->PickDateFromCalendar(); });
  return button;
}

// The key code Qt gives a typed character: the upper-case letter for
// letters, the character itself for the rest of ASCII.
int KeyOfText(const QString& text) {
  if (text.isEmpty()) return 0;
  const QChar c = text.at(0).toUpper();
  return c.unicode() < 0x80 ? int{c.unicode()} : int{Qt::Key_unknown};
}

}  // namespace

TGetDateFmToF::TGetDateFmToF(const std::string& caption, base::TDateTime from, base::TDateTime to, QWidget* parent)
    : TF102Form(parent),
      range_(new QRadioButton(ToQString("Χρον.Διαστ."_gr), this)),
      noDate_(new QRadioButton(ToQString("Χωρίς Ημ/νία"_gr), this)),
      anyDate_(new QRadioButton(ToQString("Οποιαδήποτε"_gr), this)),
      fromEdit_(new TKZDTEdit(this)),
      toEdit_(new TKZDTEdit(this)),
      fromPick_(PickButton(fromEdit_, this)),
      toPick_(PickButton(toEdit_, this)),
      ok_(MakeOkButton(this)),
      cancel_(MakeCancelButton(this)) {
  setWindowTitle(ToQString(caption));
  auto* group = new QGroupBox(this);
  auto* choices = new QVBoxLayout(group);
  choices->addWidget(range_);
  choices->addWidget(noDate_);
  choices->addWidget(anyDate_);
  fromEdit_->SetDTTitle("Από:"_gr);
  toEdit_->SetDTTitle("εώς:"_gr);
  auto* boxes = new QGridLayout;
  boxes->addWidget(new QLabel(ToQString("Από:"_gr), this), 0, 0);
  boxes->addWidget(fromEdit_, 0, 1);
  boxes->addWidget(fromPick_, 0, 2);
  boxes->addWidget(new QLabel(ToQString("εώς:"_gr), this), 1, 0);
  boxes->addWidget(toEdit_, 1, 1);
  boxes->addWidget(toPick_, 1, 2);
  boxes->setRowStretch(2, 1);
  auto* top = new QHBoxLayout;
  top->addWidget(group);
  top->addLayout(boxes);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(ButtonRow({ok_, cancel_}));
  // A click on OK or Cancel leaves the focus in its box: OK checks the
  // dates once, and Cancel never stops at a date it is about to drop.
  ok_->setFocusPolicy(Qt::NoFocus);
  cancel_->setFocusPolicy(Qt::NoFocus);
  connect(ok_, &QPushButton::clicked, this, [this] { RunGuarded([this] { AcceptOrClose(); }); });

  const DateRangeStart start = DateRangeStartOf(from, to);
  switch (start.kind) {
    case PeriodKind::NoDate:
      noDate_->setChecked(true);
      break;
    case PeriodKind::AnyDate:
      anyDate_->setChecked(true);
      break;
    case PeriodKind::Range:
      range_->setChecked(true);
      fromEdit_->SetDate(start.from);
      toEdit_->SetDate(start.to);
      break;
  }
  fromEdit_->setFocus();
  fromEdit_->selectAll();
}

void TGetDateFmToF::setVisible(bool visible) {
  TF102Form::setVisible(visible);
  if (visible) TypeFirstKey();
}

void TGetDateFmToF::TypeFirstKey() {
  if (firstKey_.empty()) return;
  const QString text = ToQString(firstKey_);
  firstKey_.clear();
  const int code = KeyOfText(text);
  QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
  QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
  QApplication::sendEvent(fromEdit_, &press);
  QApplication::sendEvent(fromEdit_, &release);
}

PeriodKind TGetDateFmToF::Kind() const {
  if (noDate_->isChecked()) return PeriodKind::NoDate;
  if (anyDate_->isChecked()) return PeriodKind::AnyDate;
  return PeriodKind::Range;
}

Period TGetDateFmToF::Result() const { return DateRangeResult(Kind(), fromEdit_->Date(), toEdit_->Date()); }

void TGetDateFmToF::AcceptOrClose() {
  if (Kind() == PeriodKind::Range && (!fromEdit_->CheckDate() || !toEdit_->CheckDate())) return;
  TF102Form::AcceptOrClose();
}

bool RunDateRangeDialog(const std::string& caption, const std::string& firstKey, base::TDateTime& from,
                        base::TDateTime& to) {
  TGetDateFmToF dialog(caption, from, to, QApplication::activeWindow());
  dialog.SetFirstKey(firstKey);
  if (dialog.exec() != QDialog::Accepted) return false;
  const Period period = dialog.Result();
  from = period.from;
  to = period.to;
  return true;
}

}  // namespace mero::ui
