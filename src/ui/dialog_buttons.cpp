#include "ui/dialog_buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "base/encoding.h"
#include "ui/qt_text.h"

namespace mero::ui {

using namespace base::literals;

QPushButton* MakeOkButton(QWidget* parent, const QString& caption) {
  auto* ok = new QPushButton(caption, parent);
  ok->setDefault(true);
  return ok;
}

QPushButton* MakeOkButton(QWidget* parent) { return MakeOkButton(parent, ToQString("ΟΚ"_gr)); }

QPushButton* MakeCancelButton(QDialog* dialog) {
  auto* cancel = new QPushButton(ToQString("Άκυρο"_gr), dialog);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return cancel;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* button : buttons) row->addWidget(button);
  return row;
}

}  // namespace mero::ui
