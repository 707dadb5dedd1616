#pragma once

#include <QDialog>

#include "base/date_time.h"

class QCalendarWidget;
class QDate;
class QLabel;
class QPushButton;

namespace mero::ui {

// The calendar "Επιλογή Ημερομηνίας": "<<" ">>" step years and "<" ">"
// months, as do Ctrl+Page Up/Down and Page Up/Down; the label under it names
// the day. A double click or OK picks the day shown.
class TgDateuF : public QDialog {
 public:
  explicit TgDateuF(base::TDateTime date, QWidget* parent = nullptr);

  base::TDateTime Date() const { return date_; }
  void SetDate(base::TDateTime date);
  // Moves the day by whole months (12 for a year).
  void StepMonths(int months);

  QCalendarWidget* Calendar() const { return calendar_; }
  QLabel* DayLabel() const { return dayLabel_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DayChanged(const QDate& day);
  void ShowDay();

  base::TDateTime date_;
  QCalendarWidget* calendar_;
  QLabel* monthLabel_;
  QLabel* dayLabel_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// The calendar at the screen point; true with the picked date.
bool RunCalendar(base::TDateTime& date, int screenX, int screenY);

}  // namespace mero::ui
