#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "base/message_seam.h"

class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace mero::ui {

// The message window: every message, question and information box. The
// memo M1, the buttons OKBtn and CancelBtn, the save button SBEdit1 and the
// timer MessTimer carry those object names.
class TzzErrorF final : public QDialog {
  Q_OBJECT

 public:
  TzzErrorF(const std::string& text, int kind, int autoCloseMs, int fontIndex, QWidget* parent = nullptr);

  int Kind() const { return kind_; }
  // The memo's lines as the system's text.
  std::vector<std::string> Lines() const;

 private:
  // SBEdit1: the lines into mess.txt, opened with the desktop's program.
  void SaveAndOpen();

  int kind_;
  QPlainTextEdit* memo_;
  QToolButton* edit_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QTimer* timer_;
};

// The message window, shown modally; the answer of the user.
base::ModalResult RunMessageWindow(const std::string& text, int kind, int autoCloseMs, int fontIndex);

}  // namespace mero::ui
