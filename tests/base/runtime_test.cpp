#include "base/runtime.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "base/exception.h"
#include "base/file_routines.h"
#include "base/format_settings.h"
#include "base/macros.h"
#include "base/messages.h"
#include "base/named_params.h"
#include "base/screen_rules.h"
#include "base/startup.h"
#include "base/trace.h"
#include "support/scripted_presenter.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Each test runs in a fresh folder as the program's directory, with its own
// configuration folder, on a fixed day, with the run-time state as at load.
class RuntimeTest : public ::testing::Test {
 protected:
  RuntimeTest() {
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    const char* config = std::getenv("XDG_CONFIG_HOME");
    oldConfig_ = config != nullptr ? config : "";
    setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
    base::ResetRuntime();
  }
  ~RuntimeTest() override {
    std::filesystem::current_path(oldDir_);
    if (oldConfig_.empty()) unsetenv("XDG_CONFIG_HOME");
    else setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
    base::ResetRuntime();
  }

  test::TempDir dir_;
  std::filesystem::path oldDir_;
  std::string oldConfig_;
  base::ScopedClock clock_{std::make_shared<base::FixedClock>(
      base::CombineDateTime(base::EncodeDate(2005, 3, 14), base::EncodeTime(9, 30, 12, 345)))};
  test::ScriptedPresenter presenter_;
};

TEST_F(RuntimeTest, InitBasuSetsUpOnce) {
  WriteFile("NParams.dat", "OVDEBUG0=1\r\n");
  base::ProcessFormats().decimalSeparator = '#';
  base::InitBasu(0);
  const base::Runtime& rt = base::Rt();
  EXPECT_EQ(rt.appDir, std::filesystem::current_path().string());
  EXPECT_EQ(base::LinkKey().size(), 11u);
  EXPECT_EQ(base::ProcessFormats().decimalSeparator, ',');
  EXPECT_EQ(rt.defaultPeriodFrom, base::EncodeDate(1990, 1, 1));
  EXPECT_EQ(rt.defaultPeriodTo, base::EncodeDate(2040, 1, 1));
  EXPECT_EQ(rt.today.date, base::EncodeDate(2005, 3, 14));
  EXPECT_EQ(rt.reportDateLabel, "Ημ/νία:14/03/2005"_gr);
  EXPECT_EQ(base::GetMessText(5), "Λάθος Αριθμητική Τιμή"_gr);
  EXPECT_EQ(base::GetMessText(44), "Υποχρεωτικό Πεδίο !\n%s"_gr);
  const std::size_t messages = rt.messNumbers.size();
  EXPECT_EQ(messages, 65u);

  base::InitBasu(0);  // a second call only traces
  EXPECT_EQ(rt.messNumbers.size(), messages);
  EXPECT_TRUE(presenter_.AllShown().empty()) << presenter_.Texts()[0];
  // The early trace switches on once the file that switches it on is read.
  EXPECT_EQ(ReadFile("DEBUG0.txt"),
            "09:30:12.345- After LoadTheNamedParameters MyDEBUG=\n"
            "09:30:12.345- In InitBasu\n");
}

TEST_F(RuntimeTest, LinkKeyIsBuiltFromTheStoredConstantUnlessTheDeploymentSetsOne) {
  EXPECT_EQ(base::BuiltInLinkKey().size(), 11u);
  EXPECT_EQ(base::LinkKey(), base::BuiltInLinkKey());
  setenv("MERO_LINK_KEY", "Our own key", 1);
  base::ResetRuntime();
  EXPECT_EQ(base::LinkKey(), "Our own key");
  unsetenv("MERO_LINK_KEY");
}

TEST_F(RuntimeTest, NamedParametersFile) {
  EXPECT_EQ(base::GetNamedParam("MYDEBUG", "dflt"), "dflt");  // before the lists exist
  WriteFile("NParams.dat", ";comment=1\r\n expimpdir =  /data/x  \r\nMyDebug=0\nnoequals\n");
  base::LoadTheNamedParameters();
  EXPECT_EQ(base::GetNamedParam("EXPIMPDIR"), "/data/x");
  EXPECT_EQ(base::GetNamedParam("mydebug", "1"), "0");
  EXPECT_EQ(base::GetNamedParam(";comment", "gone"), "gone");
  EXPECT_EQ(base::GetNamedParam("ABSENT", "d"), "d");
  EXPECT_EQ(base::GetNamedParam("", "d"), "noequals");  // a line without "=" has an empty name
  std::filesystem::remove("NParams.dat");
  base::LoadTheNamedParameters();
  EXPECT_EQ(base::GetNamedParam("EXPIMPDIR", "d"), "d");
}

