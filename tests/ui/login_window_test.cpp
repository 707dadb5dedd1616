// The socket's own login window: its rules, the login it leads to, and the
// Qt dialog on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "link/client/client_socket.h"
#include "link/client/client_windows.h"
#include "link/client/login_window_logic.h"
#include "link/client/peer_session.h"
#include "support/scripted_presenter.h"
#include "ui/link_windows.h"
#include "ui/login_dialog.h"

using namespace mero;
using namespace mero::base::literals;
using Step = link::TLinkLoginWindowLogic::Step;
using test::ConnectedSocket;
using test::ProcessUntil;
using test::ScriptedPeer;

namespace {

TEST(LoginWindowLogic, ThreeCancelsEndTheProgramAndTheCancelPairCounts) {
  struct Answer {
    bool ok;
    const char* user;
    const char* password;
    Step step;
  };
  const std::vector<std::vector<Answer>> sequences = {
      {{true, "maria", "maria", Step::Login}},
      {{false, "", "", Step::AskExit}, {false, "", "", Step::AskExit}, {false, "", "", Step::Terminate}},
      {{true, "cancel", " Cancel ", Step::AskExit}, {true, "maria", "maria", Step::Login}},
      {{true, "CANCEL", "other", Step::Login}},
      {{false, "", "", Step::AskExit}, {true, "CANCEL", "CANCEL", Step::AskExit}, {false, "", "", Step::Terminate}},
  };
  for (std::size_t s = 0; s < sequences.size(); ++s) {
    link::TLinkLoginWindowLogic logic;
    for (std::size_t i = 0; i < sequences[s].size(); ++i) {
      const Answer& a = sequences[s][i];
      EXPECT_EQ(logic.Answer(a.ok, a.user, a.password), a.step) << "sequence " << s << " answer " << i;
    }
  }
}

// A login window that answers from a script and records what it was shown.
class ScriptedWindows : public link::LinkClientWindows {
 public:
  struct Answer {
    bool ok;
    std::string user;
    std::string password;
  };
  explicit ScriptedWindows(std::deque<Answer> answers) : answers_(std::move(answers)) {
    link::SetLinkClientWindows(this);
  }
  ~ScriptedWindows() override {
    link::SetLinkClientWindows(nullptr);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted window answer(s) never used";
  }
  ScriptedWindows(const ScriptedWindows&) = delete;
  ScriptedWindows& operator=(const ScriptedWindows&) = delete;

  bool AskLogin(std::string& user, std::string& password) override {
    shown.push_back(user + "/" + password);
    if (answers_.empty()) return false;
    const Answer a = answers_.front();
    answers_.pop_front();
    user = a.user;
    password = a.password;
    return a.ok;
  }
  void ShowUpgradeProgress(bool) override {}
  void SetWaitCursor(link::TWaitingCursor) override {}
  void RestoreCursor() override {}

  std::vector<std::string> shown;

