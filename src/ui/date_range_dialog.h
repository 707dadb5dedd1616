#pragma once

#include <string>

#include "base/date_time.h"
#include "ui/base_window.h"
#include "ui/date_range_rules.h"

class QRadioButton;
class QToolButton;
class QPushButton;

namespace mero::ui {

class TKZDTEdit;

// The date-range window: the group "Χρον.Διαστ." / "Χωρίς Ημ/νία" /
// "Οποιαδήποτε" and the boxes "Από:" and "εώς:", each with a "..." button
// to the calendar, with the keys of the base window. The window opens on a
// period and, on OK or F10, gives the period of DateRangeResult.
class TGetDateFmToF : public TF102Form {
 public:
  TGetDateFmToF(const std::string& caption, base::TDateTime from, base::TDateTime to, QWidget* parent = nullptr);

  // A key delivered to "Από:" as the window shows, as if the user had typed
  // it (it replaces the box's selected text).
  void SetFirstKey(std::string key) { firstKey_ = std::move(key); }
  PeriodKind Kind() const;
  // The period the window gives on OK.
  Period Result() const;
  // OK and F10: the dates must read; an unreadable box keeps the window
  // open.
  void AcceptOrClose() override;

  TKZDTEdit* FromEdit() const { return fromEdit_; }
  TKZDTEdit* ToEdit() const { return toEdit_; }
  QRadioButton* RangeButton() const { return range_; }
  QRadioButton* NoDateButton() const { return noDate_; }
  QRadioButton* AnyDateButton() const { return anyDate_; }
  QToolButton* FromPickButton() const { return fromPick_; }
  QToolButton* ToPickButton() const { return toPick_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 public:
  // Showing gives the first key after the dialog has put the focus (and its
  // selection) into "Από:".
  void setVisible(bool visible) override;

 private:
  void TypeFirstKey();

  std::string firstKey_;
  QRadioButton* range_;
  QRadioButton* noDate_;
  QRadioButton* anyDate_;
  TKZDTEdit* fromEdit_;
  TKZDTEdit* toEdit_;
  QToolButton* fromPick_;
  QToolButton* toPick_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// The date-range window; true with the period confirmed.
bool RunDateRangeDialog(const std::string& caption, const std::string& firstKey, base::TDateTime& from,
                        base::TDateTime& to);

}  // namespace mero::ui
