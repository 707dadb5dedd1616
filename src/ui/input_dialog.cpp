#include "ui/input_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialog_buttons.h"
#include "ui/qt_text.h"

namespace mero::ui {

TGetInpStrF::TGetInpStrF(int maxLength, const std::string& prompt, const std::string& text, QWidget* parent)
    : QDialog(parent),
      edit_(new QLineEdit(this)),
      ok_(MakeOkButton(this)),
      cancel_(MakeCancelButton(this)) {
  setWindowTitle(ToQString(prompt));
  edit_->setMaxLength(maxLength > 0 ? maxLength : 255);
  edit_->setText(ToQString(text));
  edit_->selectAll();
  edit_->setMinimumWidth(320);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ToQString(prompt), this));
  layout->addWidget(edit_);
  layout->addLayout(ButtonRow({ok_, cancel_}));
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  edit_->setFocus();
}

std::string TGetInpStrF::Text() const { return FromQString(edit_->text()); }

bool RunInputDialog(int maxLength, const std::string& prompt, std::string& text) {
  TGetInpStrF dialog(maxLength, prompt, text, QApplication::activeWindow());
  const bool ok = dialog.exec() == QDialog::Accepted;
  text = dialog.Text();
  return ok;
}

}  // namespace mero::ui