 private:
  std::deque<Answer> answers_;
};

TEST(LoginWindow, TheWindowsAnswersDecideTheLogin) {
  using base::ModalResult;
  const std::string ask = link::TLinkLoginWindowLogic::kAskExitText;
  const std::string three = link::TLinkLoginWindowLogic::kThreeCancelsText;
  struct Case {
    const char* name;
    std::deque<ScriptedWindows::Answer> windows;
    std::vector<ModalResult> questions;  // the answers to "would you like to Exit"
    std::optional<std::string> login;    // user/password the server receives
    std::vector<std::string> messages;
    std::vector<int> terminations;
  };
  const std::vector<Case> cases = {
      {"OK", {{true, "nikos", "secret"}}, {}, "nikos/secret", {}, {}},
      {"cancel, stay, OK", {{false, "", ""}, {true, "u", "p"}}, {ModalResult::Cancel}, "u/p", {ask}, {}},
      {"cancel, exit", {{false, "", ""}}, {ModalResult::OK}, std::nullopt, {ask}, {0}},
      {"three cancels",
       {{false, "", ""}, {false, "", ""}, {false, "", ""}},
       {ModalResult::Cancel, ModalResult::Cancel},
       std::nullopt,
       {ask, ask, three},
       {0}},
      {"the cancel pair", {{true, "CANCEL", "CANCEL"}, {true, "u", "p"}}, {ModalResult::Cancel}, "u/p", {ask}, {}},
  };
  for (const Case& c : cases) {
    test::AppHooksRecorder hooks;
    test::ScriptedPresenter presenter;
    for (ModalResult r : c.questions) presenter.SetNextAnswer(r);
    ScriptedWindows windows(c.windows);
    std::mutex mutex;
    std::optional<std::string> received;
    std::atomic<bool> peerDone{false};
    {
      ScriptedPeer peer([&](ScriptedPeer& p) {
        auto connection = p.Accept();
        try {
          const link::TLinkStringLine login = connection->AnswerLogin(true);
          std::lock_guard lock(mutex);
          received = std::string(login.Field(2)) + "/" + std::string(login.Field(3));
        } catch (const std::exception&) {
          // No login: the client closed without one.
        }
        peerDone = true;
      });
      test::SocketSetup setup;
      setup.user = "MARIA";
      setup.password = "maria";
      setup.args = {"Login"};
      ConnectedSocket client(peer.Port(), setup);
      client.socket.Loaded();
      EXPECT_EQ(client.socket.AutoLoginDlg(), link::ltLoginDlg) << c.name;
      if (c.login) {
        ASSERT_TRUE(ProcessUntil([&] { return client.verdict.has_value(); })) << c.name;
        EXPECT_EQ(client.socket.UserName() + "/" + client.socket.Password(), *c.login) << c.name;
      } else {
        ASSERT_TRUE(ProcessUntil([&] { return !hooks.Terminations().empty(); })) << c.name;
      }
      client.socket.Close();
      ASSERT_TRUE(ProcessUntil([&] { return peerDone.load(); })) << c.name;
    }
    std::lock_guard lock(mutex);
    EXPECT_EQ(received, c.login) << c.name;
    EXPECT_EQ(presenter.Texts(), c.messages) << c.name;
    EXPECT_EQ(hooks.Terminations(), c.terminations) << c.name;
    ASSERT_FALSE(windows.shown.empty()) << c.name;
    EXPECT_EQ(windows.shown[0], "MARIA/maria") << c.name << ": the window opens with the socket's texts";
  }
}

TEST(LoginDialog, LooksAsTheSocketAsksAndEnterMovesOn) {
  ui::LoginDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Login Dialog");
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("Please Login"));
  EXPECT_TRUE(labels.contains("User Name"));
  EXPECT_TRUE(labels.contains("Password"));
  EXPECT_EQ(dialog.OkButton()->text(), "OK");
  EXPECT_EQ(dialog.CancelButton()->text(), "Cancel");
  EXPECT_EQ(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(
      dialog.PasswordEdit()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, dialog.PasswordEdit()),
      '*');

  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.UserEdit()->setFocus();
  QTest::keyClicks(dialog.UserEdit(), "maria");
  QTest::keyClick(dialog.UserEdit(), Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible()) << "Enter in the user name does not close the window";
  EXPECT_TRUE(dialog.PasswordEdit()->hasFocus());
  QTest::keyClicks(dialog.PasswordEdit(), "pw");
  QTest::keyClick(dialog.PasswordEdit(), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.User(), "maria");
  EXPECT_EQ(dialog.Password(), "pw");
  // The texts are the system's code page.
  dialog.UserEdit()->setText(QString::fromUtf8("Μαρία"));
  EXPECT_EQ(dialog.User(), "Μαρία"_gr);
}

TEST(LoginDialog, TheQtWindowsAskWithTheDialogAndShowUpgradeProgress) {
  ui::QtLinkClientWindows windows;
  for (const bool ok : {true, false}) {
    QTimer::singleShot(0, [ok] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      auto* login = static_cast<ui::LoginDialog*>(dialog);
      EXPECT_EQ(login->User(), "ΝΙΚΟΣ"_gr);
      login->PasswordEdit()->setText("typed");
      (ok ? login->OkButton() : login->CancelButton())->click();
    });
    std::string user = "ΝΙΚΟΣ"_gr;
    std::string password = "old";
    EXPECT_EQ(windows.AskLogin(user, password), ok);
    EXPECT_EQ(password, ok ? "typed" : "old");
  }
  windows.ShowUpgradeProgress(true);
  ASSERT_NE(windows.UpgradeProgress(), nullptr);
  EXPECT_TRUE(windows.UpgradeProgress()->isVisible());
  EXPECT_EQ(windows.UpgradeProgress()->labelText(), ui::QtLinkClientWindows::kUpgradeText);
  windows.ShowUpgradeProgress(false);
  EXPECT_EQ(windows.UpgradeProgress(), nullptr);
}

}  // namespace
