// The base window: the Enter rule and the key table as plain functions, and
// the keyboard contract on a real window whose keys reach it through a
// focused line edit and a tab widget.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/exception.h"
#include "data/database_error.h"
#include "data/dataset_fixture.h"
#include "support/scripted_presenter.h"
#include "support/screenshot.h"
#include "ui/base_window.h"
#include "ui/base_window_keys.h"

using namespace mero;
using namespace mero::base::literals;
using ui::FormKey;

namespace {

TEST(BaseWindowKeys, EnterFollowsTheTagTheSearchControlsAndTheKindOfControl) {
  struct Case {
    const char* what;
    ui::FocusedControl control;
    FormKey expected;
  };
  const std::string search = "edCode; cbUnit;LUPrinter";
  const std::vector<Case> cases = {
      {"plain box with text, name in another case", {"EDCODE", 0, true, true, false}, FormKey::Find},
      {"plain box, empty", {"edCode", 0, true, false, false}, FormKey::NextControl},
      {"combo, empty", {"cbunit", 0, false, false, false}, FormKey::Find},
      {"lookup box, empty", {"LUPrinter", 0, false, false, false}, FormKey::Find},
      {"tag 3990 in the search controls", {"edCode", 3990, true, true, false}, FormKey::None},
      {"tag 3990 elsewhere", {"edOther", 3990, true, false, false}, FormKey::None},
      {"other tag", {"edCode", 3991, true, true, false}, FormKey::Find},
      {"plain box outside the list", {"edOther", 0, true, true, false}, FormKey::NextControl},
      {"name that only starts like one", {"edCo", 0, true, true, false}, FormKey::NextControl},
      {"grid", {"grid", 0, false, false, true}, FormKey::None},
      {"memo", {"memo", 0, false, true, true}, FormKey::None},
      {"grid named in the list", {"edCode", 0, false, false, true}, FormKey::Find},
      {"control without a name", {"", 0, true, true, false}, FormKey::NextControl},
  };
  for (const Case& c : cases) EXPECT_EQ(ui::EnterKey(search, c.control), c.expected) << c.what;
  EXPECT_EQ(ui::EnterKey("", {"edCode", 0, false, true, false}), FormKey::NextControl);
}

TEST(BaseWindowKeys, EachKeyNeedsExactlyItsModifiers) {
  struct Case {
    int key;
    unsigned modifiers;
    FormKey expected;
  };
  const std::vector<Case> cases = {
      {Qt::Key_Escape, 0, FormKey::CancelOrClose},
      {Qt::Key_F7, 0, FormKey::Find},
      {Qt::Key_F8, 0, FormKey::F8Key},
      {Qt::Key_F10, 0, FormKey::AcceptOrClose},
      {Qt::Key_F12, 0, FormKey::F12Key},
      {Qt::Key_PageUp, ui::kCtrl, FormKey::PriorRecord},
      {Qt::Key_PageDown, ui::kCtrl, FormKey::NextRecord},
      {Qt::Key_End, ui::kCtrl, FormKey::LastRecord},
      {Qt::Key_Home, ui::kCtrl, FormKey::FirstRecord},
      {Qt::Key_F7, ui::kShift, FormKey::None},
      {Qt::Key_F12, ui::kAlt, FormKey::None},
      {Qt::Key_F10, ui::kCtrl, FormKey::None},
      {Qt::Key_Escape, ui::kShift, FormKey::None},
      {Qt::Key_PageDown, 0, FormKey::None},
      {Qt::Key_PageDown, ui::kCtrl | ui::kShift, FormKey::None},
      {Qt::Key_Home, ui::kCtrl | ui::kAlt, FormKey::None},
      {Qt::Key_F9, 0, FormKey::None},
      {Qt::Key_F5, 0, FormKey::None},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ui::WindowKey(c.key, c.modifiers), c.expected) << "key " << std::hex << c.key << " mods " << c.modifiers;
}

// A window as a domain window declares one: a search box, a second box, a
// tab widget with a box on its page, a memo, and a dataset of three rows.
class CountingForm : public ui::TF102Form {
 public:
  CountingForm() {
    setWindowTitle("Base window");
    auto* layout = new QVBoxLayout(this);
    search = new QLineEdit(this);
    search->setObjectName("edSearch");
    other = new QLineEdit(this);
    other->setObjectName("edOther");
    tabs = new QTabWidget(this);
    paged = new QLineEdit;
    paged->setObjectName("edPaged");
    tabs->addTab(paged, "First");
    tabs->addTab(new QLineEdit, "Second");
    memo = new QPlainTextEdit(this);
    grid = new QTableWidget(2, 2, this);
    layout->addWidget(search);
    layout->addWidget(other);
    layout->addWidget(tabs);
    layout->addWidget(memo);
    layout->addWidget(grid);
    SetSearchControls("EDSEARCH;edPaged");
    rows.OpenWith({"ID,3,0", "DSC,1,20"}, {{test::I(1), test::T("one")}, {test::I(2), test::T("two")},
                                           {test::I(3), test::T("three")}});
    SetMainDataSet(&rows);
  }

