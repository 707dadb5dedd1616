// The message window: its rules of mess.txt, and the window itself by kind
// on the offscreen platform.

#include "ui/message_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/exception.h"
#include "base/runtime.h"
#include "support/login_helper.h"
#include "support/screenshot.h"
#include "support/scripted_presenter.h"
#include "support/temp_dir.h"
#include "ui/message_window_logic.h"
#include "ui/qt_text.h"

using namespace mero;
using namespace mero::base::literals;
namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Lines(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "Γραμμή "_gr + std::to_string(i) + "\n";
  return text;
}

// Runs the window and acts on it once it is open; the action closes it. A
// window the action leaves open is closed after a while so that a failing
// test ends.
base::ModalResult RunWith(const std::string& text, int kind, int autoCloseMs, int fontIndex,
                          const std::function<void(ui::TzzErrorF&)>& act) {
  QTimer::singleShot(0, [&] {
    auto* window = qobject_cast<ui::TzzErrorF*>(QApplication::activeModalWidget());
    if (window == nullptr) {
      ADD_FAILURE() << "no message window open";
      return;
    }
    QTimer::singleShot(10000, window, [window] {
      ADD_FAILURE() << "the window stayed open";
      window->reject();
    });
    act(*window);
  });
  return ui::RunMessageWindow(text, kind, autoCloseMs, fontIndex);
}

template <typename T>
T* Child(ui::TzzErrorF& window, const char* name) {
  T* child = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

TEST(MessLines, SplitAtCrLf) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n", {"a"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(ui::MessLines(text), lines) << text;
}

// mess.txt lives in a folder of the user's own in TempDir.
class MessFile : public test::ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    base::Rt().tempDir = temp_.Path().string();
  }
  std::string Folder() const { return temp_.File("mero-" + std::to_string(::geteuid())); }

  test::TempDir temp_;
};

