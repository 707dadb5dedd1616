// The rules for files that come over the link: which names may be written,
// which modification time a date-time gives, and that a file is replaced
// whole or not at all.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/date_time.h"
#include "base/exception.h"
#include "base/file_names.h"
#include "base/file_routines.h"
#include "support/temp_dir.h"

using namespace mero;

namespace {

TEST(FileNames, OnlyPlainRelativeNamesMayBeWritten) {
  struct Case {
    std::string name;
    bool plain;
  };
  const Case cases[] = {
      {"forms.txt", true},
      {"sub/forms.txt", true},
      {"a/b/c.bin", true},
      {"..forms", true},  // dots inside a part are no way up
      {"forms..", true},
      {".hidden", true},
      {"\xF6\xFC\xF1\xEC\xE1.txt", true},  // Greek in the system's code page
      {"", false},
      {"/etc/passwd", false},
      {"/", false},
      {"..", false},
      {".", false},
      {"../forms.txt", false},
      {"sub/../../forms.txt", false},
      {"sub/..", false},
      {"./forms.txt", false},
      {"sub//forms.txt", false},
      {"sub/", false},
      {"..\\forms.txt", false},
      {"sub\\forms.txt", false},
      {"C:forms.txt", false},
      {"C:\\forms.txt", false},
      {"forms.txt:stream", false},
      {std::string("forms\0.txt", 10), false},
      {"forms\n.txt", false},
      {"forms\x7F", false},
  };
  for (const Case& c : cases) EXPECT_EQ(base::IsPlainRelativeName(c.name), c.plain) << '"' << c.name << '"';
}

// Summer time and the zone's offset change the result, so the mapping runs
// under a zone of its own (Athens' rules, written out so that no zone data
// is needed).
class LocalZone {
 public:
  explicit LocalZone(const char* zone) {
    if (const char* tz = std::getenv("TZ")) previous_ = tz, hadZone_ = true;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~LocalZone() {
    if (hadZone_) {
      setenv("TZ", previous_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  LocalZone(const LocalZone&) = delete;
  LocalZone& operator=(const LocalZone&) = delete;

 private:
  std::string previous_;
  bool hadZone_ = false;
};

base::TDateTime At(int year, int month, int day, int hour, int minute, int second) {
  return base::CombineDateTime(base::EncodeDate(year, month, day), base::EncodeTime(hour, minute, second, 0));
}

TEST(FileTimes, LocalDateTimesOfTheYears1980To2099GiveTheirTimeAndOthersTheEpoch) {
  LocalZone zone("EET-2EEST,M3.5.0/3,M10.5.0/4");
  struct Case {
    const char* what;
    base::TDateTime value;
    std::time_t expected;
  };
  const Case cases[] = {
      {"the last second of 1979", At(1979, 12, 31, 23, 59, 59), 0},
      {"the first second of 1980, two hours ahead of UTC", At(1980, 1, 1, 0, 0, 0), 315525600},
      {"a summer noon, three hours ahead", At(2005, 7, 15, 12, 0, 0), 1121418000},
      {"the last second of 2099", At(2099, 12, 31, 23, 59, 59), 4102437599},
      {"the first day of 2100", At(2100, 1, 1, 0, 0, 0), 0},
      {"the empty date", 0, 0},
      {"before the calendar's day 0", -700.5, 0},
      {"not a number", std::nan(""), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(base::FileTimeOf(c.value), c.expected) << c.what;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::time_t ModifiedAt(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mtime;
}

std::size_t Entries(const std::filesystem::path& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::recursive_directory_iterator(dir)) ++n;
  return n;
}

TEST(ReplaceFile, WritesTheBytesWithTheTimeIntoMissingFoldersAndOverTheOldFile) {
  test::TempDir dir;
  const std::filesystem::path path = dir.Path() / "sub" / "forms.bin";
  const std::string bytes("a\0b\xFF", 4);
  base::ReplaceFile(path.string(), bytes, 1121418000, "sub/forms.bin");
  EXPECT_EQ(ReadFile(path), bytes);
  EXPECT_EQ(ModifiedAt(path), 1121418000);

  base::ReplaceFile(path.string(), "new", 0, "sub/forms.bin");
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(ModifiedAt(path), 0);
  EXPECT_EQ(Entries(dir.Path()), 2U) << "no temporary file is left beside it";
}

// The file size limit makes the write itself fail part of the way, as a full
// disk would.
TEST(ReplaceFile, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  test::TempDir dir;
  const std::filesystem::path path = dir.Path() / "forms.txt";
  std::ofstream(path, std::ios::binary) << "old contents";
  rlimit previous{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = previous;
  small.rlim_cur = 4;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  try {
    base::ReplaceFile(path.string(), std::string(100, 'x'), 0, "forms.txt");
  } catch (const base::Exception& e) {
    error = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousSignal);
  EXPECT_EQ(error, "Cannot write file forms.txt: File too large");
  EXPECT_EQ(ReadFile(path), "old contents");
  EXPECT_EQ(Entries(dir.Path()), 1U);
}

TEST(ReplaceFile, ANameTakenByAFolderRaisesTheFileErrorAndLeavesTheFolder) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "forms" / "inside");
  std::string error;
  try {
    base::ReplaceFile((dir.Path() / "forms").string(), "x", 0, "forms");
  } catch (const base::Exception& e) {
    error = e.what();
  }
  EXPECT_EQ(error.rfind("Cannot write file forms: ", 0), 0U) << error;
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "forms" / "inside"));
  EXPECT_EQ(Entries(dir.Path()), 2U);
}

}  // namespace
