// The requisition editor's window offscreen over the real server: a new
// requisition typed, saved, filled and finalised with the window's own
// controls, and a requisition in delivery with its colours.

#include "printers/requisition_editor_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "base/encoding.h"
#include "data/dataset_utils.h"
#include "data/field.h"
#include "printers/cell_colours.h"
#include "printers/requisition_editor.h"
#include "printers_fixture.h"
#include "support/screenshot.h"
#include "ui/data_grid.h"
#include "ui/db_check_box.h"
#include "ui/db_date_edit.h"
#include "ui/db_edit.h"
#include "ui/dialog_driving.h"
#include "ui/qt_text.h"

namespace mero::printers {
namespace {

using namespace base::literals;
using base::ModalResult;
namespace texts = editor_texts;

unsigned Rgb(const QWidget* w, QPalette::ColorRole role) { return w->palette().color(role).rgb() & 0xFFFFFFu; }

class RequisitionEditorWindow : public test::PrintersTest {
 protected:
  std::unique_ptr<RequisitionEditor> logic_;
  std::unique_ptr<TxInDeltioPF> window_;

  void TearDown() override {
    window_.reset();
    logic_.reset();
    test::PrintersTest::TearDown();
  }
  TxInDeltioPF& Show(EditorOpening opening) {
    logic_ = std::make_unique<RequisitionEditor>(std::move(opening));
    window_ = std::make_unique<TxInDeltioPF>(*logic_);
    EXPECT_TRUE(window_->Prepare());
    window_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    return *window_;
  }
  std::string Box(TxInDeltioPF& w, const char* field) {
    return ui::FromQString(w.findChild<QLineEdit*>(QString("ed") + field)->text());
  }
  int Column(TxInDeltioPF& w, const char* field) {
    const auto& columns = w.Grid()->Model()->Columns();
    for (std::size_t i = 0; i < columns.size(); ++i)
      if (columns[i].field->FieldName() == field) return static_cast<int>(i);
    return -1;
  }
};

TEST_F(RequisitionEditorWindow, ANewRequisitionTypedSavedFilledAndFinalised) {
  presenter_.AnswerLookup("0.02.02");
  presenter_.AnswerLookup("002");
  std::optional<EditorOpening> opening = PrepareRequisitionEditor(0, "2");
  ASSERT_TRUE(opening);
  TxInDeltioPF& w = Show(*opening);
  EXPECT_EQ(ui::FromQString(w.windowTitle()), "Δελτίο Παραγγελίας Toner"_gr);
  EXPECT_EQ(Rgb(w.NavPanel(), QPalette::Window), data::StateColour(data::dsInsert));
  EXPECT_EQ(ui::FromQString(w.UnitNameBox()->text()), "Τμήμα Γραμματείας"_gr);
  EXPECT_EQ(Rgb(w.UnitNameBox(), QPalette::Window), kNavy);
  EXPECT_EQ(Rgb(w.UnitNameBox(), QPalette::WindowText), kYellow);
  EXPECT_EQ(Box(w, "NODELT"), "12");
  EXPECT_EQ(Box(w, "ORGID"), "0.02.02");
  EXPECT_TRUE(w.findChild<QLineEdit*>("edORGID")->isReadOnly());
  EXPECT_FALSE(w.FinaliseButton()->isEnabled());
  EXPECT_TRUE(w.VoidBox()->isEnabled());
  EXPECT_FALSE(w.SuperUserPanel()->isVisible());
  EXPECT_EQ(w.LineCountBox()->text(), "0");
  EXPECT_EQ(ui::FromQString(w.AddButton()->toolTip()), "Νέο Αναλώσιμο από Printer"_gr);
  EXPECT_TRUE(w.Timer()->isActive());
  EXPECT_EQ(w.Timer()->interval(), 1000);

  w.DelivBox()->setFocus();
  test::TypeText(w.DelivBox(), QString::fromUtf8("Πρωτόκολλο, ισόγειο"));
  EXPECT_EQ(logic_->Header().FieldByName("DELIV_S").AsString(), "Πρωτόκολλο, ισόγειο"_gr);
  // Adding waits for the header to be saved.
  QTest::mouseClick(w.AddButton(), Qt::LeftButton);
  EXPECT_EQ(presenter_.Texts().back(), Gr(texts::kSaveFirst));
  QTest::mouseClick(w.PostButton(), Qt::LeftButton);
  const std::string id = std::to_string(logic_->CurrentId());
  EXPECT_EQ(OtherSelect("select DELIV_S from UP_DELT where ID=" + id), "Πρωτόκολλο, ισόγειο"_gr);
  EXPECT_EQ(Rgb(w.NavPanel(), QPalette::Window), data::StateColour(data::dsBrowse));
  EXPECT_TRUE(w.FinaliseButton()->isEnabled());
  EXPECT_FALSE(w.VoidBox()->isEnabled()) << "void only before the first save";
  EXPECT_FALSE(w.DelivBox()->isReadOnly());

  presenter_.AnswerLookup("P016");
  presenter_.AnswerLookup("201");
  QTest::mouseClick(w.AddButton(), Qt::LeftButton);
  EXPECT_EQ(w.LineCountBox()->text(), "2");
  EXPECT_EQ(w.Grid()->Model()->rowCount(), 2);
  EXPECT_EQ(Box(w, "VALTOT"), logic_->Header().FieldByName("VALTOT").AsString());
  QApplication::processEvents();
  test::Screenshot(&w, "requisition_editor");

  presenter_.SetNextAnswer(ModalResult::OK);  // over the limit
  QTest::mouseClick(w.FinaliseButton(), Qt::LeftButton);
  EXPECT_EQ(OtherSelect("select STATE from UP_DELT where ID=" + id), "2");
  EXPECT_EQ(Box(w, "STATE"), "2");
  EXPECT_FALSE(Box(w, "DTFIN").empty());
  EXPECT_FALSE(w.FinaliseButton()->isEnabled());
  EXPECT_TRUE(w.DelivBox()->isReadOnly());
  EXPECT_EQ(Box(w, "VORD1"), logic_->Budget().FieldByName("VORD1").AsString());
}

TEST_F(RequisitionEditorWindow, TheDeliveryStageColoursRefusesDeletionsAndMarksAllAsDelivered) {
  TxInDeltioPF& w = Show({2, "2", {}, {}});
  const int col = Column(w, "QTYDEL");
  ASSERT_GE(col, 0);
  QApplication::processEvents();
  const auto colour = [&](int row) {
    return w.Grid()->Model()->data(w.Grid()->Model()->index(row, col), Qt::BackgroundRole).value<QColor>().rgb() &
           0xFFFFFFu;
  };
  EXPECT_EQ(colour(0), kLime);
  EXPECT_EQ(colour(2), kGrey);
  EXPECT_FALSE(w.Grid()->Model()->flags(w.Grid()->Model()->index(0, Column(w, "QTY"))) & Qt::ItemIsEditable);
  EXPECT_TRUE(w.Grid()->Model()->flags(w.Grid()->Model()->index(0, col)) & Qt::ItemIsEditable);
  EXPECT_TRUE(w.findChild<ui::TDBDTEdit*>("edDTARRIVED")->isReadOnly());
  EXPECT_FALSE(w.findChild<ui::TDBDTEdit*>("edDTCLOSED")->isReadOnly());
  test::Screenshot(&w, "requisition_editor_delivery");

  // Ctrl+Del asks, then the stage refuses with a beep.
  presenter_.SetNextAnswer(ModalResult::OK);
  w.Grid()->View()->setFocus();
  QTest::keyClick(w.Grid()->View(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(OtherSelect("select count(*) from UP_DELTD where MID=2"), "4");
  EXPECT_EQ(w.LineCountBox()->text(), "4");

  EXPECT_EQ(ui::FromQString(w.MarkAllAction()->text()), "Μαρκάρισμα όλων ως παραδοθέντων"_gr);
  presenter_.SetNextAnswer(ModalResult::OK);
  w.MarkAllAction()->trigger();
  EXPECT_EQ(OtherSelect("select QTYDELIV from UP_DELT where ID=2"), "4");
  EXPECT_EQ(Box(w, "QTYDELIV"), "4");
  QApplication::processEvents();
  EXPECT_EQ(colour(2), kLime);
}

TEST_F(RequisitionEditorWindow, F10PostsTheHeaderAndASuperUserSeesThePanel) {
  LoginAs("ADMIN", "admin");
  TxInDeltioPF& w = Show({4, "2", {}, {}});
  EXPECT_TRUE(w.SuperUserPanel()->isVisible());
  EXPECT_FALSE(w.findChild<ui::TDBDTEdit*>("edDTARRIVED")->isReadOnly());
  w.DelivBox()->setFocus();
  w.DelivBox()->selectAll();
  QTest::keyClicks(w.DelivBox(), "Reception, ground floor");
  EXPECT_EQ(Rgb(w.NavPanel(), QPalette::Window), data::StateColour(data::dsEdit));
  QTest::keyClick(w.DelivBox(), Qt::Key_F10);
  EXPECT_EQ(OtherSelect("select DELIV_S from UP_DELT where ID=4"), "Reception, ground floor");
  EXPECT_TRUE(w.isVisible()) << "F10 posted; it did not close the window";
}

TEST_F(RequisitionEditorWindow, OpeningReturnsTheIdAndARequisitionThatIsGoneOpensNoWindow) {
  EXPECT_EQ(OpenRequisitionEditor(999, "2"), 999);
  EXPECT_EQ(presenter_.Texts().back(), Gr(texts::kGone));
  bool seen = false;
  test::ModalSteps<TxInDeltioPF> steps([&](TxInDeltioPF& w) {
    seen = true;
    EXPECT_EQ(w.Logic().CurrentId(), 4);
    w.done(QDialog::Accepted);
  });
  EXPECT_EQ(OpenRequisitionEditor(4, "2"), 4);
  EXPECT_TRUE(seen);
  presenter_.CancelLookup();  // the unit
  EXPECT_EQ(OpenRequisitionEditor(0, "2"), 0);
}

}  // namespace
}  // namespace mero::printers
