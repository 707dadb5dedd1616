// The lookup boxes: what they ask the lookup (through the scripted seam),
// where the chosen key goes, and the companion box's description read from
// the real server.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "data/dataset_fixture.h"
#include "data/dataset_utils.h"
#include "data/remote/table_cache.h"
#include "support/scripted_presenter.h"
#include "support/screenshot.h"
#include "ui/lookup_edit.h"
#include "ui/qt_text.h"
#include "ui/query_utils_fixture.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

// A shown window with the boxes, so that keys and clicks reach them.
class Host : public QWidget {
 public:
  explicit Host(std::initializer_list<QWidget*> controls) {
    auto* layout = new QVBoxLayout(this);
    for (QWidget* c : controls) layout->addWidget(c);
    show();
    activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(this));
  }
};

void Configure(ui::TLookupBox& box) {
  box.zQTbNm = "uorg";
  box.zQID = "id";
  box.zDisp = "name";
  box.zDescr = "Τμήμα"_gr;
  box.zWhC = " (toner_uid='maria') ";
  box.zVisFlds = "id;name:Όνομα"_gr;
  box.zOrdFld = "name";
}

TEST(LookupEdit, ShiftF7AndDoubleClickAskTheLookupWithTheBoxsPropertiesUnchanged) {
  test::ScriptedPresenter presenter;
  auto* box = new ui::TEDLU;
  Host host{box};
  Configure(*box);
  box->setText("0.01");
  box->setFocus();

  presenter.AnswerLookup("0.02.02");
  QTest::keyClick(box, Qt::Key_F7, Qt::ShiftModifier);
  EXPECT_EQ(box->text(), "0.02.02");
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  const base::LookupRequest& r = presenter.AllShown()[0].lookup;
  EXPECT_EQ(r.table, "uorg");
  EXPECT_EQ(r.keyField, "id");
  EXPECT_EQ(r.caption, "Τμήμα"_gr);
  EXPECT_EQ(r.filter, " (toner_uid='maria') ");
  EXPECT_EQ(r.visibleFields, "id;name:Όνομα"_gr);
  EXPECT_EQ(r.orderField, "name");
  EXPECT_EQ(r.initialValue, "0.01");

  presenter.CancelLookup();
  QTest::mouseDClick(box, Qt::LeftButton);
  EXPECT_EQ(box->text(), "0.02.02");
  EXPECT_EQ(presenter.AllShown().back().lookup.initialValue, "0.02.02");

  // Neither F7 alone nor a read-only box asks anything.
  QTest::keyClick(box, Qt::Key_F7);
  box->setReadOnly(true);
  QTest::keyClick(box, Qt::Key_F7, Qt::ShiftModifier);
  QTest::mouseDClick(box, Qt::LeftButton);
  EXPECT_EQ(presenter.AllShown().size(), 2u);
}

TEST(LookupEdit, OnLUReplacesTheDialog) {
  test::ScriptedPresenter presenter;
  auto* box = new ui::TEDLU;
  Host host{box};
  Configure(*box);
  int calls = 0;
  box->OnLU = [&calls] { ++calls; };
  QTest::keyClick(box, Qt::Key_F7, Qt::ShiftModifier);
  QTest::mouseDClick(box, Qt::LeftButton);
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(presenter.AllShown().empty());
}

class DataLookupEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    rows.OpenWith({"ID,3,0", "ORGID,1,16"}, {{test::I(1), test::T("0.01")}, {test::I(2), test::T("0.03")}});
    box = new ui::TDBLU;
    Configure(*box);
    box->SetDataSet(&rows);
    box->SetFieldName("ORGID");
    host = std::make_unique<Host>(std::initializer_list<QWidget*>{box});
  }

  test::ScriptedPresenter presenter;
  test::MemDataSet rows;
  ui::TDBLU* box = nullptr;
  std::unique_ptr<Host> host;
};

TEST_F(DataLookupEdit, TheChosenKeyGoesIntoTheFieldAfterAnEdit) {
  EXPECT_EQ(box->text(), "0.01");
  presenter.AnswerLookup("0.04.02");
  QTest::keyClick(box, Qt::Key_F7, Qt::ShiftModifier);
  EXPECT_EQ(presenter.AllShown().at(0).lookup.initialValue, "0.01");
  EXPECT_EQ(rows.State(), data::dsEdit);
  EXPECT_EQ(rows.FieldByName("ORGID").AsString(), "0.04.02");
  EXPECT_EQ(box->text(), "0.04.02");
  rows.Post();

  // A cancel (the initial value back) leaves the row alone.
  rows.Next();
  EXPECT_EQ(box->text(), "0.03");
  presenter.CancelLookup();
  QTest::mouseDClick(box, Qt::LeftButton);
  EXPECT_EQ(rows.State(), data::dsBrowse);
}

