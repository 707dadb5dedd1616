// The printer menu offscreen against the demo data: who may order, the
// printers windows it opens and the buttons whose windows come later.

#include "printers/printer_menu.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/messages.h"
#include "data/remote/application_dataset.h"
#include "printers/printer_menu_window.h"
#include "printers/reference_registers_window.h"
#include "printers/requirement_view_window.h"
#include "ui/data_grid.h"
#include "printers/printers_list_window.h"
#include "printers/requisition_register_window.h"
#include "printers_fixture.h"
#include "support/screenshot.h"
#include "ui/dialog_driving.h"
#include "ui/qt_text.h"
#include "ui/value_combo.h"

namespace mero::printers {
namespace {

using namespace base::literals;

class PrinterMenuWindow : public test::PrintersTest {
 protected:
  // The register's editor: never reached from the menu's own buttons.
  RequisitionEditorOpener Editor() {
    return [this](int id, const std::string&) {
      ++editorCalls;
      return id;
    };
  }
  int editorCalls = 0;
};

TEST_F(PrinterMenuWindow, HasItsSevenButtonsTopToBottom) {
  TPrintersMF menu(Editor());
  menu.show();
  EXPECT_EQ(menu.windowTitle(), ui::ToQString("Μενού Printers"_gr));
  const std::vector<std::string> captions = {
      "Παραγγελία Toner+"_gr,   "Οι Printers μου"_gr,    "Printers που διαχειρίζομαι"_gr, "Σημεία Παράδοσης Toner"_gr,
      "Αιτηθέντα Αναλώσιμα"_gr, "Αναλώσιμα Σύμβασης"_gr, "Μοντέλα Εκτυπωτών"_gr};
  ASSERT_EQ(menu.Buttons().size(), captions.size());
  for (std::size_t i = 0; i < captions.size(); ++i) {
    EXPECT_EQ(ui::FromQString(menu.Buttons()[i]->text()), captions[i]);
    if (i > 0) {
      EXPECT_GT(menu.Buttons()[i]->y(), menu.Buttons()[i - 1]->y()) << i;
    }
  }
  test::Screenshot(&menu, "printer_menu");

  menu.done(QDialog::Rejected);
}

TEST_F(PrinterMenuWindow, TheLastFourButtonsOpenTheRegistersAndTheRequestedConsumablesOfAUnit) {
  TPrintersMF menu(Editor());
  menu.show();
  const auto closes = [](auto& window) { window.done(QDialog::Rejected); };
  {
    test::ModalSteps<TUDelPF> steps(closes);
    menu.btnDeliveryPoints->click();
    EXPECT_TRUE(steps.Ran());
  }
  {
    test::ModalSteps<TxFSymbDF> steps(closes);
    menu.btnContractConsumables->click();
    EXPECT_TRUE(steps.Ran());
  }
  {
    test::ModalSteps<TxPrModelsF> steps(closes);
    menu.btnModels->click();
    EXPECT_TRUE(steps.Ran());
  }
  // The requested consumables ask for the unit first; a cancel opens nothing.
  presenter_.CancelLookup();
  menu.btnRequested->click();
  presenter_.AnswerLookup("0.04.02");
  test::ModalSteps<TxConsReqF> steps([](TxConsReqF& window) {
    EXPECT_EQ(window.windowTitle(), ui::ToQString("Αναλώσιμα"_gr));
    EXPECT_GT(window.Grid()->DataSet()->RecordCount(), 0);
    window.done(QDialog::Rejected);
  });
  menu.btnRequested->click();
  EXPECT_TRUE(steps.Ran());
  ASSERT_EQ(presenter_.AllShown().size(), 2u);
  EXPECT_EQ(presenter_.AllShown()[1].lookup.table, "UORG");
  menu.done(QDialog::Rejected);
}

TEST_F(PrinterMenuWindow, TheTonerResponsibleOrdersThroughTheRegister) {
  TPrintersMF menu(Editor());
  menu.show();
  EXPECT_EQ(PrinterMenu::OrderRefusal(), "");
  test::ModalSteps<TxFDeltioPF> steps([](TxFDeltioPF& window) {
    EXPECT_EQ(window.OrdererBox->text(), "maria");
    EXPECT_EQ(window.Logic().RowCount(), 9);
    window.done(QDialog::Rejected);
  });
  menu.btnOrder->click();
  EXPECT_TRUE(steps.Ran());
  EXPECT_TRUE(presenter_.Texts().empty());
  EXPECT_EQ(editorCalls, 0);
  menu.done(QDialog::Rejected);
}

TEST_F(PrinterMenuWindow, AUserWhoMayNotOrderIsToldWhyAndNoRegisterOpens) {
  LoginAs("NIKOS", "nikos");
  TPrintersMF menu(Editor());
  menu.show();
  // Should a register open, it is closed and counted.
  int opened = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&opened] {
    if (auto* w = qobject_cast<TxFDeltioPF*>(QApplication::activeModalWidget())) {
      ++opened;
      w->done(QDialog::Rejected);
    }
  });
  closer.start(0);
  menu.btnOrder->click();
  closer.stop();
  EXPECT_EQ(opened, 0);
  const std::string why = OtherSelect("select F_UP_ALLOW_Deltio ('nikos') from DUAL ");
  EXPECT_EQ(why, "Δεν είστε υπεύθυνος toner σε μονάδα που δέχεται παραγγελίες."_gr);
  EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{why});
  menu.done(QDialog::Rejected);
}

TEST_F(PrinterMenuWindow, MyPrintersAreThoseWhoseUserIAmAndManagedOnesGoByUnit) {
  LoginAs("NIKOS", "nikos");
  TPrintersMF menu(Editor());
  menu.show();
  const std::string count = OtherSelect("select count(*) from UP_PRINTERS where USERPID='nikos'");
  ASSERT_EQ(count, "4");
  test::ModalSteps<TPrinters1F> mine([&count](TPrinters1F& window) {
    EXPECT_EQ(window.UserBox->text(), "nikos");
    EXPECT_EQ(window.OrdererBox->text(), "");
    EXPECT_FALSE(window.Logic().ByUnit());
    EXPECT_EQ(window.CountBox->text().toStdString(), count);
    data::TKZLINK& printers = window.Logic().Printers();
    for (printers.First(); !printers.Eof(); printers.Next())
      EXPECT_EQ(printers.FieldByName("USERPID").AsString(), "nikos");
    window.done(QDialog::Rejected);
  });
  menu.btnMyPrinters->click();
  EXPECT_TRUE(mine.Ran());

  test::ModalSteps<TPrinters1F> managed([](TPrinters1F& window) {
    EXPECT_TRUE(window.Logic().ByUnit());
    EXPECT_EQ(window.UnitBox->count(), 0);
    EXPECT_EQ(window.CountBox->text(), "0");
    window.done(QDialog::Rejected);
  });
  menu.btnManagedPrinters->click();
  EXPECT_TRUE(managed.Ran());
  EXPECT_TRUE(presenter_.Texts().empty());
  menu.done(QDialog::Rejected);
}

}  // namespace
}  // namespace mero::printers
