#pragma once

#include <QLineEdit>
#include <string>

#include "ui/period_keys.h"

namespace mero::ui {

// The period box: read-only, set by keys (Delete, "-", "+", Ctrl+arrows,
// Ctrl+1..4) or through the date-range window (a digit, F2, double click).
class TKZDTPREdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kMinWidth = 128;

  explicit TKZDTPREdit(QWidget* parent = nullptr);

  // The title of the date-range window, also the hint.
  const std::string& DTPTitle() const { return title_; }
  void SetDTPTitle(const std::string& title);
  // Shows months ("Ιαν 2005-Μάρ 2005") instead of days.
  bool zUseMonths() const { return useMonths_; }
  void SetzUseMonths(bool value);

  const Period& GetPeriod() const { return period_; }
  void SetPeriod(Period period);
  base::TDateTime From() const { return period_.from; }
  base::TDateTime To() const { return period_.to; }

  // The date-range window on the current period, with the typed first key.
  void AskRange(const std::string& firstKey = {});

 signals:
  void PeriodChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  std::string title_;
  bool useMonths_ = false;
  Period period_;
};

}  // namespace mero::ui