TEST_F(DataLookupEdit, NoLookupWhenTheFieldCannotChange) {
  struct Case {
    const char* what;
    std::function<void()> make;
  };
  const std::vector<Case> cases = {
      {"no table", [this] { box->zQTbNm.clear(); }},
      {"read-only field", [this] { rows.FieldByName("ORGID").SetReadOnly(true); }},
      {"no automatic edit while browsing", [this] { box->Link().SetAutoEdit(false); }},
      {"closed dataset", [this] { rows.Close(); }},
  };
  for (const Case& c : cases) {
    rows.Open();
    rows.FieldByName("ORGID").SetReadOnly(false);
    box->Link().SetAutoEdit(true);
    box->zQTbNm = "uorg";
    c.make();
    box->Link().OnDataChange();
    QTest::keyClick(box, Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_TRUE(presenter.AllShown().empty()) << c.what;
    EXPECT_NE(rows.State(), data::dsEdit) << c.what;
  }
}

TEST_F(DataLookupEdit, TheRightButtonCallsOnLU) {
  int calls = 0;
  box->OnLU = [&calls] { ++calls; };
  QTest::mousePress(box, Qt::RightButton);
  QTest::mouseRelease(box, Qt::RightButton);
  QTest::mousePress(box, Qt::LeftButton);
  QTest::mouseRelease(box, Qt::LeftButton);
  EXPECT_EQ(calls, 1);
}

TEST_F(DataLookupEdit, TypingWritesTheField) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "0.02");
  EXPECT_EQ(rows.State(), data::dsEdit);
  EXPECT_EQ(rows.FieldByName("ORGID").AsString(), "0.02");
}

// The description in the companion box, read from the server.
using LookupEditDescription = test::QueryUtilsTest;

TEST_F(LookupEditDescription, TheCompanionShowsTheDescriptionOrAStarOnError) {
  auto* unit = new ui::TEDLU;
  auto* unitName = new QLineEdit;
  auto* printer = new ui::TEDLU;
  auto* printerModel = new QLineEdit;
  Host host{unit, unitName, printer, printerModel};
  unit->zQTbNm = "UORG";
  unit->zDisp = "NAME";
  unit->SetzLUDSC(unitName);
  printer->zQTbNm = "UPV_PRINTERS";
  printer->zDisp = "FULLNAME";
  printer->SetzLUDSC(printerModel);
  unitName->setText("typed by hand");

  unit->setText("0.02.02");
  EXPECT_EQ(ui::FromQString(unitName->text()), "Τμήμα Γραμματείας"_gr);
  EXPECT_TRUE(unitName->isReadOnly());
  EXPECT_EQ(unitName->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(unitName->palette().color(QPalette::Base), QColor(0, 0, 0x80));
  EXPECT_EQ(unitName->palette().color(QPalette::Text), QColor(0xFF, 0xFF, 0));
  printer->setText("P001");
  EXPECT_FALSE(printerModel->text().isEmpty());
  EXPECT_EQ(ui::FromQString(printerModel->text()), Select1("select FULLNAME from UPV_PRINTERS where ID='P001'"));
  test::Screenshot(&host, "lookup_edit_boxes");

  unit->setText("9.99");
  EXPECT_EQ(unitName->text(), "");
  unit->setText("");
  EXPECT_EQ(unitName->text(), "");

  unit->zDisp = "NO_SUCH_COLUMN";
  unit->setText("0.01");
  EXPECT_EQ(unitName->text(), "*");
  EXPECT_FALSE(shownSQL.empty()) << "the failed select is shown by the query utilities";
}

TEST_F(LookupEditDescription, ACachedTableIsReadFromTheCache) {
  data::MemCol()->AddTable("UORG");
  auto* unit = new ui::TEDLU;
  auto* unitName = new QLineEdit;
  Host host{unit, unitName};
  unit->zQTbNm = "UORG";
  unit->zDisp = "NAME";
  unit->SetzLUDSC(unitName);
  unit->setText("0.01");
  EXPECT_EQ(ui::FromQString(unitName->text()), "Πρυτανεία"_gr);
  const int sent = Socket().SentMessageCount();
  unit->setText("0.04.02");
  EXPECT_EQ(ui::FromQString(unitName->text()), "Τμήμα Φυσικής"_gr);
  EXPECT_EQ(Socket().SentMessageCount(), sent);
}

}  // namespace
