// The workbench window offscreen against the demo data: how it opens, the
// search boxes and F7, the grids' layouts and colours, the keys of the
// editable lists, and leaving it with an edit in progress.

#include "printers/workbench_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <set>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/runtime.h"
#include "data/dataset_utils.h"
#include "data/field.h"
#include "data/remote/application_dataset.h"
#include "printers/cell_colours.h"
#include "printers_fixture.h"
#include "support/screenshot.h"
#include "ui/data_grid.h"
#include "ui/qt_text.h"

namespace mero::printers {
namespace {

using namespace base::literals;
using L = Workbench::List;

class WorkbenchWindow : public test::PrintersTest {
 protected:
  void SetUp() override {
    PrintersTest::SetUp();
    LoginAs("ADMIN", "admin");
  }
  void TearDown() override {
    data::SetSQLDisplay(nullptr);
    base::Rt().debugLevel = 0;
    PrintersTest::TearDown();
  }

  std::vector<std::string>& CountSelects() {
    base::Rt().debugLevel = 1;
    data::SetSQLDisplay([this](const std::string& sql) {
      if (!sql.empty()) selects_.push_back(sql);
    });
    selects_.clear();
    return selects_;
  }

  static int ColumnOf(ui::TKZDBGrid& grid, const std::string& field) {
    const auto& columns = grid.Model()->Columns();
    for (std::size_t c = 0; c < columns.size(); ++c)
      if (columns[c].field->FieldName() == field) return static_cast<int>(c);
    ADD_FAILURE() << "no column " << field;
    return -1;
  }
  static CellColour Background(ui::TKZDBGrid& grid, int row, const std::string& field) {
    const QVariant v = grid.Model()->data(grid.Model()->index(row, ColumnOf(grid, field)), Qt::BackgroundRole);
    if (!v.isValid()) return std::nullopt;
    return v.value<QColor>().rgb() & 0xFFFFFF;
  }
  static void Key(ui::TKZDBGrid& grid, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    grid.View()->setFocus();
    QTest::keyClick(grid.View(), key, mods);
  }

