#include "ui/sql_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "ui/qt_text.h"

namespace mero::ui {
namespace {

std::unique_ptr<TSQLShowF>& Instance() {
  static std::unique_ptr<TSQLShowF> window;
  return window;
}

}  // namespace

TSQLShowF::TSQLShowF(QWidget* parent) : QDialog(parent), memo_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("SQLShowF"));
  setWindowTitle(QStringLiteral("SQL"));
  memo_->setObjectName(QStringLiteral("M1"));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed = memo_->font();
  fixed.setFamily(QStringLiteral("Courier"));
  fixed.setStyleHint(QFont::Monospace);
  memo_->setFont(fixed);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* column = new QVBoxLayout(this);
  column->addWidget(memo_);
  column->addLayout(buttons);
  resize(600, 360);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TSQLShowF::SetText(const std::string& text) { memo_->setPlainText(ToQString(text)); }

std::string TSQLShowF::Text() const { return FromQString(memo_->toPlainText()); }

void CreateSQLWindow() {
  if (!Instance()) Instance() = std::make_unique<TSQLShowF>();
}

void DestroySQLWindow() { Instance().reset(); }

TSQLShowF* SQLWindow() { return Instance().get(); }

void ShowSQL(std::string& text) {
  if (TSQLShowF* shared = Instance().get()) {
    shared->SetText(text);
    shared->show();
    shared->raise();
    return;
  }
  TSQLShowF window(QApplication::activeWindow());
  window.SetText(text);
  if (window.exec() == QDialog::Accepted) text = window.Text();
}

void ShowSQL(const std::string& text) {
  std::string copy = text;
  ShowSQL(copy);
}

}  // namespace mero::ui
