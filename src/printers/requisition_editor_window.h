#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "printers/requisition_editor.h"
#include "ui/base_window.h"
#include "ui/field_link.h"

class QAction;
class QFrame;
class QLabel;
class QTimer;
class QToolButton;
class QWidget;

namespace mero::ui {
class TDBCheckBox;
class TDBDTEdit;
class TDBEdit;
class TDBMemo;
class TKZDBGrid;
}  // namespace mero::ui

namespace mero::printers {

// Opens the requisition editor for a requisition (0: a new one) and returns
// the ID it was opened with once the window has closed. The opening checks
// run first; when one of them ends the opening no window is shown.
int OpenRequisitionEditor(int id, const std::string& contractId);

// Shows the editor's window over the logic, modally, until it closes.
void ShowRequisitionEditor(RequisitionEditor& logic);

// The window of the requisition editor ("Δελτίο Παραγγελίας Toner"): the
// header's boxes, the totals, the budget, the super-user panel, the
// navigation panel, the lines and the buttons of the actions.
class TxInDeltioPF : public ui::TF102Form {
  Q_OBJECT

 public:
  explicit TxInDeltioPF(RequisitionEditor& logic, QWidget* parent = nullptr);
  ~TxInDeltioPF() override;

  // The show steps of the logic; false when the window has nothing to show
  // (the requisition no longer exists).
  bool Prepare();
  // Shows every box, button and count again.
  void ShowAll();

  RequisitionEditor& Logic() { return logic_; }
  ui::TKZDBGrid* Grid() const { return grid_; }
  // The header's boxes by field name (nullptr for a field without one).
  QWidget* Box(const std::string& field) const;
  ui::TDBEdit* DelivBox() const { return delivBox_; }
  ui::TDBCheckBox* VoidBox() const { return voidBox_; }
  QToolButton* FinaliseButton() const { return finaliseButton_; }
  QToolButton* AddButton() const { return addButton_; }
  QToolButton* MenuButton() const { return menuButton_; }
  QAction* MarkAllAction() const { return markAll_; }
  QToolButton* PostButton() const { return postButton_; }
  QToolButton* CancelButton() const { return cancelButton_; }
  QFrame* NavPanel() const { return navPanel_; }
  QFrame* SuperUserPanel() const { return superPanel_; }
  QLabel* LineCountBox() const { return countBox_; }
  QLabel* UnitNameBox() const { return unitName_; }
  QLabel* PointNameBox() const { return pointName_; }
  QTimer* Timer() const { return timer_; }

  // F10 and the post button: the header's edit goes through the logic.
  void AcceptOrClose() override;

 private:
  void BuildWindow();
  QWidget* BuildHeader();
  QWidget* BuildTotals();
  QWidget* BuildBudget();
  QWidget* BuildSuperUser();
  QWidget* BuildLines();
  ui::TDBEdit* ReadOnlyBox(const char* field, QWidget* parent, bool header = true);
  void Run(const std::function<void()>& action);
  void ShowMenu();
  // The navigation panel's colour and buttons follow the header's state.
  void ShowState();

  RequisitionEditor& logic_;
  std::vector<std::pair<std::string, QWidget*>> boxes_;
  std::vector<ui::TDBEdit*> edits_;
  std::vector<ui::TDBDTEdit*> dates_;
  ui::TDBEdit* delivBox_ = nullptr;
  ui::TDBMemo* commBox_ = nullptr;
  ui::TDBCheckBox* voidBox_ = nullptr;
  QLabel* unitName_ = nullptr;
  QLabel* pointName_ = nullptr;
  QToolButton* finaliseButton_ = nullptr;
  QToolButton* addButton_ = nullptr;
  QToolButton* menuButton_ = nullptr;
  QAction* markAll_ = nullptr;
  QToolButton* postButton_ = nullptr;
  QToolButton* cancelButton_ = nullptr;
  QFrame* navPanel_ = nullptr;
  QFrame* superPanel_ = nullptr;
  QLabel* countBox_ = nullptr;
  ui::TKZDBGrid* grid_ = nullptr;
  QTimer* timer_ = nullptr;
  ui::FieldLink stateLink_;
  bool showing_ = false;
};

}  // namespace mero::printers
