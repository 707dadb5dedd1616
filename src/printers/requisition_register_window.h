#pragma once

#include <string>

#include "printers/requisition_register.h"
#include "ui/base_window.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace mero::ui {
class TKZDBGrid;
class TKZDTPREdit;
}  // namespace mero::ui

namespace mero::printers {

// The register of requisitions: the search panel over the list of headers,
// the buttons that start a new requisition, open one in the editor or delete
// one, and the row count.
class TxFDeltioPF : public ui::TF102Form {
  Q_OBJECT

 public:
  explicit TxFDeltioPF(RequisitionEditorOpener opener, QWidget* parent = nullptr);
  ~TxFDeltioPF() override;

  RequisitionRegister& Logic() { return logic_; }
  // What the panel's boxes hold now.
  RegisterSearch Boxes() const;

  // F7 and the search button.
  void Find() override;

  QLineEdit* OrdererBox = nullptr;
  ui::TKZDTPREdit* EnteredBox = nullptr;
  ui::TKZDTPREdit* FinalisedBox = nullptr;
  ui::TKZDTPREdit* SentBox = nullptr;
  ui::TKZDTPREdit* ReceivedBox = nullptr;
  ui::TKZDTPREdit* ClosedBox = nullptr;
  QLineEdit* StageBox = nullptr;
  QLineEdit* UnitBox = nullptr;
  QLineEdit* CountBox = nullptr;
  QToolButton* FindButton = nullptr;
  QToolButton* NewButton = nullptr;
  QToolButton* NewButton2 = nullptr;
  QToolButton* ChangeButton = nullptr;
  QToolButton* DeleteButton = nullptr;
  ui::TKZDBGrid* Grid = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildWindow();
  // The opening steps: the date ranges cleared, the orderer box filled (and
  // editable for a super-user), the first search.
  void FormShow();
  void Searched(bool hasRows);

  RequisitionRegister logic_;
  bool shown_ = false;
};

// Creates the register, shows it modally and destroys it.
void OpenRequisitionRegister(const RequisitionEditorOpener& opener);

}  // namespace mero::printers
