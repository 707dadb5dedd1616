// The lookup dialog against the real server: the statements it sends, the
// sort and filter boxes, choosing, leaving, and an edit written to the table.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/runtime.h"
#include "data/dataset_utils.h"
#include "data/remote/application_dataset.h"
#include "support/login_helper.h"
#include "support/screenshot.h"
#include "ui/data_grid.h"
#include "ui/lookup_dialog.h"
#include "ui/memo_viewer.h"
#include "ui/qt_text.h"
#include "ui/query_utils_fixture.h"

using namespace mero;
using namespace mero::base::literals;
using ui::TCustomLUF;

namespace {

base::LookupRequest UnitRequest(const std::string& filter = " (toner_uid='maria') and (TON=1) ") {
  base::LookupRequest r;
  r.table = "UORG";
  r.keyField = "ID";
  r.visibleFields = "ID;Name;LOCID;AD_GROUP";
  r.orderField = "ID";
  r.caption = "Τμήμα/Διεύθυνση"_gr;
  r.filter = filter;
  return r;
}

TEST(LookupDialogWindow, TheFieldListHoldsTheParsedFieldsAndShowsOnlyWhenDebugging) {
  base::LookupRequest r;
  r.table = "UORG";
  r.visibleFields = "id:Κωδικός;Name"_gr;
  const int level = base::Rt().debugLevel;
  for (const int debug : {0, 1}) {
    base::Rt().debugLevel = debug;
    TCustomLUF d(r);
    d.show();
    EXPECT_EQ(d.FieldList()->isVisible(), debug > 0) << debug;
    ASSERT_EQ(d.FieldList()->rowCount(), 2);
    EXPECT_EQ(d.FieldList()->item(0, 0)->text(), "ID");
    EXPECT_EQ(ui::FromQString(d.FieldList()->item(0, 1)->text()), "Κωδικός"_gr);
    EXPECT_EQ(d.FieldList()->item(1, 0)->text(), "NAME");
    EXPECT_EQ(d.FieldList()->item(1, 1)->text(), "");
    d.done(QDialog::Rejected);
  }
  base::Rt().debugLevel = level;
}

class LookupDialog : public test::QueryUtilsTest {
 protected:
  // Runs the lookup modally and drives it from the event loop; a dialog the
  // steps leave open is closed afterwards and reported in stillOpen.
  std::string Drive(const base::LookupRequest& request, const std::function<void(TCustomLUF&)>& steps) {
    stillOpen = false;
    QTimer::singleShot(0, [this, &steps] {
      auto* dialog = qobject_cast<TCustomLUF*>(QApplication::activeModalWidget());
      if (dialog == nullptr) {
        ADD_FAILURE() << "no lookup dialog open";
        return;
      }
      EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
      steps(*dialog);
      if (dialog->isVisible()) {
        stillOpen = true;
        dialog->done(QDialog::Rejected);
      }
    });
    return ui::RunLookup(request);
  }

  // A key to the focused control, as the user types it.
  static void Key(TCustomLUF& d, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &d, key, mods);
  }

  // Typed character by character (QTest's own typing knows only ASCII).
  static void TypeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
      QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
  }

  static std::vector<std::string> SortEntries(TCustomLUF& d) {
    std::vector<std::string> out;
    for (int i = 0; i < d.SortBox()->count(); ++i) out.push_back(ui::FromQString(d.SortBox()->itemText(i)));
    return out;
  }

  bool stillOpen = false;
};

TEST_F(LookupDialog, TheUnitLookupSendsItsStatementsAndSearchesByTheSortBox) {
  TCustomLUF d(UnitRequest());
  d.Prepare();
  EXPECT_EQ(d.Query().SQLText(),
            "select c1.* from UORG c1  where  (toner_uid='maria') and (TON=1)  order by  ID");
  EXPECT_EQ(d.Query().RecordCount(), 2);
  EXPECT_EQ(ui::FromQString(d.windowTitle()), "Τμήμα/Διεύθυνση"_gr);
  EXPECT_EQ(SortEntries(d), (std::vector<std::string>{"ΚΩΔ"_gr, "NAME", "LOCID", "AD_GROUP"}));
  EXPECT_EQ(ui::FromQString(d.SortBox()->currentText()), "ΚΩΔ"_gr);
  EXPECT_EQ(d.Query().zKeyTAB(), "UORG");
  EXPECT_EQ(d.Query().zKeyF(), "ID");
  EXPECT_FALSE(d.FieldList()->isVisible());
  EXPECT_EQ(d.FieldList()->rowCount(), 4);

  d.FilterBox()->setText("0.04.02");
  d.SearchButton()->click();
  EXPECT_EQ(d.Query().SQLText(),
            "select c1.* from UORG c1  where  (toner_uid='maria') and (TON=1)  AND  (ID = '0.04.02') order by  ID");
  EXPECT_EQ(d.Query().RecordCount(), 1);

  // Changing the sort box searches again on the new field.
  d.FilterBox()->setText(ui::ToQString("Τμήμα Φ/"_gr));
  d.SortBox()->setCurrentIndex(1);
  EXPECT_EQ(d.Query().SQLText(), "select c1.* from UORG c1  where  (toner_uid='maria') and (TON=1)  AND  (NAME LIKE '%" +
                                     "Τμήμα Φ"_gr + "%') order by  NAME");
  EXPECT_EQ(data::FieldStr(d.Query(), "ID"), "0.04.02");
  EXPECT_EQ(d.SortBox()->currentIndex(), 1) << "the refilled sort box keeps its place";
  EXPECT_TRUE(presenter_.AllShown().empty());
}

