#include "ui/calendar_dialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/encoding.h"
#include "base/format_settings.h"
#include "base/runtime.h"
#include "base/screen_rules.h"
#include "ui/calendar_rules.h"
#include "ui/dialog_buttons.h"
#include "ui/qt_text.h"

namespace mero::ui {
namespace {

using namespace base::literals;

QDate ToQDate(base::TDateTime date) {
  const base::DateParts d = base::DecodeDate(date);
  return QDate(d.year, d.month, d.day);
}

base::TDateTime FromQDate(const QDate& day) { return base::EncodeDate(day.year(), day.month(), day.day()); }

QToolButton* StepButton(const char* text, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(QString::fromLatin1(text));
  button->setAutoRaise(true);
  return button;
}

}  // namespace

TgDateuF::TgDateuF(base::TDateTime date, QWidget* parent)
    : QDialog(parent),
      date_(CalendarStartDate(date)),
      calendar_(new QCalendarWidget(this)),
      monthLabel_(new QLabel(this)),
      dayLabel_(new QLabel(this)),
      ok_(MakeOkButton(this)),
      cancel_(MakeCancelButton(this)) {
  setWindowTitle(ToQString("Επιλογή Ημερομηνίας"_gr));
  calendar_->setNavigationBarVisible(false);
  calendar_->setFirstDayOfWeek(Qt::Monday);
  calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  calendar_->setLocale(QLocale(QLocale::Greek, QLocale::Greece));
  auto* yearBack = StepButton("<<", this);
  auto* monthBack = StepButton("<", this);
  auto* monthOn = StepButton(">", this);
  auto* yearOn = StepButton(">>", this);
  monthLabel_->setAlignment(Qt::AlignCenter);
  QFont bold = dayLabel_->font();
  bold.setBold(true);
  dayLabel_->setFont(bold);
  monthLabel_->setFont(bold);
  dayLabel_->setAlignment(Qt::AlignCenter);
  auto* steps = new QHBoxLayout;
  steps->addWidget(yearBack);
  steps->addWidget(monthBack);
  steps->addWidget(monthLabel_, 1);
  steps->addWidget(monthOn);
  steps->addWidget(yearOn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(steps);
  layout->addWidget(calendar_);
  layout->addWidget(dayLabel_);
  layout->addLayout(ButtonRow({ok_, cancel_}));
  connect(yearBack, &QToolButton::clicked, this, [this] { StepMonths(-12); });
  connect(monthBack, &QToolButton::clicked, this, [this] { StepMonths(-1); });
  connect(monthOn, &QToolButton::clicked, this, [this] { StepMonths(1); });
  connect(yearOn, &QToolButton::clicked, this, [this] { StepMonths(12); });
  connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] { DayChanged(calendar_->selectedDate()); });
  connect(calendar_, &QCalendarWidget::activated, this, [this](const QDate& day) {
    DayChanged(day);
    accept();
  });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  // The calendar's own view takes the keys first; the page keys are ours.
  for (QWidget* child : calendar_->findChildren<QWidget*>()) child->installEventFilter(this);
  calendar_->installEventFilter(this);
  calendar_->setSelectedDate(ToQDate(date_));
  ShowDay();
  calendar_->setFocus();
}

void TgDateuF::SetDate(base::TDateTime date) {
  date_ = base::DateOf(date);
  calendar_->setSelectedDate(ToQDate(date_));
  ShowDay();
}

void TgDateuF::StepMonths(int months) { SetDate(ShiftCalendarMonths(date_, months)); }

void TgDateuF::DayChanged(const QDate& day) {
  if (!day.isValid()) return;
  date_ = FromQDate(day);
  ShowDay();
}

void TgDateuF::ShowDay() {
  const CalendarDayLabel label = DayLabelOf(date_);
  dayLabel_->setText(ToQString(label.text));
  QPalette p = dayLabel_->palette();
  p.setColor(QPalette::WindowText, label.weekend ? Qt::red : Qt::blue);
  dayLabel_->setPalette(p);
  const base::DateParts d = base::DecodeDate(date_);
  monthLabel_->setText(
      ToQString(base::ProcessFormats().longMonthNames[static_cast<std::size_t>(d.month - 1)] + " " +
                std::to_string(d.year)));
}

bool TgDateuF::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool page = key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown;
    if (page && (mods == Qt::NoModifier || mods == Qt::ControlModifier)) {
      const int step = mods == Qt::ControlModifier ? 12 : 1;
      StepMonths(key->key() == Qt::Key_PageUp ? -step : step);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool RunCalendar(base::TDateTime& date, int screenX, int screenY) {
  TgDateuF dialog(date, QApplication::activeWindow());
  dialog.adjustSize();
  // The screen may have changed since start-up; the rule works on what it
  // offers now.
  const QScreen* screen = QGuiApplication::screenAt(QPoint(screenX, screenY));
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QRect available = screen->availableGeometry();
    base::Rt().screenWidth = available.x() + available.width();
    base::Rt().screenHeight = available.y() + available.height();
  }
  const base::ScreenPoint at = base::FitPopupPos({screenX, screenY}, dialog.width(), dialog.height());
  dialog.move(at.x, at.y);
  if (dialog.exec() != QDialog::Accepted) return false;
  date = dialog.Date();
  return true;
}

}  // namespace mero::ui
