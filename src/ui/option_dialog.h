#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;

namespace mero::ui {

// The option list: Enter or a double click chooses the selected option, a
// digit key 1-9 the option of that number, Esc chooses none. The window
// cannot be closed otherwise (title bar, Alt+F4).
class TGetOptF : public QDialog {
 public:
  TGetOptF(const std::vector<std::string>& options, const std::string& caption, int preselect,
           QWidget* parent = nullptr);

  // The 1-based number chosen, -1 when none was.
  int Chosen() const { return chosen_; }
  QListWidget* List() const { return list_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // True when the key was the window's own.
  bool HandleKey(QKeyEvent* event);
  void Choose(int number);

  QListWidget* list_;
  int chosen_ = -1;
};

// The option list; the 1-based number chosen, -1 on Esc.
int RunOptionDialog(const std::vector<std::string>& options, const std::string& caption, int preselect);

}  // namespace mero::ui
