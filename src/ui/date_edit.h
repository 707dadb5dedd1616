#pragma once

#include <QLineEdit>
#include <string>

#include "base/date_time.h"

namespace mero::ui {

// The date box: the user types a date in any form the lenient parser reads;
// leaving the box stores it and shows it in the standard form, or refuses to
// leave with "Άκυρη Ημερομηνία". F2 or a double click opens the calendar.
class TKZDTEdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kWidth = 65;
  static constexpr int kTitleMax = 50;
  static constexpr base::TDateTime kNotSet = -1;

  explicit TKZDTEdit(QWidget* parent = nullptr);

  // The title, also the hint; at most 50 characters.
  const std::string& DTTitle() const { return title_; }
  void SetDTTitle(const std::string& title);
  // An empty box is a valid date (0) when set, the default.
  bool Accept0() const { return accept0_; }
  void SetAccept0(bool value) { accept0_ = value; }

  // The stored date: -1 until set, 0 for an empty box.
  base::TDateTime Date() const { return date_; }
  void SetDate(base::TDateTime date);
  bool IsSet() const { return date_ != kNotSet; }

  // The leaving rule: parses the text; a valid text is stored and shown in
  // the standard form, an invalid one shows the system box and keeps the
  // focus. True when the box may be left. Dialogs call it before taking the
  // date on OK.
  bool CheckDate();
  // F2: the calendar on the typed date; the picked date is stored.
  void PickDateFromCalendar();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void ShowDate();

  std::string title_;
  bool accept0_ = true;
  base::TDateTime date_ = kNotSet;
  bool checking_ = false;
};

}  // namespace mero::ui