TEST_F(RuntimeTest, DebugLogAndDebugWindow) {
  base::DebugLog("not written");
  WriteFile("NParams.dat", "MYDEBUG=1\n");
  base::InitBasu(0);
  const std::string log = base::DebugLogFileName();
  EXPECT_EQ(log, base::AppFile("DBG20050314093012345.txt"));
  EXPECT_EQ(ReadFile(log),
            "09:30:12.345- START DEBUG LOGING \n"
            "09:30:12.345- InitBasu Px01 \n"
            "09:30:12.345- InitBasu Px02 \n"
            "09:30:12.345- END InitBasu\n");
  EXPECT_FALSE(std::filesystem::exists("DEBUG0.txt"));

  EXPECT_EQ(base::DebugTrace("x"), 0);  // level 0
  base::Rt().debugLevel = 1;
  EXPECT_EQ(base::DebugTrace("x"), 0);  // no window yet
  base::ShowDebugWindow();
  EXPECT_EQ(base::DebugTrace("first"), 1);
  EXPECT_EQ(base::DebugTrace("second"), 2);
  EXPECT_EQ(*base::Rt().debugWindowLines, (std::vector<std::string>{"first", "second"}));
}

TEST_F(RuntimeTest, MessageTable) {
  EXPECT_EQ(base::GetMessText(5), "MessNo:5");  // before the table exists
  EXPECT_EQ(base::AddMess(301, "first"), 1);
  EXPECT_EQ(base::AddMess(302, ""), 2);
  EXPECT_EQ(base::GetMessText(302), "_");
  EXPECT_EQ(base::AddMess(301, "second"), 0);
  EXPECT_EQ(base::GetMessText(301), "first");
  ASSERT_EQ(presenter_.AllShown().size(), 1u);
  EXPECT_EQ(presenter_.AllShown()[0].text, "Δύο Messages με το ίδιο Νο : 301 old=<first>. New=<second>"_gr);
  EXPECT_EQ(presenter_.AllShown()[0].kind, base::mkMessage);
  EXPECT_EQ(base::GetMessText(7), "Αριθμός : 007"_gr);
  base::Rt().debugLevel = 2;
  EXPECT_EQ(base::GetMessText(301), "301 first");

  base::Rt().debugLevel = 0;
  base::AddMess(400, "Το αρχείο %s δεν υπάρχει σε %s!"_gr);
  base::ShowMessNoFmt(400, {"a.txt", "/tmp"});
  base::ShowMessNo(301);
  base::AddMess(401, "%s");
  base::ShowMessNoFmt(401, {""});
  EXPECT_EQ(presenter_.Texts(),
            (std::vector<std::string>{presenter_.Texts()[0], "Το αρχείο a.txt δεν υπάρχει σε /tmp!"_gr, "first",
                                      "Αριθμός : 401"_gr}));
}

TEST_F(RuntimeTest, QuestionsAnsweredThroughTheSeam) {
  presenter_.SetNextAnswer(base::ModalResult::Cancel);
  presenter_.SetNextAnswer(base::ModalResult::OK);
  EXPECT_FALSE(base::AskOK("Delete?"));
  EXPECT_TRUE(base::AskOK("Really?"));
  EXPECT_EQ(presenter_.AllShown()[1].kind, base::mkQuestion);
  base::ShowMess("gone soon", 5000);
  EXPECT_EQ(presenter_.AllShown()[2].autoCloseMs, 5000);
  EXPECT_EQ(presenter_.AllShown()[2].fontIndex, -1);
}

TEST(MessageWindow, LayoutRules) {
  std::string lines25;
  for (int i = 0; i < 25; ++i) lines25 += "line\n";
  const base::MessWindowLayout big = base::LayoutMessWindow(lines25, base::mkMessage, -1);
  EXPECT_EQ(big.lineCount, 25);
  EXPECT_EQ(big.height, 400);
  EXPECT_TRUE(big.scrollBars);
  EXPECT_EQ(big.caption, "Μήνυμα Lines=25"_gr);
  EXPECT_FALSE(big.showCancel);

  const base::MessWindowLayout small = base::LayoutMessWindow("a\nb\nc", base::mkQuestionCancel, 0);
  EXPECT_EQ(small.text, "a\r\nb\r\nc");
  EXPECT_EQ(small.lineCount, 3);
  EXPECT_EQ(small.height, 120);
  EXPECT_FALSE(small.scrollBars);
  EXPECT_EQ(small.caption, "Ερώτηση Lines=3"_gr);
  EXPECT_TRUE(small.showCancel);
  EXPECT_TRUE(small.cancelIsDefault);
  EXPECT_EQ(small.fontName, "Courier");

  EXPECT_EQ(base::LayoutMessWindow(std::string(19, '\n'), base::mkInformation, 5).height, 364);
  EXPECT_FALSE(base::LayoutMessWindow(std::string(20, '\n') + "x", 1, 1).scrollBars == false);
  EXPECT_EQ(base::LayoutMessWindow("x", base::mkInformation, 2).fontName, "Times");
  EXPECT_TRUE(base::LayoutMessWindow("x", base::mkInformation, 1).tooltipBackground);
}

