#pragma once

#include <array>
#include <string>

#include "printers/workbench.h"
#include "ui/base_window.h"

class QLineEdit;
class QTabWidget;
class QToolButton;

namespace mero::ui {
class TKZDBGrid;
}

namespace mero::printers {

// The printer, model and consumable workbench: three tabs, each with its
// search boxes, its main list and the lists that follow its current row.
class TPrintersKZF : public ui::TF102Form {
  Q_OBJECT

 public:
  explicit TPrintersKZF(QWidget* parent = nullptr);
  ~TPrintersKZF() override;

  Workbench& Logic() { return logic_; }
  WorkbenchTab ActiveTab() const;
  void SetActiveTab(WorkbenchTab tab);

  // F7 and each tab's search button: the active tab's search.
  void Find() override;

  PrinterSearch PrinterBoxes() const;
  ModelSearch ModelBoxes() const;
  ConsumableSearch ConsumableBoxes() const;

  QLineEdit* TopBox = nullptr;
  QTabWidget* Tabs = nullptr;
  // One per list (Workbench::List).
  std::array<ui::TKZDBGrid*, Workbench::kListCount> Grids{};
  // One per tab.
  std::array<QToolButton*, 3> FindButtons{};
  std::array<QLineEdit*, 3> CountBoxes{};

  // Printers: FName, S/N, CP18, Model, Manf, Ord, bID, and REpl (unused).
  QLineEdit* PrFName = nullptr;
  QLineEdit* PrSN = nullptr;
  QLineEdit* PrCP18 = nullptr;
  QLineEdit* PrModel = nullptr;
  QLineEdit* PrManf = nullptr;
  QLineEdit* PrOrd = nullptr;
  QLineEdit* PrBID = nullptr;
  QLineEdit* PrRepl = nullptr;
  // Models: FName, CP, ManID, Col, Ord, bID.
  QLineEdit* MoFName = nullptr;
  QLineEdit* MoCP = nullptr;
  QLineEdit* MoManID = nullptr;
  QLineEdit* MoCol = nullptr;
  QLineEdit* MoOrd = nullptr;
  QLineEdit* MoBID = nullptr;
  // Consumables: Code, COL, Type, ManID, PgCnt, UP, CostPP, REpl.
  QLineEdit* CoCode = nullptr;
  QLineEdit* CoCol = nullptr;
  QLineEdit* CoType = nullptr;
  QLineEdit* CoManID = nullptr;
  QLineEdit* CoPgCnt = nullptr;
  QLineEdit* CoUP = nullptr;
  QLineEdit* CoCostPP = nullptr;
  QLineEdit* CoRepl = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWindow();
  QWidget* BuildTab(WorkbenchTab tab);
  void TabChanged();
  void ShowCount(WorkbenchTab tab);
  // The insert gesture of an editable list: Insert, or Down on its last row.
  bool InsertKey(Workbench::List list, int key, Qt::KeyboardModifiers modifiers);

  Workbench logic_;
  bool shown_ = false;
};

// Creates the workbench, shows it modally and destroys it.
void OpenWorkbench();

}  // namespace mero::printers
