// The cache viewer and the Debug window's cache buttons over a table cache
// filled from the real server.

#include "ui/cache_viewer.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "data/remote/query_startup.h"
#include "data/remote/query_utils.h"
#include "data/remote/table_cache.h"
#include "data/remote/remote_fixture.h"
#include "support/screenshot.h"
#include "ui/cache_viewer_logic.h"
#include "ui/debug_window.h"
#include "ui/qt_text.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

// DEPT cached in the order of its names: D01, D02, D04, D05, D03.
class CacheViewer : public test::RemoteDataSetTest {
 protected:
  void SetUp() override {
    RemoteDataSetTest::SetUp();
    if (HasFatalFailure()) return;
    data::InitQueryUtils(false);
    data::MemCol()->AddTable("DEPT", "select ID, NAME from DEPT", "NAME", "ID");
  }
  void TearDown() override {
    ui::DestroyCacheViewer();
    ui::DestroyDebugWindow();
    RemoteDataSetTest::TearDown();
  }

  template <typename T>
  T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
};

TEST_F(CacheViewer, RowsAreReadWithoutMovingTheCacheAndLocateTellsThePosition) {
  data::TAMemCol& cache = *data::MemCol();
  EXPECT_EQ(ui::CachedTableNames(cache), (std::vector<std::string>{"COOP", "DEPT"}));
  data::TLinkDataSet& dept = *cache.TableData("DEPT");
  dept.First();
  dept.Next();
  const ui::CachedRows rows = ui::ReadCachedRows(cache, "dept");
  EXPECT_EQ(dept.RecNo(), 2);
  EXPECT_EQ(rows.fields, (std::vector<std::string>{"ID", "NAME"}));
  std::vector<std::string> ids;
  for (const auto& row : rows.rows) ids.push_back(row[0]);
  EXPECT_EQ(ids, (std::vector<std::string>{"D01", "D02", "D04", "D05", "D03"}));
  EXPECT_EQ(rows.rows[4][1], "Τμήμα Φυσικής"_gr);
  EXPECT_TRUE(ui::ReadCachedRows(cache, "NOPE").fields.empty());

  struct Case {
    const char* table;
    const char* key;
    const char* text;
  };
  const Case cases[] = {
      {"DEPT", "D03", "Located at pos:5"}, {"DEPT", "D01", "Located at pos:1"}, {"DEPT", "D99", "Not located:D99"},
      {"DEPT", "", "Not located:"},        {"NOPE", "D03", "Not located:D03"},
  };
  for (const Case& c : cases) EXPECT_EQ(ui::TestLocateText(cache, c.table, c.key), c.text) << c.table << c.key;
}

TEST_F(CacheViewer, TheDebugWindowOpensTheViewerWhichShowsAndSearchesTheTableClicked) {
  ui::TDebugF& debug = ui::DebugWindow();
  debug.show();
  auto* imcs = Child<QPushButton>(debug, "IMCsBtn");
  ASSERT_NE(imcs, nullptr);
  QTest::mouseClick(imcs, Qt::LeftButton);
  ui::TxDispIMCS* viewer = ui::CacheViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_FALSE(viewer->isModal());

  auto* tables = Child<QListWidget>(*viewer, "LBTables");
  auto* rows = Child<QTableWidget>(*viewer, "GridRows");
  auto* key = Child<QLineEdit>(*viewer, "EdKey");
  auto* locate = Child<QPushButton>(*viewer, "TestLocateBtn");
  ASSERT_TRUE(tables && rows && key && locate);
  ASSERT_EQ(tables->count(), 2);
  EXPECT_EQ(tables->item(1)->text(), QStringLiteral("DEPT"));
  EXPECT_FALSE(locate->isEnabled());  // no table to search yet

  QListWidgetItem* dept = tables->item(1);
  QTest::mouseClick(tables->viewport(), Qt::LeftButton, {}, tables->visualItemRect(dept).center());
  EXPECT_EQ(viewer->Shown(), "DEPT");
  ASSERT_EQ(rows->rowCount(), 5);
  ASSERT_EQ(rows->columnCount(), 2);
  EXPECT_EQ(rows->horizontalHeaderItem(1)->text(), QStringLiteral("NAME"));
  EXPECT_EQ(rows->item(4, 0)->text(), QStringLiteral("D03"));
  EXPECT_EQ(ui::FromQString(rows->item(4, 1)->text()), "Τμήμα Φυσικής"_gr);
  test::Screenshot(viewer, "cache_viewer");

  for (const char* typed : {"D03", "D99"}) {
    key->clear();
    QTest::keyClicks(key, QString::fromLatin1(typed));
    QTest::mouseClick(locate, Qt::LeftButton);
  }
  EXPECT_EQ(presenter_.Texts(), (std::vector<std::string>{"Located at pos:5", "Not located:D99"}));
}

TEST_F(CacheViewer, ReloadReadsEveryCachedTableAgain) {
  data::TAMemCol& cache = *data::MemCol();
  ASSERT_EQ(cache.CachedLookup("DEPT", "D03", "NAME"), "Τμήμα Φυσικής"_gr);
  data::ExecSQLCommit("update DEPT set NAME='" + "Τμήμα Χημείας"_gr + "' where ID='D03'");
  EXPECT_EQ(cache.CachedLookup("DEPT", "D03", "NAME"), "Τμήμα Φυσικής"_gr);  // still the cached row
  ui::TDebugF& debug = ui::DebugWindow();
  debug.show();
  auto* reload = Child<QPushButton>(debug, "ReLoadBtn");
  ASSERT_NE(reload, nullptr);
  QTest::mouseClick(reload, Qt::LeftButton);
  EXPECT_EQ(cache.CachedLookup("DEPT", "D03", "NAME"), "Τμήμα Χημείας"_gr);
  EXPECT_TRUE(presenter_.Texts().empty());
}

}  // namespace
