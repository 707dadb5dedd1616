#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QProgressBar;

namespace mero::ui {

// A small window that shows how far a long task is: a bar of steps and the
// item in hand. It paints itself at every change, because a task that waits
// on the link lets no other event through until it ends.
class ProgressWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressWindow(QWidget* parent = nullptr);

  // Shows the window under the caption with an empty bar of count steps.
  void Begin(const std::string& caption, int count);
  // done steps of the bar are full; text names the item in hand.
  void Step(int done, const std::string& text);
  // Fills the bar and hides the window.
  void Finish();

  QProgressBar* Bar() const { return bar_; }
  QLabel* Item() const { return item_; }

 private:
  QLabel* item_;
  QProgressBar* bar_;
};

}  // namespace mero::ui
