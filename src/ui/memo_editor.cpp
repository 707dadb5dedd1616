#include "ui/memo_editor.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "base/message_seam.h"
#include "data/database_error.h"
#include "data/dataset.h"
#include "ui/dialog_buttons.h"
#include "ui/memo_field_rules.h"
#include "ui/qt_text.h"

namespace mero::ui {

TxEditDBMemoF::TxEditDBMemoF(data::TDataSet& dataSet, const std::string& fieldName, const std::string& caption,
                             QWidget* parent)
    : QDialog(parent), memo_(new QPlainTextEdit(this)), ok_(MakeOkButton(this, QStringLiteral("OK (F10)"))) {
  setWindowTitle(ToQString(caption));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo_);
  layout->addLayout(ButtonRow({ok_}));
  resize(560, 380);
  connect(ok_, &QPushButton::clicked, this, &TxEditDBMemoF::AcceptText);
  memo_->installEventFilter(this);
  link_.OnDataChange = [this] { ShowField(); };
  link_.SetFieldName(fieldName);
  link_.SetDataSet(&dataSet);
  memo_->setFocus();
}

void TxEditDBMemoF::ShowField() {
  // Writing the text back makes the dataset report a change; the memo
  // already holds that text.
  if (memo_->document()->isModified()) return;
  memo_->setReadOnly(!link_.CanModify());
  memo_->setPlainText(ToQString(link_.Text()));
  memo_->document()->setModified(false);
}

bool TxEditDBMemoF::eventFilter(QObject* watched, QEvent* event) {
  if (watched == memo_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      AcceptText();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TxEditDBMemoF::AcceptText() {
  // Nothing may escape into Qt's event dispatch: a refused value is shown
  // here, once, and a silent abort stays silent.
  try {
    if (memo_->document()->isModified()) link_.SetText(FromQString(memo_->toPlainText()));
  } catch (const data::EAbort&) {
    return;
  } catch (const std::exception& e) {
    base::ShowMess(e.what());
    return;
  }
  accept();
}

void EditMemoField(data::TDataSet& dataSet, const std::string& fieldName, const std::string& caption) {
  const std::string refusal = MemoFieldRefusal(dataSet.FieldByName(fieldName));
  if (!refusal.empty()) {
    base::ShowMess(refusal);
    return;
  }
  TxEditDBMemoF editor(dataSet, fieldName, caption, QApplication::activeWindow());
  editor.exec();
}

}  // namespace mero::ui
