// The data-aware text box, memo and check box on an in-memory dataset.

#include <gtest/gtest.h>

#include <QTest>

#include "data/dataset_fixture.h"
#include "data/field.h"
#include "host_window.h"
#include "ui/db_check_box.h"
#include "ui/db_edit.h"
#include "ui/db_memo.h"
#include "ui/qt_text.h"

using namespace mero;

namespace {

struct TextFieldsWindow {
  test::MemDataSet ds{"HEADER"};
  ui::TDBEdit* edit = new ui::TDBEdit;
  ui::TDBMemo* memo = new ui::TDBMemo;
  ui::TDBCheckBox* check = new ui::TDBCheckBox("Void");
  test::HostWindow window{"db controls", {edit, memo, check}};

  TextFieldsWindow() {
    ds.OpenWith(
        {"ID,3,0", "NAME,1,6", "COMM,1,40", "ACTV,1,1"},
        {{test::I(1), base::Variant::Text("abc"), base::Variant::Text("one\r\ntwo"), base::Variant::Text("1")}});
    edit->SetDataSet(&ds);
    edit->SetDataField("NAME");
    memo->SetDataSet(&ds);
    memo->SetDataField("COMM");
    // Checked means void: the field holds "0" then.
    check->SetValues("0", "1");
    check->SetDataSet(&ds);
    check->SetDataField("ACTV");
  }
  ~TextFieldsWindow() {
    edit->SetDataSet(nullptr);
    memo->SetDataSet(nullptr);
    check->SetDataSet(nullptr);
  }
  std::string Field(const char* name) { return ds.FieldByName(name).AsString(); }
};

TEST(DBControls, TypingWritesTheFieldAtOnceWithinItsWidth) {
  TextFieldsWindow w;
  EXPECT_EQ(ui::FromQString(w.edit->text()), "abc");
  EXPECT_EQ(w.edit->maxLength(), 6);
  w.edit->setFocus();
  QTest::keyClick(w.edit, Qt::Key_End);
  QTest::keyClicks(w.edit, "defgh");
  EXPECT_EQ(w.ds.State(), data::dsEdit);
  EXPECT_EQ(w.Field("NAME"), "abcdef") << "the box keeps to the field's width";
  EXPECT_EQ(w.edit->cursorPosition(), 6);

  EXPECT_EQ(w.memo->toPlainText(), "one\ntwo");
  w.memo->moveCursor(QTextCursor::End);
  QTest::keyClick(w.memo, Qt::Key_Return);
  QTest::keyClicks(w.memo, "3");
  EXPECT_EQ(w.Field("COMM"), "one\r\ntwo\r\n3");

  EXPECT_FALSE(w.check->isChecked());
  w.check->click();
  EXPECT_EQ(w.Field("ACTV"), "0");
  w.check->click();
  EXPECT_EQ(w.Field("ACTV"), "1");
  w.ds.Cancel();
  EXPECT_EQ(ui::FromQString(w.edit->text()), "abc") << "a cancel shows the stored values again";
  EXPECT_EQ(w.memo->toPlainText(), "one\ntwo");
}

TEST(DBControls, AReadOnlyFieldOrBoxTakesNoInput) {
  TextFieldsWindow w;
  for (const char* f : {"NAME", "COMM", "ACTV"}) w.ds.FieldByName(f).SetReadOnly(true);
  w.edit->ShowField();
  w.memo->ShowField();
  w.check->ShowField();
  EXPECT_TRUE(w.edit->isReadOnly());
  EXPECT_TRUE(w.memo->isReadOnly());
  EXPECT_FALSE(w.check->isEnabled());
  QTest::keyClicks(w.edit, "x");
  QTest::keyClicks(w.memo, "x");
  EXPECT_EQ(w.ds.State(), data::dsBrowse);

  w.ds.FieldByName("NAME").SetReadOnly(false);
  w.edit->SetAlwaysReadOnly(true);
  EXPECT_TRUE(w.edit->isReadOnly());
  w.edit->SetAlwaysReadOnly(false);
  EXPECT_FALSE(w.edit->isReadOnly());
  EXPECT_EQ(w.Field("NAME"), "abc");
}

}  // namespace
