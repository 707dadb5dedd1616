#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/application_startup.h"
#include "app/connection_context.h"
#include "app/domain_windows.h"
#include "app/stop_signals.h"
#include "app/window_print.h"
#include "base/encoding.h"
#include "base/format_settings.h"
#include "base/messages.h"
#include "base/runtime.h"
#include "data/remote/query_utils.h"
#include "data/remote/table_cache.h"
#include "support/current_directory.h"
#include "support/login_helper.h"
#include "support/scripted_presenter.h"
#include "support/screenshot.h"
#include "support/server_process.h"
#include "support/temp_dir.h"
#include "ui/lookup_logic.h"
#include "ui/work_windows.h"
#include "ui/qt_text.h"
#include "ui/user_login_dialog.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

std::string Text(const QString& text) { return ui::FromQString(text); }

// Processes events until the condition holds, at most about ten seconds.
template <typename Condition>
bool Within(Condition condition) {
  QElapsedTimer timer;
  timer.start();
  while (!condition() && timer.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return condition();
}

class MainWindow : public test::ClientTest {
 protected:
  void SetUp() override {
    test::ClientTest::SetUp();
    const char* config = std::getenv("XDG_CONFIG_HOME");
    oldConfig_ = config != nullptr ? config : "";
    setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
    base::Rt().expImpOverride = dir_.File("export");
    base::RegisterBaseMessages();
    base::Rt().messTableExists = true;
    app::Ctx().AppName = "MERO";
  }
  void TearDown() override {
    ui::SetLookupKeepsFilterCase(false);
    if (oldConfig_.empty()) {
      unsetenv("XDG_CONFIG_HOME");
    } else {
      setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
    }
    test::ClientTest::TearDown();
  }

  test::TempDir dir_;
  std::string oldConfig_;
  app::DomainWindows windows_;
};

TEST_F(MainWindow, ButtonsActionsAndMenusByTheirTexts) {
  app::TMeroMainF w(windows_);
  EXPECT_EQ(Text(w.windowTitle()), "TALV Universal App");
  EXPECT_EQ(w.centralWidget()->size(), QSize(316, 202));
  const std::vector<std::pair<QPushButton*, std::string>> buttons = {
      {w.btnPrinter, "Printers/Toner"},
      {w.Button4, "Αποφάσεις XX"_gr},
      {w.kzPrintBut, "P"},
      {w.X1But, "X"},
      {w.btnUOrg, "Μονάδες"_gr},
      {w.btnDeliveryPoints, "Σημεία Παράδοσης Toner"_gr},
      {w.btnSymbD, "Αναλώσιμα Σύμβασης"_gr},
      {w.btnModels, "Μοντέλα Εκτυπωτών"_gr},
  };
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    EXPECT_EQ(Text(buttons[i].first->text()), buttons[i].second);
    // The tab order follows the table.
    if (i + 1 < buttons.size()) {
      EXPECT_EQ(buttons[i].first->nextInFocusChain(), buttons[i + 1].first) << i;
    }
  }
  EXPECT_TRUE(w.Button4->isHidden());
  EXPECT_TRUE(w.kzPrintBut->isHidden());
  EXPECT_TRUE(w.X1But->isHidden());
  EXPECT_TRUE(w.pnlDebug->isHidden());
  EXPECT_EQ(Text(w.DoEncrypt->text()), "DoEncrypt");
  EXPECT_EQ(Text(w.acEdStaff->text()), "Προσωπικό"_gr);
  EXPECT_EQ(Text(w.acEK_DIOT->text()), "Ιδιότητες Εκτάκτων"_gr);
  EXPECT_EQ(Text(w.acEK_SEM->text()), "Διάρκεια Εξαμήνων"_gr);
  EXPECT_EQ(Text(w.acEK_DEPT->text()), "Εξάμηνα Τμημάτων"_gr);

  std::vector<std::string> menus;
  std::vector<std::vector<std::string>> entries;
  for (QAction* menu : w.menuBar()->actions()) {
    menus.push_back(Text(menu->text()));
    std::vector<std::string>& list = entries.emplace_back();
    for (QAction* entry : menu->menu()->actions()) list.push_back(entry->isSeparator() ? "-" : Text(entry->text()));
  }
  EXPECT_EQ(menus, (std::vector<std::string>{"1", "Αρχεία"_gr, "Εκτυπώσεις"_gr, "Εργασίες"_gr, "Βοηθητικά"_gr}));
  EXPECT_EQ(entries[0], std::vector<std::string>{});
  EXPECT_EQ(entries[1], std::vector<std::string>{"Προσωπικό"_gr});
  EXPECT_EQ(entries[2], std::vector<std::string>{"Διάφορες Εκτυπώσεις"_gr});
  EXPECT_EQ(entries[3], (std::vector<std::string>{"-", "Σημεία Παράδοσης Toner"_gr, "Αναλώσιμα Σύμβασης"_gr,
                                                  "Μοντέλα Εκτυπωτών"_gr}));
  EXPECT_EQ(entries[4], (std::vector<std::string>{"Ενημέρωση Νέων Φορμών"_gr, "Αλλαγή Password"_gr, "-",
                                                  "Παράμετροι Εκτύπωσης"_gr}));
}

