// The data grid over a query of the real server: the footer sums the
// register's rows, and neither painting, summing nor printing runs the
// dataset's after-scroll handler.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTableView>
#include <fstream>
#include <string>

#include "base/runtime.h"
#include "data/remote/remote_fixture.h"
#include "support/screenshot.h"
#include "support/temp_dir.h"
#include "ui/data_grid.h"
#include "ui/qt_text.h"

using namespace mero;

namespace {

class GridOverServer : public test::RemoteDataSetTest {};

TEST_F(GridOverServer, TheFooterSumsTheQueryAndAfterScrollNeverRuns) {
  auto q = Query("select ID, NODELT, ORGID, VALTOT, QTYTOT from UP_DELT order by ID");
  q->Open();
  ASSERT_GT(q->RecordCount(), 1);
  const int rows = q->RecordCount();
  q->Next();
  int scrolls = 0;
  q->AfterScroll = [&scrolls] { ++scrolls; };

  ui::TKZDBGrid grid;
  grid.SetSelected({"NODELT\t6\tNo", "ORGID\t12\tOrg", "VALTOT\t10\tValue", "QTYTOT\t6\tQty"});
  grid.SetzSumFields("VALTOT;QTYTOT");
  grid.SetDataSet(q.get());
  grid.resize(600, 300);
  grid.show();
  QApplication::processEvents();
  grid.grab();
  grid.UpdateFooter();

  EXPECT_EQ(ui::FromQString(grid.FooterText(2)), Select1("select sum(VALTOT) from UP_DELT"));
  EXPECT_EQ(ui::FromQString(grid.FooterText(3)), Select1("select sum(QTYTOT) from UP_DELT"));
  EXPECT_EQ(grid.FooterText(0), "");
  test::Screenshot(&grid, "data_grid_register_footer");

  test::TempDir dir;
  base::Rt().expImpOverride = dir.Path().string();
  grid.Print();
  base::Rt().expImpOverride.clear();
  std::ifstream in(dir.File("ascii.txt"), std::ios::binary);
  int lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  EXPECT_EQ(lines, rows);
  ASSERT_FALSE(presenter_.AllShown().empty());
  EXPECT_NE(presenter_.AllShown().back().text.find("ascii.txt"), std::string::npos);

  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(q->RecNo(), 2);
  EXPECT_EQ(grid.View()->currentIndex().row(), 1);
}

}  // namespace