  std::vector<std::string> selects_;
};

TEST_F(WorkbenchWindow, OpensOnModelsWithEveryListFilled) {
  std::vector<std::string>& selects = CountSelects();
  TPrintersKZF window;
  window.show();
  EXPECT_EQ(window.windowTitle(), "PrintersKZF");
  EXPECT_EQ(window.ActiveTab(), WorkbenchTab::Models);
  EXPECT_EQ(window.Tabs->tabText(0), "Printers");
  EXPECT_EQ(window.Tabs->tabText(1), "Models");
  EXPECT_EQ(window.Tabs->tabText(2), "Consumables");
  EXPECT_EQ(ui::FromQString(window.TopBox->text()), "UP_PR_MODELS /UPV_Cons / UPV_Printers");
  EXPECT_TRUE(window.TopBox->isReadOnly());
  EXPECT_EQ(selects.size(), 9u) << "one select per list";
  EXPECT_EQ(window.CountBoxes[0]->text(), "42");
  EXPECT_EQ(window.CountBoxes[1]->text(), "12");
  EXPECT_EQ(window.CountBoxes[2]->text(), "36");
  EXPECT_EQ(window.PrRepl->text(), "--");
  EXPECT_EQ(window.CoRepl->text(), "--");
  for (QToolButton* b : window.FindButtons) EXPECT_EQ(ui::FromQString(b->toolTip()), "Ανεύρεση"_gr);

  // Each grid shows its layout: titles as given, formats on the fields.
  for (int l = 0; l < Workbench::kListCount; ++l) {
    ui::TKZDBGrid& grid = *window.Grids[static_cast<std::size_t>(l)];
    EXPECT_EQ(grid.Selected(), Workbench::Columns(static_cast<L>(l))) << l;
  }
  ui::TKZDBGrid& models = *window.Grids[L::kModels];
  EXPECT_EQ(ui::FromQString(models.Model()->headerData(ColumnOf(models, "FULLNAME"), Qt::Horizontal).toString()),
            "Πλήρες Όνομα Μοντέλου"_gr);
  EXPECT_EQ(models.Model()->headerData(ColumnOf(models, "IL"), Qt::Horizontal).toString(), "2");
  ui::TKZDBGrid& printersOfConsumable = *window.Grids[L::kConsumablePrinters];
  EXPECT_EQ(ui::FromQString(printersOfConsumable.Model()
                                ->headerData(ColumnOf(printersOfConsumable, "SPICENAME"), Qt::Horizontal)
                                .toString()),
            "SπNAME"_gr);
  data::TKZLINK& cons = window.Logic().Query(L::kConsumables);
  EXPECT_EQ(cons.FieldByName("S_UP").DisplayFormat(), "#0.#0");
  EXPECT_EQ(cons.FieldByName("PAGECNT").DisplayFormat(), "#,##0");
  EXPECT_EQ(cons.FieldByName("COSTPP").DisplayFormat(), "#0.0");
  EXPECT_EQ(cons.FieldByName("VQ").DisplayFormat(), "#,##0");
  EXPECT_EQ(window.Logic().Query(L::kModelConsumables).FieldByName("S_UP").DisplayFormat(), "#.#0");
  EXPECT_EQ(window.Logic().Query(L::kPrinterRequirements).FieldByName("S_UP").DisplayFormat(), "#0.#0");

  // The first model's lists.
  EXPECT_EQ(data::FieldStr(window.Logic().Query(L::kModels), "ID"), "BRL2350");
  EXPECT_EQ(window.Grids[L::kModelConsumables]->Model()->rowCount(), 3);
  EXPECT_EQ(window.Grids[L::kModelPrinters]->Model()->rowCount(), 5);
  test::Screenshot(&window, "workbench");
  test::Screenshot(&window, "workbench_models");

  // Another tab: its tables at the top; F7 searches that tab only.
  window.SetActiveTab(WorkbenchTab::Consumables);
  EXPECT_EQ(ui::FromQString(window.TopBox->text()), "UPV_CONS / UP_Cons_REQ / UPV_PR_MODELS / UPV_Printers");
  EXPECT_EQ(window.MainDataSet(), &cons);
  test::Screenshot(&window, "workbench_consumables");
  window.CoRepl->clear();
  selects.clear();
  Key(*window.Grids[L::kConsumables], Qt::Key_F7);
  ASSERT_EQ(selects.size(), 4u);
  EXPECT_EQ(selects[0], ConsumableSearchSQL(window.ConsumableBoxes()));
  EXPECT_EQ(window.CountBoxes[2]->text(), "37");
  EXPECT_EQ(window.CountBoxes[1]->text(), "12");

  window.SetActiveTab(WorkbenchTab::Printers);
  EXPECT_EQ(ui::FromQString(window.TopBox->text()), "UP_PRINTERS /  UPV_CONS_REQ ");
  window.PrFName->setText(QStringLiteral("brother%"));
  window.FindButtons[0]->click();
  EXPECT_EQ(window.Logic().LastSQL(WorkbenchTab::Printers),
            PrinterSearchSQL(PrinterSearch{"brother%", "", "", "", "", "", ""}));
  EXPECT_EQ(window.CountBoxes[0]->text().toStdString(),
            OtherSelect("select count(*) from UPV_PRINTERS where upper(FULLNAME) like 'BROTHER%'"));
  window.PrFName->clear();
  window.FindButtons[0]->click();
  test::Screenshot(&window, "workbench_printers");
  window.done(QDialog::Rejected);
}

TEST_F(WorkbenchWindow, ListsAreColouredByTheirValues) {
  TPrintersKZF window;
  window.show();
  std::set<unsigned> seen;
  const auto check = [&](L list, std::vector<std::string> fields) {
    ui::TKZDBGrid& grid = *window.Grids[list];
    data::TKZLINK& q = window.Logic().Query(list);
    int row = 0;
    for (q.First(); !q.Eof(); q.Next(), ++row) {
      for (const std::string& f : fields) {
        CellColour expected;
        const data::TField& field = q.FieldByName(f);
        if (f == "IL") expected = PrinterKindBrush(field.AsString());
        if (f == "COL" && list != L::kConsumables && !field.IsNull()) expected = ModelColourBrush(field.AsInteger());
        if (f == "COL" && list == L::kConsumables) expected = TonerColourBrush(field.AsString());
        if (f == "CTYPE") expected = ConsumableKindBrush(field.AsString());
        if (f == "COSTPP" && !field.IsNull()) expected = CostPerPageBrush(field.AsFloat());
        EXPECT_EQ(Background(grid, row, f), expected) << q.Name() << " " << row << " " << f;
        if (expected) seen.insert(*expected);
      }
      EXPECT_EQ(Background(grid, row, "ID"), std::nullopt);
    }
  };
  check(L::kModels, {"IL", "COL"});
  check(L::kConsumables, {"COL", "CTYPE", "COSTPP"});
  window.SetActiveTab(WorkbenchTab::Consumables);
  data::TKZLINK& cons = window.Logic().Query(L::kConsumables);
  ASSERT_TRUE(cons.Locate("ID", base::Variant::Integer(13), 0));
  check(L::kConsumableModels, {"IL", "COL"});
  EXPECT_EQ(seen, (std::set<unsigned>{kAqua, kGrey, kSilver, kYellow, kFuchsia, kLime})) << "the demo shows each";
  // The other lists keep the window colour.
  EXPECT_EQ(Background(*window.Grids[L::kModelConsumables], 0, "COL"), std::nullopt);
  window.done(QDialog::Rejected);
}

TEST_F(WorkbenchWindow, KeysOfTheEditableListsAndTheReadOnlyColumns) {
  TPrintersKZF window;
  window.show();
  window.activateWindow();
  ui::TKZDBGrid& grid = *window.Grids[L::kModels];
  data::TKZLINK& models = window.Logic().Query(L::kModels);
  ui::DataSetTableModel& model = *grid.Model();

  // A view column takes no typing: no edit starts.
  const QModelIndex sname = model.index(0, ColumnOf(grid, "SNAME"));
  EXPECT_FALSE(model.flags(sname) & Qt::ItemIsEditable);
  EXPECT_FALSE(model.setData(sname, QStringLiteral("X")));
  EXPECT_EQ(models.State(), data::dsBrowse);
  EXPECT_TRUE(model.flags(model.index(0, ColumnOf(grid, "FULLNAME"))) & Qt::ItemIsEditable);
  // A view-only list takes none in any column.
  ui::DataSetTableModel& printers = *window.Grids[L::kModelPrinters]->Model();
  EXPECT_FALSE(printers.flags(printers.index(0, 0)) & Qt::ItemIsEditable);

  // Down on the last row adds a row; Down again on the untouched new row
  // adds no second one; Esc drops it after asking nothing (nothing typed).
  grid.View()->setCurrentIndex(model.index(model.rowCount() - 1, 0));
  Key(grid, Qt::Key_Down);
  EXPECT_EQ(models.State(), data::dsInsert);
  EXPECT_EQ(model.rowCount(), 13);
  Key(grid, Qt::Key_Down);
  EXPECT_EQ(model.rowCount(), 13);
  models.Cancel();
  EXPECT_EQ(model.rowCount(), 12);
  // Insert adds a row before the current one; a read-only list ignores it.
  grid.View()->setCurrentIndex(model.index(2, 0));
  Key(grid, Qt::Key_Insert);
  EXPECT_EQ(models.State(), data::dsInsert);
  EXPECT_EQ(models.CurrentVisiblePos(), 2);
  models.Cancel();
  Key(*window.Grids[L::kModelPrinters], Qt::Key_Insert);
  EXPECT_EQ(window.Logic().Query(L::kModelPrinters).State(), data::dsBrowse);

  // Enter on the last cell of the last row stays there.
  const int last = model.rowCount() - 1;
  grid.View()->setCurrentIndex(model.index(last, model.columnCount() - 1));
  Key(grid, Qt::Key_Return);
  EXPECT_EQ(grid.View()->currentIndex().row(), last);
  EXPECT_EQ(models.State(), data::dsBrowse);

  // Ctrl+Del asks through the message seam; no, and the row stays.
  presenter_.SetNextAnswer(base::ModalResult::Cancel);
  Key(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(presenter_.Texts().back(), base::Utf8ToWin1253(ui::kDeleteRowQuestion));
  EXPECT_EQ(model.rowCount(), 12);
  window.done(QDialog::Rejected);
}

TEST_F(WorkbenchWindow, ClosingWithAnEditAsksFirst) {
  TPrintersKZF window;
  window.show();
  data::TKZLINK& models = window.Logic().Query(L::kModels);
  models.Edit();
  data::SetFieldStr(models, "FULLNAME", "Αλλαγή"_gr);
  const std::string question = "Προσοχή υπάρχουν στοιχεία που δεν έχουν καταχωρηθεί!. Συνέχεια?"_gr;
  // The title bar's close: not confirmed, the window and the edit stay.
  presenter_.SetNextAnswer(base::ModalResult::Cancel);
  window.close();
  EXPECT_EQ(presenter_.Texts().back(), question);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(models.State(), data::dsEdit);
  // Confirmed: the edit goes, as with Esc; the next close closes.
  presenter_.SetNextAnswer(base::ModalResult::OK);
  window.close();
  EXPECT_EQ(models.State(), data::dsBrowse);
  EXPECT_EQ(OtherSelect("select FULLNAME from UP_PR_MODELS where ID='BRL2350'"), data::FieldStr(models, "FULLNAME"));
  window.close();
  EXPECT_FALSE(window.isVisible());
}

TEST_F(WorkbenchWindow, ANewConsumableIsReadBackOnceItsPostIsOver) {
  TPrintersKZF window;
  window.show();
  window.SetActiveTab(WorkbenchTab::Consumables);
  ui::TKZDBGrid& grid = *window.Grids[L::kConsumables];
  data::TKZLINK& cons = window.Logic().Query(L::kConsumables);
  const std::string first = data::FieldStr(cons, "ID");
  grid.View()->setCurrentIndex(grid.Model()->index(grid.Model()->rowCount() - 1, 0));
  Key(grid, Qt::Key_Down);
  ASSERT_EQ(cons.State(), data::dsInsert);
  data::SetFieldStr(cons, "CODE", "ZZ Μελάνι"_gr);
  // Clicking another row posts the new one; the list is read again after.
  grid.View()->setCurrentIndex(grid.Model()->index(0, 0));
  EXPECT_TRUE(window.Logic().RereadPending());
  QApplication::processEvents();
  EXPECT_FALSE(window.Logic().RereadPending());
  EXPECT_EQ(data::FieldStr(cons, "ID"), first) << "the cursor stays on the row clicked";
  const std::string id = OtherSelect("select ID from UP_CONS where CODE='" + "ZZ Μελάνι"_gr + "'");
  ASSERT_NE(id, "<none>");
  ASSERT_TRUE(cons.Locate("ID", base::Variant::Text(id), 0));
  EXPECT_EQ(data::FieldStr(cons, "CODE"), "ZZ Μελάνι"_gr);
  EXPECT_EQ(window.CountBoxes[2]->text(), "37");
  // No row is left without its ID.
  for (cons.First(); !cons.Eof(); cons.Next()) EXPECT_FALSE(cons.FieldByName("ID").IsNull());
  window.done(QDialog::Rejected);
}

}  // namespace
}  // namespace mero::printers
