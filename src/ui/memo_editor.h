#pragma once

#include <QDialog>
#include <string>

#include "ui/field_link.h"

class QPlainTextEdit;
class QPushButton;

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

// The editor of a long text field: the field's text in a plain-text memo;
// "OK (F10)" or F10 writes the text into the field (an automatic Edit) and
// closes. Closing otherwise leaves the field as it was.
class TxEditDBMemoF : public QDialog {
 public:
  TxEditDBMemoF(data::TDataSet& dataSet, const std::string& fieldName, const std::string& caption,
                QWidget* parent = nullptr);

  QPlainTextEdit* Memo() const { return memo_; }
  QPushButton* OkButton() const { return ok_; }
  // Stores the text when it was changed and closes with OK; a refused value
  // is shown and the window stays open.
  void AcceptText();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowField();

  FieldLink link_;
  QPlainTextEdit* memo_;
  QPushButton* ok_;
};

// Opens the editor on the named field; a field that is not a text field, or
// one of 20 characters or less, is refused with a message and nothing opens.
void EditMemoField(data::TDataSet& dataSet, const std::string& fieldName, const std::string& caption);

}  // namespace mero::ui