  void Find() override {
    ++finds;
    if (raise != nullptr) raise();
  }
  void F8Key() override { ++f8; }
  void F12Key() override { ++f12; }

  int finds = 0, f8 = 0, f12 = 0;
  void (*raise)() = nullptr;
  QLineEdit* search;
  QLineEdit* other;
  QTabWidget* tabs;
  QLineEdit* paged;
  QPlainTextEdit* memo;
  QTableWidget* grid;
  test::MemDataSet rows;
};

class BaseWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  void FocusOn(QWidget* w) {
    w->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w);
  }

  test::ScriptedPresenter presenter;
  CountingForm form;
};

TEST_F(BaseWindow, EnterInASearchBoxFindsWithTextAndMovesOnWhenEmpty) {
  test::Screenshot(&form, "base_window");
  FocusOn(form.search);
  QTest::keyClick(form.search, Qt::Key_Return);
  EXPECT_EQ(form.finds, 0);
  EXPECT_EQ(QApplication::focusWidget(), form.other);

  form.search->setText("12");
  FocusOn(form.search);
  QTest::keyClick(form.search, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(form.finds, 1);
  EXPECT_EQ(QApplication::focusWidget(), form.search);

  // Shift+Enter is not Enter.
  QTest::keyClick(form.search, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(form.finds, 1);
}

TEST_F(BaseWindow, KeysReachTheWindowThroughATabWidget) {
  form.paged->setText("x");
  FocusOn(form.paged);
  QTest::keyClick(form.paged, Qt::Key_Return);
  EXPECT_EQ(form.finds, 1);
  QTest::keyClick(form.paged, Qt::Key_F7);
  QTest::keyClick(form.paged, Qt::Key_F8);
  QTest::keyClick(form.paged, Qt::Key_F12);
  EXPECT_EQ(form.finds, 2);
  EXPECT_EQ(form.f8, 1);
  EXPECT_EQ(form.f12, 1);
  QTest::keyClick(form.paged, Qt::Key_F7, Qt::ShiftModifier);
  EXPECT_EQ(form.finds, 2);

  // Ctrl+PgDn moves the main dataset, not the tab widget's page.
  ASSERT_EQ(form.rows.RecNo(), 1);
  QTest::keyClick(form.paged, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(form.rows.RecNo(), 2);
  EXPECT_EQ(form.tabs->currentIndex(), 0);
  QTest::keyClick(form.paged, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(form.rows.RecNo(), 3);
  QTest::keyClick(form.paged, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(form.rows.RecNo(), 2);
  QTest::keyClick(form.paged, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(form.rows.RecNo(), 1);
  QTest::keyClick(form.paged, Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(form.rows.RecNo(), 1);
  EXPECT_EQ(form.tabs->currentIndex(), 0);
  EXPECT_TRUE(form.isVisible());
}

TEST_F(BaseWindow, EnterStaysWithAGridAndTheEditorOfItsCell) {
  FocusOn(form.grid);
  form.grid->setCurrentCell(0, 0);
  QTest::keyClick(form.grid, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), form.grid);

  form.grid->setItem(0, 1, new QTableWidgetItem);
  form.grid->editItem(form.grid->item(0, 1));
  QWidget* editor = QApplication::focusWidget();
  ASSERT_NE(editor, form.grid);
  QTest::keyClicks(editor, "typed");
  QTest::keyClick(editor, Qt::Key_Return);
  // The cell's delegate ends the edit from the event loop.
  QApplication::processEvents();
  EXPECT_EQ(form.grid->item(0, 1)->text(), "typed");
  EXPECT_EQ(QApplication::focusWidget(), form.grid);
  EXPECT_EQ(form.finds, 0);
}

TEST_F(BaseWindow, EnterStaysWithAMemoAndWithATag3990Control) {
  FocusOn(form.memo);
  QTest::keyClick(form.memo, Qt::Key_A);
  QTest::keyClick(form.memo, Qt::Key_Return);
  QTest::keyClick(form.memo, Qt::Key_B);
  EXPECT_EQ(form.memo->toPlainText(), "a\nb");
  EXPECT_EQ(QApplication::focusWidget(), form.memo);

  form.search->setProperty("tag", 3990);
  form.search->setText("12");
  FocusOn(form.search);
  QSignalSpy returned(form.search, &QLineEdit::returnPressed);
  QTest::keyClick(form.search, Qt::Key_Return);
  EXPECT_EQ(returned.count(), 1);
  EXPECT_EQ(form.finds, 0);
  EXPECT_EQ(QApplication::focusWidget(), form.search);
  EXPECT_TRUE(form.isVisible());
}

TEST_F(BaseWindow, EscWithAnEditAsksAndKeepsOrCancelsItThenCloses) {
  const std::string question = "Προσοχή υπάρχουν στοιχεία που δεν έχουν καταχωρηθεί!. Συνέχεια?"_gr;
  FocusOn(form.other);
  form.rows.Edit();
  form.rows.FieldByName("DSC").SetAsString("changed");

  presenter.SetNextAnswer(base::ModalResult::Cancel);
  QTest::keyClick(form.other, Qt::Key_Escape);
  EXPECT_EQ(form.rows.State(), data::dsEdit);
  EXPECT_TRUE(form.isVisible());

  presenter.SetNextAnswer(base::ModalResult::OK);
  QTest::keyClick(form.other, Qt::Key_Escape);
  EXPECT_EQ(form.rows.State(), data::dsBrowse);
  EXPECT_EQ(form.rows.FieldByName("DSC").AsString(), "one");
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(presenter.Texts(), (std::vector<std::string>{question, question}));

  QTest::keyClick(form.other, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(presenter.Texts().size(), 2u);
}

TEST_F(BaseWindow, F10PostsTheEditThenClosesWithOK) {
  FocusOn(form.paged);
  form.rows.Next();
  form.rows.Edit();
  form.rows.FieldByName("DSC").SetAsString("posted");
  QTest::keyClick(form.paged, Qt::Key_F10);
  EXPECT_EQ(form.rows.State(), data::dsBrowse);
  EXPECT_EQ(form.rows.FieldByName("DSC").AsString(), "posted");
  EXPECT_TRUE(form.isVisible());

  QTest::keyClick(form.paged, Qt::Key_F10);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_TRUE(presenter.Texts().empty());
}

TEST_F(BaseWindow, ClosingByTheTitleBarWithAnEditAsksFirst) {
  form.rows.Insert();
  presenter.SetNextAnswer(base::ModalResult::Cancel);
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.rows.State(), data::dsInsert);

  presenter.SetNextAnswer(base::ModalResult::OK);
  EXPECT_FALSE(form.close());
  EXPECT_EQ(form.rows.State(), data::dsBrowse);
  EXPECT_EQ(form.rows.RecordCount(), 3);

  EXPECT_TRUE(form.close());
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST_F(BaseWindow, AFailureOfAnActionIsShownOnceAndASilentAbortNotAtAll) {
  FocusOn(form.other);
  form.raise = [] { throw base::Exception("the search failed"); };
  QTest::keyClick(form.other, Qt::Key_F7);
  form.raise = [] { throw data::EAbort(); };
  QTest::keyClick(form.other, Qt::Key_F7);
  EXPECT_EQ(form.finds, 2);
  EXPECT_EQ(presenter.Texts(), std::vector<std::string>{"the search failed"});
  EXPECT_TRUE(form.isVisible());
}

}  // namespace
