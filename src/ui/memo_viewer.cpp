#include "ui/memo_viewer.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialog_buttons.h"
#include "ui/qt_text.h"

namespace mero::ui {

MemoViewer::MemoViewer(const std::string& caption, const std::string& text, QWidget* parent)
    : QDialog(parent), memo_(new QPlainTextEdit(this)), ok_(MakeOkButton(this, QStringLiteral("OK"))) {
  setWindowTitle(ToQString(caption));
  memo_->setReadOnly(true);
  memo_->setPlainText(ToQString(text));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo_);
  layout->addLayout(ButtonRow({ok_}));
  resize(520, 360);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowMemoViewer(const std::string& caption, const std::string& text) {
  MemoViewer viewer(caption, text, QApplication::activeWindow());
  viewer.exec();
}

}  // namespace mero::ui