TEST_F(MainWindow, TheStartUpPreparesTheRunAndLeavesItsEndToTheMainWindow) {
  test::DirectoryScope here(dir_.Path());
  app::StartupWindows startup;
  ASSERT_TRUE(app::InitApplication(startup));
  EXPECT_TRUE(startup.work->isVisible());
  EXPECT_EQ(startup.work->x(), -1000);
  EXPECT_FALSE(startup.gauge->isVisible());
  // Closing the main window ends the program even though these stay.
  EXPECT_FALSE(startup.work->testAttribute(Qt::WA_QuitOnClose));
  EXPECT_FALSE(startup.gauge->testAttribute(Qt::WA_QuitOnClose));
  EXPECT_EQ(app::Ctx().AppName, "MERO");
  EXPECT_EQ(base::Rt().dateFmtMode, 3);
  EXPECT_EQ(base::Rt().debugLevel, 0);
  EXPECT_EQ(base::ProcessFormats().shortDateFormat, "dd/mm/yyyy");
  EXPECT_TRUE(data::QueryGlobals().keepDoubleQuotes);
  EXPECT_NE(data::MemCol(), nullptr);
  app::EndApplication();
}

TEST_F(MainWindow, IgnoresInputAndCloseUntilTheLoginHasRun) {
  app::TMeroMainF w(windows_, {"Port=1"});
  EXPECT_FALSE(w.btnPrinter->isEnabled());
  EXPECT_FALSE(w.menuBar()->isEnabled());
  EXPECT_FALSE(w.close());  // refused: the show handler has not run
}

TEST_F(MainWindow, TheLoginWindowEchoesHashesAndFocusesThePassword) {
  ui::TValidate_dbOF known("maria");
  EXPECT_EQ(Text(known.windowTitle()), "Συμπληρώστε τα στοιχεία σας"_gr);
  known.show();
  ASSERT_TRUE(Within([&] { return known.PasswordEdit()->hasFocus(); }));
  EXPECT_EQ(known.PasswordEdit()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter), '#');
  EXPECT_EQ(known.PasswordEdit()->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(known.OkButton()->isDefault());
  known.PasswordEdit()->setText("secret");
  test::Screenshot(&known, "login_window");
  ui::TValidate_dbOF unknown("");
  unknown.show();
  EXPECT_TRUE(Within([&] { return unknown.UserEdit()->hasFocus(); }));
}