TEST(Macros, ExpandTable) {
  const std::vector<std::string> byKey = {"0509=A", "0502=B", "0503=!!503", "0010=x!!11", "0011=y"};
  const std::vector<std::string> byIndex = {"zero", "one", "two"};
  struct Case {
    const char* text;
    const std::vector<std::string>* values;
    bool byKey;
    int result;
    const char* expected;
  };
  const Case cases[] = {
      {"!!509 ; !!502", &byKey, true, 2, "A ; B"},
      {"!!509#rest", &byKey, true, 1, "Arest"},
      {"x!!509#", &byKey, true, 2, "xA#"},
      {"!!10", &byKey, true, 2, "xy"},  // a value's own token is expanded too
      {"!!01 and !!2", &byIndex, false, 2, "one and two"},
      {"!!07", &byIndex, false, 2, " "},       // past the end: empty, then " "
      {"a!!xyb", &byIndex, false, 2, "axyb"},  // not a number: only "!!" goes
      {"no tokens", &byIndex, false, 0, "no tokens"},
      {"!!01", nullptr, false, 0, "!!01"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(base::ExpandMacros(text, c.values, c.byKey), c.result) << c.text;
    EXPECT_EQ(text, c.expected) << c.text;
  }
  // A value that names its own token ends after a bounded number of rounds.
  std::string self = "!!503";
  EXPECT_EQ(base::ExpandMacros(self, &byKey, true), 2);
  EXPECT_EQ(self, "!!503");
}

TEST_F(RuntimeTest, SettingsFileAndRegistry) {
  EXPECT_EQ(base::UserIniName(), base::AppFile("UPRM_000.ini"));
  EXPECT_FALSE(base::UserIniHasSection("PRN"));
  base::UserIniWriteSection("PRN", "PrinterType=2\r\nLPT=LPT1\nnot a pair\n=skip\n");
  EXPECT_TRUE(base::UserIniHasSection("prn"));
  base::UserIniWriteSection("PRN", "printertype=3");
  base::UserIniWriteSection("Other", "Name=Τιμή"_gr);
  EXPECT_EQ(base::UserIniReadSection("PRN"), "PrinterType=3\r\nLPT=LPT1\r\n");
  EXPECT_EQ(base::UserIniReadSection("OTHER"), "Name=Τιμή\r\n"_gr);
  EXPECT_EQ(base::UserIniReadSection("absent"), "");

  EXPECT_EQ(base::RegistryFileName(), dir_.File("config") + "/mero/registry.ini");
  EXPECT_EQ(base::RegReadStr("MEROUserName", "nobody"), "nobody");
  base::RegWriteStr("MEROUserName", "MARIA");
  base::RegWriteStr("Other", "1");
  EXPECT_EQ(base::RegReadStr("merousername", ""), "MARIA");
  EXPECT_EQ(ReadFile(base::RegistryFileName()), "[TALV]\r\nMEROUserName=MARIA\r\nOther=1\r\n\r\n");
}

TEST_F(RuntimeTest, FoldersAndEnvironment) {
  EXPECT_EQ(base::ExpImpDir(), base::AppFile("ExpImp"));
  EXPECT_TRUE(std::filesystem::is_directory("ExpImp"));
  base::Rt().expImpOverride = dir_.File("exports");
  EXPECT_EQ(base::ExpImpDir(), dir_.File("exports"));
  base::Rt().expImpOverride = dir_.File("no/such/deep");
  try {
    base::ExpImpDir();
    FAIL() << "a folder two levels deep was created";
  } catch (const base::Exception& e) {
    EXPECT_EQ(e.what(), "Δεν μπορεσα να δημιουργήσω τον κατάλογο : "_gr + dir_.File("no/such/deep"));
  }
  EXPECT_EQ(base::StripTrailingBackslash("C:\\x\\"), "C:\\x");
  EXPECT_EQ(base::StripTrailingBackslash("/a/b/"), "/a/b");
  EXPECT_EQ(base::StripTrailingBackslash("/a/b"), "/a/b");
  setenv("MERO_TEST_VAR", std::string(600, 'v').c_str(), 1);
  EXPECT_EQ(base::GetEnvVar("MERO_TEST_VAR").size(), 512u);
  EXPECT_EQ(base::GetEnvVar("MERO_SURELY_UNSET"), "");
}

TEST_F(RuntimeTest, ScreenRules) {
  EXPECT_EQ(base::CharsToPixels(10), 67);
  EXPECT_EQ(base::PixelsToChars(67), 10);
  EXPECT_EQ(base::PixelsToChars(72), 10);
  base::Rt().screenWidth = 800;
  base::Rt().screenHeight = 600;
  const base::ScreenPoint inside = base::FitPopupPos({100, 100}, 200, 100);
  EXPECT_EQ(inside.x, 100);
  EXPECT_EQ(inside.y, 116);
  const base::ScreenPoint corner = base::FitPopupPos({700, 500}, 200, 100);
  EXPECT_EQ(corner.x, 598);
  EXPECT_EQ(corner.y, 398);
}

}  // namespace
