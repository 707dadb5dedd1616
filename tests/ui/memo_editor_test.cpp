// The long-text editor on an in-memory dataset, its refusals, and the
// read-only viewer.

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "base/encoding.h"
#include "data/dataset_fixture.h"
#include "data/field.h"
#include "dialog_driving.h"
#include "support/screenshot.h"
#include "support/scripted_presenter.h"
#include "ui/memo_editor.h"
#include "ui/memo_viewer.h"
#include "ui/qt_text.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

struct NotesTable {
  test::MemDataSet ds{"NOTES"};
  NotesTable() {
    ds.OpenWith({"ID,3,0", "CODE,1,20", "REMARKS,1,200", "BODY,16,0"},
                {{test::I(1), test::T("A1"), test::T("Πρώτη γραμμή"_gr), test::N()}});
  }
  std::string Remarks() { return ds.FieldByName("REMARKS").AsString(); }
};

TEST(MemoEditor, AFieldThatIsNotTextOrTooShortIsRefusedAndNothingOpens) {
  struct Case {
    const char* field;
    const char* message;
  };
  const Case cases[] = {
      {"ID", "Not a String Field"}, {"BODY", "Not a String Field"}, {"CODE", "Too Short a Field : 20"}};
  NotesTable t;
  for (const Case& c : cases) {
    test::ScriptedPresenter presenter;
    test::ModalSteps<ui::TxEditDBMemoF> opened([&](ui::TxEditDBMemoF& d) {
      ADD_FAILURE() << "the editor opened on " << c.field;
      d.reject();
    });
    ui::EditMemoField(t.ds, c.field, "Σημειώσεις"_gr);
    ASSERT_EQ(presenter.Texts(), std::vector<std::string>{c.message}) << c.field;
    EXPECT_EQ(t.ds.State(), data::dsBrowse);
  }
}

TEST(MemoEditor, F10OrOkWritesThePlainTextIntoTheFieldAndEscLeavesIt) {
  test::QtPresenterScope real;
  NotesTable t;
  {
    test::ModalSteps<ui::TxEditDBMemoF> steps([&](ui::TxEditDBMemoF& d) {
      EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Σημειώσεις"));
      EXPECT_EQ(d.OkButton()->text(), QStringLiteral("OK (F10)"));
      EXPECT_EQ(d.Memo()->toPlainText(), QString::fromUtf8("Πρώτη γραμμή"));
      QTest::keyClick(d.Memo(), Qt::Key_End, Qt::ControlModifier);
      QTest::keyClick(d.Memo(), Qt::Key_Return);
      test::TypeText(d.Memo(), QString::fromUtf8("δεύτερη <b>"));
      test::Screenshot(&d, "memo_editor");
      QTest::keyClick(d.Memo(), Qt::Key_F10);
    });
    ui::EditMemoField(t.ds, "REMARKS", "Σημειώσεις"_gr);
    EXPECT_TRUE(steps.Ran());
  }
  EXPECT_EQ(t.ds.State(), data::dsEdit);
  EXPECT_EQ(t.Remarks(), "Πρώτη γραμμή\nδεύτερη <b>"_gr);
  t.ds.Post();
  {
    test::ModalSteps<ui::TxEditDBMemoF> steps([&](ui::TxEditDBMemoF& d) {
      QTest::keyClicks(d.Memo(), "x");
      QTest::keyClick(d.Memo(), Qt::Key_Escape);
    });
    ui::EditMemoField(t.ds, "REMARKS", "Σημειώσεις"_gr);
    EXPECT_TRUE(steps.Ran());
  }
  EXPECT_EQ(t.ds.State(), data::dsBrowse);
  {
    test::ModalSteps<ui::TxEditDBMemoF> steps([&](ui::TxEditDBMemoF& d) {
      d.Memo()->selectAll();
      test::TypeText(d.Memo(), QString::fromUtf8("νέο"));
      QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    ui::EditMemoField(t.ds, "REMARKS", "Σημειώσεις"_gr);
    EXPECT_TRUE(steps.Ran());
  }
  EXPECT_EQ(t.Remarks(), "νέο"_gr);
}

TEST(MemoViewer, ShowsTheTextReadOnlyUntilOk) {
  test::ModalSteps<ui::MemoViewer> steps([](ui::MemoViewer& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Παρατηρήσεις"));
    EXPECT_TRUE(d.Memo()->isReadOnly());
    EXPECT_EQ(d.Memo()->toPlainText(), QString::fromUtf8("Γραμμή 1\nΓραμμή 2"));
    QTest::keyClicks(d.Memo(), "x");
    EXPECT_EQ(d.Memo()->toPlainText(), QString::fromUtf8("Γραμμή 1\nΓραμμή 2"));
    test::Screenshot(&d, "memo_viewer");
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  });
  ui::ShowMemoViewer("Παρατηρήσεις"_gr, "Γραμμή 1\nΓραμμή 2"_gr);
  EXPECT_TRUE(steps.Ran());
}

}  // namespace
