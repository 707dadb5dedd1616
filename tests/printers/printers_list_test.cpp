// The printers window against the demo data: by unit for the toner
// responsible, empty for a user responsible for none, and the requirement
// list that follows the current printer with its colours.

#include "printers/printers_list.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QToolButton>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "data/dataset_utils.h"
#include "data/remote/application_dataset.h"
#include "printers/cell_colours.h"
#include "printers/printer_context.h"
#include "printers/printers_list_window.h"
#include "grid_cells.h"
#include "printers_fixture.h"
#include "support/screenshot.h"
#include "ui/data_grid.h"
#include "ui/qt_text.h"
#include "ui/value_combo.h"

namespace mero::printers {
namespace {

using namespace base::literals;

TEST(PrintersList, RequirementCellsShowWhatIsCountedAndWhatRemains) {
  const struct {
    const char* field;
    double value;
    CellColour colour;
  } cases[] = {
      {"CLC_Q3", 2, kAqua},          {"CLC_Q3", 0.5, kAqua},   {"CLC_Q3", 0, kGrey},
      {"CLC_Q3", -1, kGrey},         {"CLC_YPOL", 0, kLime},   {"CLC_YPOL", -1, kFuchsia},
      {"CLC_YPOL", 1, std::nullopt}, {"QTY", 0, std::nullopt}, {"CLC_Q2", -1, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(PrintersList::RequirementColour(c.field, c.value), c.colour) << c.field;
}

class PrintersWindow : public test::PrintersTest {
 protected:
  static std::vector<std::string> Column(data::TKZLINK& q, const char* field) {
    std::vector<std::string> values;
    if (!q.Active()) return values;
    for (q.First(); !q.Eof(); q.Next()) values.push_back(data::FieldStr(q, field));
    q.First();
    return values;
  }
};

TEST_F(PrintersWindow, ByUnitListsThePrintersOfTheUnitsTheUserIsResponsibleFor) {
  TPrinters1F window("", "");
  window.show();
  EXPECT_EQ(window.windowTitle(), "Printers");
  EXPECT_EQ(window.UserBox->text(), "");
  EXPECT_TRUE(window.UserBox->isReadOnly());
  EXPECT_TRUE(window.OrdererBox->isReadOnly());

  // The units whose toner responsible names maria, shown as ID-NAME.
  ASSERT_EQ(window.UnitBox->count(), 2);
  EXPECT_EQ(ui::FromQString(window.UnitBox->itemText(0)), "0.02.02-Τμήμα Γραμματείας"_gr);
  EXPECT_EQ(ui::FromQString(window.UnitBox->itemText(1)), "0.04.02-Τμήμα Φυσικής"_gr);
  EXPECT_EQ(window.UnitBox->Value(), "0.02.02");

  PrintersList& logic = window.Logic();
  EXPECT_EQ(logic.PrinterSQL("0.02.02"), "select  * from UPV_PRINTERS where 1=1  AND  (orgID = '0.02.02') order by ID");
  EXPECT_TRUE(logic.Printers().ReadOnly());
  const std::vector<std::string> ids = Column(logic.Printers(), "ID");
  EXPECT_EQ(ids, OtherColumn("select ID from UP_PRINTERS where ORGID='0.02.02' order by ID"));
  EXPECT_EQ(window.CountBox->text().toStdString(), std::to_string(ids.size()));

  // The requirement list follows the current printer, and its colours follow
  // the quantities the server computed.
  std::set<unsigned> seen;
  for (const std::string& id : ids) {
    ASSERT_TRUE(logic.Printers().Locate("ID", base::Variant::Text(id), 0));
    data::TKZLINK& req = logic.Requirements();
    EXPECT_EQ(Column(req, "PRID"), std::vector<std::string>(Column(req, "PRID").size(), id));
    EXPECT_EQ(Column(req, "ID"), OtherColumn("select ID from UP_CONS_REQ where PRID='" + id + "' order by ID")) << id;
    int row = 0;
    for (req.First(); !req.Eof(); req.Next(), ++row) {
      for (const char* field : {"CLC_Q3", "CLC_YPOL"}) {
        const CellColour expected = PrintersList::RequirementColour(field, req.FieldByName(field).AsFloat());
        EXPECT_EQ(test::CellBackground(*window.RequirementGrid, row, field), expected) << id << " " << field;
        if (expected) seen.insert(*expected);
      }
      EXPECT_EQ(test::CellBackground(*window.RequirementGrid, row, "QTY"), std::nullopt);
    }
  }
  EXPECT_EQ(seen, (std::set<unsigned>{kAqua, kGrey, kLime, kFuchsia})) << "the demo shows every colour";

  // The requirements of a printer as the server counts them.
  ASSERT_TRUE(logic.Printers().Locate("ID", base::Variant::Text(ids.front()), 0));
  test::Screenshot(&window, "printers_window");

  // Another unit: its printers, the count and the requirements again.
  window.UnitBox->setCurrentIndex(1);
  const std::vector<std::string> physics = Column(logic.Printers(), "ID");
  EXPECT_EQ(physics, OtherColumn("select ID from UP_PRINTERS where ORGID='0.04.02' order by ID"));
  EXPECT_EQ(window.CountBox->text().toStdString(), std::to_string(physics.size()));
  ASSERT_FALSE(physics.empty());
  EXPECT_EQ(Column(logic.Requirements(), "PRID").front(), physics.front());
  window.done(QDialog::Rejected);
}

TEST_F(PrintersWindow, AUserResponsibleForNoUnitSeesNothingByUnit) {
  LoginAs("NIKOS", "nikos");
  TPrinters1F window("", "");
  window.show();
  EXPECT_EQ(window.UnitBox->count(), 0);
  EXPECT_EQ(window.Logic().PrinterSQL(""), "select  * from UPV_PRINTERS where 1=1  AND (1=2) order by ID");
  EXPECT_EQ(window.Logic().PrinterCount(), 0);
  EXPECT_EQ(window.CountBox->text(), "0");
  EXPECT_FALSE(window.Logic().Requirements().Active());
  window.FindButton->click();
  EXPECT_EQ(window.CountBox->text(), "0");
  window.done(QDialog::Rejected);
}

TEST_F(PrintersWindow, OpenedWithNamesItSearchesByThemAndNotByUnit) {
  TPrinters1F window("nikos", "maria");
  window.show();
  EXPECT_FALSE(window.UnitBox->isEnabled());
  EXPECT_EQ(window.UnitBox->count(), 0);
  EXPECT_EQ(window.UserBox->text(), "nikos");
  EXPECT_EQ(window.OrdererBox->text(), "maria");
  EXPECT_EQ(window.Logic().PrinterSQL("0.02.02"),
            "select  * from UPV_PRINTERS where 1=1  AND  (userPID = 'nikos') AND  (orderPID = 'maria') order by ID");
  EXPECT_EQ(Column(window.Logic().Printers(), "ID"),
            OtherColumn("select ID from UP_PRINTERS where USERPID='nikos' and ORDERPID='maria' order by ID"));
  EXPECT_EQ(window.CountBox->text(), "3");
  window.done(QDialog::Rejected);
}

}  // namespace
}  // namespace mero::printers
