#pragma once

#include <QWidget>
#include <cstddef>

class QPlainTextEdit;
class QTimer;

namespace mero::ui {

// The Debug window: the lines base::DebugTrace writes, with "Clear", "IMCs"
// (the cache viewer) and "ReLoad IMC Vals" (every cached table read again).
class TDebugF final : public QWidget {
  Q_OBJECT

 public:
  explicit TDebugF(QWidget* parent = nullptr);

  // Adds to the memo the trace lines written since it was last brought up
  // to date; the window does so by itself while it is shown.
  void SyncLines();
  QPlainTextEdit* Memo() const { return memo_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Clear();

  QPlainTextEdit* memo_;
  QTimer* sync_;
  std::size_t shown_ = 0;
};

// The window of the program, hidden until ShowDebugWindow; made on first
// use.
TDebugF& DebugWindow();
bool DebugWindowExists();
void DestroyDebugWindow();
// What base::ShowDebugWindow calls: shows the window with its lines.
void ShowDebugWindowNow();

// The hidden "DEBUG=" question: on OK the answer becomes the debug level
// and the Debug window is shown; a cancel leaves the level as it was.
void AskDebugLevel();

}  // namespace mero::ui
