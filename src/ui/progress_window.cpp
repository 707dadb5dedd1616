#include "ui/progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace mero::ui {

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog), item_(new QLabel(this)), bar_(new QProgressBar(this)) {
  setObjectName(QStringLiteral("ProgressWindow"));
  setWindowModality(Qt::ApplicationModal);
  item_->setObjectName(QStringLiteral("ItemLabel"));
  item_->setMinimumWidth(360);
  bar_->setObjectName(QStringLiteral("ProgressBar"));
  bar_->setFormat(QStringLiteral("%v / %m"));
  auto* column = new QVBoxLayout(this);
  column->addWidget(item_);
  column->addWidget(bar_);
}

void ProgressWindow::Begin(const std::string& caption, int count) {
  setWindowTitle(ToQString(caption));
  item_->clear();
  bar_->setRange(0, count > 0 ? count : 0);
  bar_->setValue(0);
  show();
  raise();
  repaint();
}

void ProgressWindow::Step(int done, const std::string& text) {
  item_->setText(ToQString(text));
  bar_->setValue(done);
  repaint();
}

void ProgressWindow::Finish() {
  bar_->setValue(bar_->maximum());
  hide();
}

}  // namespace mero::ui
