// The data-aware date box on an in-memory dataset with a date field.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <memory>

#include "base/clock.h"
#include "base/date_time.h"
#include "data/dataset_fixture.h"
#include "data/field.h"
#include "host_window.h"
#include "support/screenshot.h"
#include "support/scripted_presenter.h"
#include "ui/date_box_rules.h"
#include "ui/db_date_edit.h"
#include "ui/qt_text.h"

using namespace mero;

namespace {

const base::TDateTime kStored = base::EncodeDate(2004, 12, 24);

struct DateFieldWindow {
  test::MemDataSet ds{"ORDERS"};
  ui::TDBDTEdit* box = new ui::TDBDTEdit;
  QLineEdit* after = new QLineEdit;
  test::HostWindow window{"TDBDTEdit", {box, after}};

  DateFieldWindow() {
    ds.OpenWith({"ID,3,0", "D,9,0"}, {{test::I(1), base::Variant::Date(kStored)}});
    box->SetDataSet(&ds);
    box->SetDataField("D");
    box->setFocus();
  }
  ~DateFieldWindow() { box->SetDataSet(nullptr); }
  base::TDateTime Field() { return ds.FieldByName("D").AsDateTime(); }
  std::string Text() const { return ui::FromQString(box->text()); }
};

TEST(DateFieldRules, OnlyDateCharactersAndTheNormalisedText) {
  for (char c : std::string("0123456789,-./")) EXPECT_TRUE(ui::IsDateBoxChar(c)) << c;
  for (char c : std::string("a :+\\")) EXPECT_FALSE(ui::IsDateBoxChar(c)) << c;
  base::ScopedClock clock(std::make_shared<base::FixedClock>(base::EncodeDate(2005, 3, 14)));
  EXPECT_EQ(ui::NormalizeDateText("5.3.05"), "05/03/2005");
  EXPECT_EQ(ui::NormalizeDateText("5"), "05/03/2005");
  EXPECT_EQ(ui::NormalizeDateText("31/2"), "31/2");
  EXPECT_EQ(ui::NormalizeDateText(""), "");
}

TEST(DBDateEdit, TypedDatesAreNormalisedIntoTheFieldAndOtherCharactersDropped) {
  base::ScopedClock clock(std::make_shared<base::FixedClock>(base::EncodeDate(2005, 3, 14)));
  DateFieldWindow w;
  EXPECT_FALSE(w.box->isReadOnly());
  EXPECT_EQ(w.Text(), w.ds.FieldByName("D").AsString());
  w.box->selectAll();
  QTest::keyClicks(w.box, "5a.3 x");
  EXPECT_EQ(w.Text(), "5.3");
  EXPECT_EQ(w.ds.State(), data::dsEdit);
  test::Screenshot(&w.window, "db_date_edit");
  QTest::keyClick(w.box, Qt::Key_Tab);
  EXPECT_TRUE(w.after->hasFocus());
  EXPECT_EQ(w.Field(), base::EncodeDate(2005, 3, 5));
  w.ds.Post();
  EXPECT_EQ(w.Field(), base::EncodeDate(2005, 3, 5));
}

TEST(DBDateEdit, DeleteStartsEditingAndAnEmptyTextEmptiesTheField) {
  DateFieldWindow w;
  QTest::keyClick(w.box, Qt::Key_Home);
  for (int i = 0; i < 12; ++i) QTest::keyClick(w.box, Qt::Key_Delete);
  EXPECT_EQ(w.ds.State(), data::dsEdit);
  EXPECT_EQ(w.Text(), "");
  QTest::keyClick(w.box, Qt::Key_Tab);
  EXPECT_TRUE(w.ds.FieldByName("D").IsNull());
}

TEST(DBDateEdit, ABadTextIsShownOnceSelectedAndKeepsTheFocus) {
  test::ScriptedPresenter presenter;
  DateFieldWindow w;
  w.box->selectAll();
  QTest::keyClicks(w.box, "31/2");
  QTest::keyClick(w.box, Qt::Key_Tab);
  EXPECT_TRUE(w.box->hasFocus());
  EXPECT_EQ(w.box->selectedText(), "31/2");
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  EXPECT_NE(presenter.AllShown()[0].text.find("31/2"), std::string::npos) << presenter.AllShown()[0].text;
  EXPECT_EQ(presenter.AllShown()[0].kind, base::mkMessage);
  EXPECT_EQ(w.Field(), kStored);
}

TEST(DBDateEdit, F2WritesThePickedDateAndEscShowsTheFieldAgain) {
  test::ScriptedPresenter presenter;
  DateFieldWindow w;
  presenter.AnswerDate(base::EncodeDate(2005, 6, 30));
  QTest::keyClick(w.box, Qt::Key_F2);
  EXPECT_EQ(w.Field(), base::EncodeDate(2005, 6, 30));
  EXPECT_EQ(w.ds.State(), data::dsEdit);

  w.box->selectAll();
  QTest::keyClicks(w.box, "1/1");
  QTest::keyClick(w.box, Qt::Key_Escape);
  EXPECT_EQ(w.Text(), w.ds.FieldByName("D").AsString());
  EXPECT_EQ(w.box->selectedText(), w.box->text());
  EXPECT_EQ(w.Field(), base::EncodeDate(2005, 6, 30));

  presenter.CancelDate();
  QTest::mouseDClick(w.box, Qt::LeftButton);
  EXPECT_EQ(w.Field(), base::EncodeDate(2005, 6, 30));
}

TEST(DBDateEdit, AFieldThatCannotChangeKeepsTheBoxReadOnlyAndAsksNothing) {
  test::ScriptedPresenter presenter;
  DateFieldWindow w;
  w.ds.FieldByName("D").SetReadOnly(true);
  w.box->SetDataField("D");
  EXPECT_TRUE(w.box->isReadOnly());
  QTest::keyClick(w.box, Qt::Key_F2);
  QTest::mouseDClick(w.box, Qt::LeftButton);
  QTest::keyClicks(w.box, "5");
  QTest::keyClick(w.box, Qt::Key_Delete);
  EXPECT_EQ(w.ds.State(), data::dsBrowse);
  EXPECT_EQ(w.Field(), kStored);
  EXPECT_TRUE(presenter.AllShown().empty());
}

}  // namespace
