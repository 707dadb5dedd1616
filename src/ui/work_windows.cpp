#include "ui/work_windows.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace mero::ui {

TOOVF::TOOVF(QWidget* parent) : QWidget(parent) { resize(200, 100); }

void TOOVF::ShowOffScreen() {
  move(kLeft, y());
  show();
}

TGaugeF::TGaugeF(QWidget* parent) : QWidget(parent), gauge_(new QProgressBar(this)) {
  gauge_->setRange(0, 100);
  gauge_->setValue(0);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(gauge_);
  resize(320, 60);
}

}  // namespace mero::ui
