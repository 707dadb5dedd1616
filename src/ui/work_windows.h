#pragma once

#include <QWidget>

class QProgressBar;

namespace mero::ui {

// The work window of start-up: it holds nothing of its own and is shown off
// the screen, at the left co-ordinate -1000.
class TOOVF : public QWidget {
 public:
  static constexpr int kLeft = -1000;

  explicit TOOVF(QWidget* parent = nullptr);
  void ShowOffScreen();
};

// The progress window of start-up: a bar, which no operation shows.
class TGaugeF : public QWidget {
 public:
  explicit TGaugeF(QWidget* parent = nullptr);
  QProgressBar* Gauge() const { return gauge_; }

 private:
  QProgressBar* gauge_;
};

}  // namespace mero::ui