// One real login serves the window's checks after it: the caption, the
// label, a button of a window to come, the print of the window and the stop
// signal.
TEST_F(MainWindow, MariaWorksInTheWindowUntilTheStopSignalClosesIt) {
  std::filesystem::create_directories(dir_.File("offered"));
  std::ofstream(dir_.File("offered/form.txt")) << "new form";
  test::ServerProcess::Options options;
  options.filesDir = dir_.File("offered");
  test::ServerProcess server(options);
  test::ScriptedPresenter presenter;
  presenter.AnswerLogin("maria", "maria");
  app::TMeroMainF w(windows_, {"Port=" + std::to_string(server.Port())});
  w.show();
  ASSERT_TRUE(Within([&] { return w.Logic().ShowHandled(); })) << server.Log();
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(Text(w.windowTitle()), "TALV Universal App (maria) 1,31");
  EXPECT_EQ(Text(w.VerLabel->text()), "V 1,31");
  EXPECT_TRUE(w.btnPrinter->isEnabled());
  EXPECT_TRUE(w.kzPrintBut->isHidden());
  test::Screenshot(&w, "main_window");

  w.btnUOrg->click();
  w.acPrModels->trigger();
  const std::string later = "Η εργασία αυτή θα είναι διαθέσιμη σε επόμενες εκδόσεις!"_gr;
  std::vector<std::string> texts = presenter.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1], later);
  EXPECT_EQ(texts[2], later);

  // No printer here: the picture goes to a PDF in the export folder.
  const std::string pdf = app::PrintWindowImage(&w);
  ASSERT_FALSE(pdf.empty());
  EXPECT_EQ(std::filesystem::path(pdf).parent_path(), std::filesystem::path(dir_.File("export")));
  std::ifstream in(pdf, std::ios::binary);
  std::string head(4, '\0');
  in.read(head.data(), 4);
  EXPECT_EQ(head, "%PDF");
  texts = presenter.Texts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_NE(texts[3].find(pdf), std::string::npos) << texts[3];

  // The hook: Ctrl+F8 held prints once, again after F8 is let go.
  auto pdfs = [this] {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File("export"))) n += entry.is_regular_file();
    return n;
  };
  ASSERT_EQ(pdfs(), 1);
  QApplication::setActiveWindow(&w);
  QTest::keyPress(w.btnPrinter, Qt::Key_F8, Qt::ControlModifier);
  QTest::keyPress(w.btnPrinter, Qt::Key_F8, Qt::ControlModifier);
  EXPECT_EQ(pdfs(), 2);
  QTest::keyRelease(w.btnPrinter, Qt::Key_F8, Qt::ControlModifier);
  QTest::keyPress(w.btnPrinter, Qt::Key_F8, Qt::ControlModifier);
  QTest::keyRelease(w.btnPrinter, Qt::Key_F8, Qt::ControlModifier);
  EXPECT_EQ(pdfs(), 3);
  EXPECT_EQ(presenter.Texts().size(), 6u);

  // "Ενημέρωση Νέων Φορμών" writes the offered file beside the program.
  std::filesystem::create_directories(dir_.File("program"));
  {
    test::DirectoryScope here(dir_.File("program"));
    w.DownLoadRecentFiles1->trigger();
  }
  std::ifstream form(dir_.File("program/form.txt"));
  std::string content;
  std::getline(form, content);
  EXPECT_EQ(content, "new form");
  EXPECT_EQ(presenter.Texts().size(), 6u);  // without a word

  app::OnStopSignals([&w] { w.close(); });
  std::raise(SIGTERM);
  EXPECT_TRUE(Within([&] { return !w.isVisible(); }));
  EXPECT_EQ(w.ExitStatus(), 0);
  EXPECT_TRUE(server.WaitForLog("MARIA: disconnected")) << server.Log();
}

TEST_F(MainWindow, ARefusedLoginClosesTheWindowWithStatus1) {
  test::ServerProcess server;
  test::ScriptedPresenter presenter;
  presenter.AnswerLogin("nikos", "wrong");
  app::TMeroMainF w(windows_, {"Port=" + std::to_string(server.Port())});
  w.show();
  EXPECT_TRUE(Within([&] { return w.Logic().ShowHandled() && !w.isVisible(); }));
  EXPECT_EQ(w.ExitStatus(), 1);
  EXPECT_EQ(Text(w.windowTitle()), "TALV Universal App");
}

}  // namespace