TEST_F(MessFile, WrittenAsWindows1253LinesInAFolderOnlyTheUserCanEnter) {
  const std::vector<std::string> lines = {"Γραμμή ένα"_gr, "", "δύο"_gr};
  const std::string path = ui::SaveMessLines(lines);
  EXPECT_EQ(path, Folder() + "/mess.txt");
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes, "Γραμμή ένα"_gr + "\r\n\r\n" + "δύο"_gr + "\r\n");
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xC3);  // Γ in windows-1253
  struct stat st {};
  ASSERT_EQ(::lstat(Folder().c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // Saved again, the file is replaced, and no temporary file is left.
  ui::SaveMessLines({"x"});
  EXPECT_EQ(ReadBytes(path), "x\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1);
}

TEST_F(MessFile, APlantedLinkIsReplacedNeverWrittenThrough) {
  ui::MessFolder();
  const std::string victim = temp_.File("victim.txt");
  std::ofstream(victim) << "keep me";
  fs::create_symlink(victim, Folder() + "/mess.txt");
  ui::SaveMessLines({"message"});
  EXPECT_EQ(ReadBytes(victim), "keep me");
  EXPECT_FALSE(fs::is_symlink(Folder() + "/mess.txt"));
  EXPECT_EQ(ReadBytes(Folder() + "/mess.txt"), "message\r\n");
}

TEST_F(MessFile, AFolderThatIsNotTheUsersOwnIsRefused) {
  const std::string elsewhere = temp_.File("elsewhere");
  fs::create_directory(elsewhere);
  const std::vector<std::pair<const char*, std::function<void()>>> plants = {
      {"a link to another folder", [&] { fs::create_directory_symlink(elsewhere, Folder()); }},
      {"a folder others can enter", [&] {
         fs::create_directory(Folder());
         fs::permissions(Folder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
       }},
      {"a file", [&] { std::ofstream(Folder()) << "x"; }},
  };
  for (const auto& [name, plant] : plants) {
    fs::remove_all(Folder());
    plant();
    EXPECT_THROW(ui::SaveMessLines({"secret"}), base::Exception) << name;
    EXPECT_FALSE(fs::exists(elsewhere + "/mess.txt")) << name;
  }
}

TEST(MessageWindow, CaptionButtonsAndSizeByKind) {
  struct Case {
    int kind;
    int lines;
    const char* caption;
    bool cancelShown;
    bool cancelDefault;
    int height;
    bool scrollBars;
  };
  const Case cases[] = {
      {1, 3, "Μήνυμα Lines=3", false, false, 120, false},
      {2, 3, "Ερώτηση Lines=3", true, false, 120, false},
      {3, 3, "Ερώτηση Lines=3", true, true, 120, false},
      {4, 3, "Πληροφορία Lines=3", false, false, 120, false},
      {1, 20, "Μήνυμα Lines=20", false, false, 380, false},
      {2, 21, "Ερώτηση Lines=21", true, false, 396, true},
      {3, 25, "Ερώτηση Lines=25", true, true, 400, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind) + ", " + std::to_string(c.lines) + " lines");
    const base::ModalResult result = RunWith(Lines(c.lines), c.kind, 0, -1, [&](ui::TzzErrorF& w) {
      auto* memo = Child<QPlainTextEdit>(w, "M1");
      auto* ok = Child<QPushButton>(w, "OKBtn");
      auto* cancel = Child<QPushButton>(w, "CancelBtn");
      if (memo == nullptr || ok == nullptr || cancel == nullptr) return w.reject();
      EXPECT_EQ(ui::FromQString(w.windowTitle()), base::Utf8ToWin1253(c.caption));
      EXPECT_EQ(w.width(), 582);
      EXPECT_EQ(w.height(), c.height);
      EXPECT_EQ(memo->blockCount(), c.lines);
      const Qt::ScrollBarPolicy bars = c.scrollBars ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
      EXPECT_EQ(memo->verticalScrollBarPolicy(), bars);
      EXPECT_EQ(memo->horizontalScrollBarPolicy(), bars);
      EXPECT_EQ(ok->text(), ui::ToQString("ΟΚ"_gr));
      EXPECT_EQ(cancel->text(), ui::ToQString("Άκυρο"_gr));
      EXPECT_TRUE(ok->isVisible());
      EXPECT_EQ(cancel->isVisible(), c.cancelShown);
      QPushButton* chosen = c.cancelDefault ? cancel : ok;
      EXPECT_TRUE(chosen->isDefault());
      EXPECT_FALSE((c.cancelDefault ? ok : cancel)->isDefault());
      EXPECT_EQ(w.focusWidget(), chosen);
      if (!c.cancelShown) {
        // OK alone stands in the middle of the window.
        EXPECT_NEAR(ok->mapTo(&w, ok->rect().center()).x(), w.width() / 2, 3);
      }
      const QColor memoColor = memo->palette().color(QPalette::Base);
      if (c.kind == 4) {
        EXPECT_EQ(memoColor, QApplication::style()->standardPalette().color(QPalette::ToolTipBase));
      } else {
        EXPECT_EQ(memoColor, QColor(0, 255, 0));
      }
      EXPECT_EQ(memo->palette().color(QPalette::Text), QColor(Qt::black));
      EXPECT_TRUE(memo->isReadOnly());
      if (c.lines == 3) test::Screenshot(&w, "message_window_kind" + std::to_string(c.kind));
      // Enter answers with the default button.
      QTest::keyClick(&w, Qt::Key_Return);
    });
    EXPECT_EQ(result, c.cancelDefault ? base::ModalResult::Cancel : base::ModalResult::OK);
  }
}

TEST(MessageWindow, TheTextShowsWithItsLineBreaksInTheFontAskedFor) {
  const std::vector<std::pair<int, QString>> fonts = {
      {0, "Courier"}, {1, "Arial"}, {2, "Times"}, {3, "Arial"}, {9, "Arial"}};
  for (const auto& [index, family] : fonts) {
    RunWith("Πρώτη\nδεύτερη"_gr, 1, 0, index, [&, family = family](ui::TzzErrorF& w) {
      auto* memo = Child<QPlainTextEdit>(w, "M1");
      if (memo != nullptr) {
        EXPECT_EQ(memo->font().family(), family) << index;
        EXPECT_EQ(ui::FromQString(memo->toPlainText()), "Πρώτη\nδεύτερη"_gr);
      }
      w.accept();
    });
  }
  // -1 keeps the window's own font.
  RunWith("x", 1, 0, -1, [](ui::TzzErrorF& w) {
    auto* memo = Child<QPlainTextEdit>(w, "M1");
    if (memo != nullptr) {
      EXPECT_EQ(memo->font().family(), w.font().family());
    }
    w.accept();
  });
}

TEST(MessageWindow, EscAndTheTimerAnswerCancel) {
  // Esc on a question whose default is OK.
  EXPECT_EQ(RunWith("Συνέχεια;"_gr, 2, 0, -1, [](ui::TzzErrorF& w) { QTest::keyClick(&w, Qt::Key_Escape); }),
            base::ModalResult::Cancel);
  EXPECT_EQ(RunWith("Μήνυμα"_gr, 1, 0, -1, [](ui::TzzErrorF& w) { QTest::keyClick(&w, Qt::Key_Escape); }),
            base::ModalResult::Cancel);
  // Nobody answers: the timer closes the window.
  EXPECT_EQ(RunWith("Συνέχεια;"_gr, 2, 30, -1,
                    [](ui::TzzErrorF& w) {
                      auto* timer = w.findChild<QTimer*>(QStringLiteral("MessTimer"));
                      ASSERT_NE(timer, nullptr);
                      EXPECT_TRUE(timer->isActive());
                      EXPECT_EQ(timer->interval(), 30);
                    }),
            base::ModalResult::Cancel);
  // Without a time the timer stays off.
  RunWith("x", 1, 0, -1, [](ui::TzzErrorF& w) {
    auto* timer = w.findChild<QTimer*>(QStringLiteral("MessTimer"));
    if (timer != nullptr) {
      EXPECT_FALSE(timer->isActive());
    }
    w.accept();
  });
}

TEST_F(MessFile, SBEdit1SavesTheLinesAndOpensThemWhileTheWindowStaysOpen) {
  test::ScriptedPresenter presenter;
  const base::ModalResult result = RunWith("Γραμμή 1\nΓραμμή 2"_gr, 1, 0, -1, [&](ui::TzzErrorF& w) {
    auto* edit = Child<QToolButton>(w, "SBEdit1");
    if (edit == nullptr) return w.reject();
    EXPECT_EQ(ui::FromQString(edit->toolTip()), "Μεταφορά στο Σημειωματάριο"_gr);
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    w.accept();
  });
  EXPECT_EQ(result, base::ModalResult::OK);
  const std::string path = Folder() + "/mess.txt";
  EXPECT_EQ(ReadBytes(path), "Γραμμή 1"_gr + "\r\n" + "Γραμμή 2"_gr + "\r\n");
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  EXPECT_EQ(presenter.AllShown()[0].ask, test::ScriptedPresenter::Ask::Open);
  EXPECT_EQ(presenter.AllShown()[0].text, path);
}

TEST_F(MessFile, SBEdit1ShowsWhyItCouldNotSave) {
  std::ofstream(Folder()) << "not a folder";
  test::ScriptedPresenter presenter;
  RunWith("x", 1, 0, -1, [&](ui::TzzErrorF& w) {
    // The refusal is a message of its own; it is answered by the presenter.
    if (auto* edit = Child<QToolButton>(w, "SBEdit1")) QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    w.accept();
  });
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  EXPECT_EQ(presenter.AllShown()[0].ask, test::ScriptedPresenter::Ask::Message);
  EXPECT_EQ(presenter.AllShown()[0].text, "Δεν μπορώ να ανοίξω το αρχείο "_gr + Folder() + "!");
}

}  // namespace