TEST_F(LookupDialog, EnterInTheFilterBoxSearchesAndEnterInTheGridChooses) {
  const std::string chosen = Drive(UnitRequest(), [](TCustomLUF& d) {
    test::Screenshot(&d, "lookup_uorg");
    d.FilterBox()->setFocus();
    QTest::keyClicks(d.FilterBox(), "0.02=");
    Key(d, Qt::Key_Return);
    EXPECT_EQ(d.Query().RecordCount(), 1);
    EXPECT_EQ(QApplication::focusWidget(), d.Grid()->View());
    d.FilterBox()->setFocus();
    d.FilterBox()->clear();
    Key(d, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(d.Query().RecordCount(), 2) << "an empty filter box adds no condition";
    ASSERT_EQ(QApplication::focusWidget(), d.Grid()->View());
    Key(d, Qt::Key_PageDown, Qt::ControlModifier);
    Key(d, Qt::Key_Return);
  });
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(chosen, "0.04.02");
}

TEST_F(LookupDialog, ADoubleClickChoosesTheRowClicked) {
  const std::string chosen = Drive(UnitRequest(), [](TCustomLUF& d) {
    QTableView* view = d.Grid()->View();
    const QPoint second = view->visualRect(d.Grid()->Model()->index(1, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second);
  });
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(chosen, "0.04.02");
}

TEST_F(LookupDialog, PrintersPositionOnTheInitialValueAndF10ChoosesIt) {
  base::LookupRequest r;
  r.table = "UPV_PRINTERS";
  r.visibleFields = "ID;SN;NAME:Τμήμα"_gr;
  r.orderField = "SN";
  r.initialValue = "P003";
  const std::string chosen = Drive(r, [](TCustomLUF& d) {
    EXPECT_EQ(d.Query().SQLText(), "select c1.* from UPV_PRINTERS c1  where 1=1  order by  SN");
    EXPECT_EQ(SortEntries(d), (std::vector<std::string>{"ΚΩΔ"_gr, "SN", "Τμήμα"_gr}));
    EXPECT_GT(d.Query().RecordCount(), 10);
    EXPECT_EQ(data::FieldStr(d.Query(), "ID"), "P003");
    EXPECT_FALSE(d.Query().FieldByName("MODELID").Visible());
    test::Screenshot(&d, "lookup_printers");
    Key(d, Qt::Key_F10);
  });
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(chosen, "P003");

  r.initialValue = "P001";
  EXPECT_EQ(Drive(r, [](TCustomLUF& d) { Key(d, Qt::Key_Escape); }), "P001");
  EXPECT_FALSE(stillOpen);
}

TEST_F(LookupDialog, F5ShowsTheCurrentCellInTheMemoViewer) {
  std::string viewed, caption;
  Drive(UnitRequest(), [&](TCustomLUF& d) {
    d.Grid()->View()->setFocus();
    QTimer::singleShot(0, [&] {
      auto* viewer = dynamic_cast<ui::MemoViewer*>(QApplication::activeModalWidget());
      if (viewer == nullptr) return;
      caption = ui::FromQString(viewer->windowTitle());
      viewed = ui::FromQString(viewer->Memo()->toPlainText());
      viewer->accept();
    });
    Key(d, Qt::Key_F5);
    Key(d, Qt::Key_Escape);
  });
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(caption, "ΚΩΔ"_gr);
  EXPECT_EQ(viewed, "0.02.02");
}

TEST_F(LookupDialog, AnEditPostedInTheLookupIsInTheTableForAnotherConnection) {
  const std::string chosen = Drive(UnitRequest(), [](TCustomLUF& d) {
    // The name typed into its cell.
    QTableView* view = d.Grid()->View();
    ASSERT_EQ(ui::FromQString(d.Grid()->Model()->headerData(1, Qt::Horizontal).toString()), "NAME");
    view->setFocus();
    view->setCurrentIndex(d.Grid()->Model()->index(0, 1));
    view->edit(view->currentIndex());
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, view);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    TypeText(editor, ui::ToQString("Γραμματεία, νέο όνομα"_gr));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(d.isVisible()) << "Enter in the cell's editor ends the edit and chooses nothing";
    EXPECT_EQ(d.Query().State(), data::dsEdit);
    EXPECT_EQ(d.Panel()->palette().color(QPalette::Window), QColor::fromRgb(data::kColourRed));
    test::Screenshot(&d, "lookup_uorg_editing");
    d.NavButton(TCustomLUF::Nav::Post)->click();
    EXPECT_EQ(d.Query().State(), data::dsBrowse);
    EXPECT_EQ(d.Panel()->palette().color(QPalette::Window), QColor::fromRgb(data::kColourCyan));
    Key(d, Qt::Key_Escape);
  });
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(chosen, "");
  auto other = test::LoginOwnSocket(server_.Port());
  auto q = Query("select NAME from UORG where ID='0.02.02'");
  q->SetLinkClientSocket(other.get());
  q->Open();
  EXPECT_EQ(q->Fields(0).AsString(), "Γραμματεία, νέο όνομα"_gr);
}

TEST_F(LookupDialog, ALookupOpenedToChooseChangesNothing) {
  base::LookupRequest request = UnitRequest();
  request.readOnly = true;
  TCustomLUF d(request);
  d.Prepare();
  ASSERT_EQ(d.Query().RecordCount(), 2);
  const QModelIndex name = d.Grid()->Model()->index(0, 1);
  EXPECT_FALSE(d.Grid()->Model()->flags(name) & Qt::ItemIsEditable);
  for (auto nav : {TCustomLUF::Nav::Insert, TCustomLUF::Nav::Delete, TCustomLUF::Nav::Edit}) {
    EXPECT_FALSE(d.NavButton(nav)->isEnabled());
  }
  EXPECT_THROW(d.Query().Edit(), std::exception);
  EXPECT_EQ(d.Query().State(), data::dsBrowse);
}

TEST_F(LookupDialog, EscDropsAPendingEditFirstAndF10PostsItBeforeChoosing) {
  std::string chosen = Drive(UnitRequest(), [](TCustomLUF& d) {
    d.Query().Edit();
    d.Query().FieldByName("NAME").SetAsString("dropped");
    Key(d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Query().State(), data::dsBrowse);
    EXPECT_EQ(data::FieldStr(d.Query(), "NAME"), "Τμήμα Γραμματείας"_gr);
    Key(d, Qt::Key_Escape);
  });
  EXPECT_EQ(chosen, "");
  EXPECT_EQ(Select1("select NAME from UORG where ID='0.02.02'"), "Τμήμα Γραμματείας"_gr);

  chosen = Drive(UnitRequest(), [](TCustomLUF& d) {
    d.Query().Next();
    d.Query().Edit();
    d.Query().FieldByName("LOCID").SetAsString("NEW-LOC");
    Key(d, Qt::Key_F10);
  });
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(chosen, "0.04.02");
  EXPECT_EQ(Select1("select LOCID from UORG where ID='0.04.02'"), "NEW-LOC");
  EXPECT_TRUE(presenter_.AllShown().empty());
}

TEST_F(LookupDialog, AFailedPostKeepsTheDialogOpenAndChoosesNothing) {
  base::LookupRequest r = UnitRequest();
  r.initialValue = "0.02.02";
  const std::string chosen = Drive(r, [](TCustomLUF& d) {
    d.Query().Edit();
    // The key of another unit: the table refuses it.
    d.Query().FieldByName("ID").SetAsString("0.01");
    Key(d, Qt::Key_F10);
    EXPECT_TRUE(d.isVisible());
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(chosen, "0.02.02");
  ASSERT_EQ(presenter_.AllShown().size(), 1u);
  EXPECT_NE(presenter_.AllShown()[0].text.find("ORA-00001"), std::string::npos) << presenter_.AllShown()[0].text;
  EXPECT_EQ(Select1("select count(*) from UORG where ID='0.02.02'"), "1");
}

TEST_F(LookupDialog, WithNoRowsNothingIsChosenAndTheCallersValueStays) {
  base::LookupRequest r = UnitRequest(" (1=2) ");
  r.initialValue = "0.01";
  const std::string chosen = Drive(r, [](TCustomLUF& d) {
    EXPECT_EQ(d.Query().RecordCount(), 0);
    Key(d, Qt::Key_F10);
    EXPECT_TRUE(d.isVisible());
    d.Grid()->View()->setFocus();
    Key(d, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    Key(d, Qt::Key_Escape);
  });
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(chosen, "0.01");
}

TEST_F(LookupDialog, ABadTableIsReportedAndTheDialogStaysEmpty) {
  base::LookupRequest r;
  r.table = "NO_SUCH_TABLE";
  const std::string chosen = Drive(r, [](TCustomLUF& d) {
    EXPECT_FALSE(d.Query().Active());
    Key(d, Qt::Key_F10);
    Key(d, Qt::Key_Escape);
  });
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(chosen, "");
  ASSERT_EQ(presenter_.AllShown().size(), 1u);
  EXPECT_NE(presenter_.AllShown()[0].text.find("ORA-00942"), std::string::npos) << presenter_.AllShown()[0].text;
  EXPECT_EQ(shownSQL, std::vector<std::string>{"select c1.* from NO_SUCH_TABLE c1  where 1=2"});
}

}  // namespace
