// "Ενημέρωση Νέων Φορμών" against the real server offering a folder's files,
// and the handling of one file's reply with replies the server cannot send.

#include "app/file_download.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "base/exception.h"
#include "link/codec/param_list.h"
#include "support/current_directory.h"
#include "support/login_helper.h"
#include "support/scripted_presenter.h"
#include "support/server_process.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

namespace fs = std::filesystem;

// What the download reported, one line per call.
class RecordingProgress : public app::DownloadProgress {
 public:
  void Start(int count) override { calls.push_back("start " + std::to_string(count)); }
  void File(int index, const std::string& name) override {
    calls.push_back("file " + std::to_string(index) + " " + name);
  }
  void Done() override { calls.push_back("done"); }
  std::vector<std::string> calls;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const fs::path& path, const std::string& bytes, std::time_t modified) {
  std::ofstream(path, std::ios::binary) << bytes;
  const timespec times[2] = {{modified, 0}, {modified, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

std::time_t ModifiedAt(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mtime;
}

std::vector<std::string> EntryNames(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    names.push_back(fs::relative(entry.path(), dir).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Where the log names each file sent, in the log's order; npos when never.
std::vector<std::size_t> SentAt(const std::string& log, const std::vector<std::string>& names) {
  std::vector<std::size_t> at;
  for (const std::string& name : names) at.push_back(log.find(": file " + name + " sent"));
  return at;
}

// Times of the server's files (any zone keeps each in its year).
constexpr std::time_t k2005 = 1121418000;
constexpr std::time_t k1975 = 157766400;
constexpr std::time_t k2099 = 4102300000;

class FileDownload : public test::ClientTest {
 protected:
  // A server offering the files of offered_, the client's current
  // directory in target_.
  void StartServer() {
    test::ServerProcess::Options options;
    options.filesDir = offered_.Path().string();
    server_ = std::make_unique<test::ServerProcess>(options);
    socket_ = test::LoginOwnSocket(server_->Port());
    scope_ = std::make_unique<test::DirectoryScope>(target_.Path());
  }
  void TearDown() override {
    if (socket_) socket_->Close();
    scope_.reset();
    test::ClientTest::TearDown();
  }

  test::TempDir offered_;
  test::TempDir target_;
  std::unique_ptr<test::ServerProcess> server_;
  std::unique_ptr<link::TLinkClientSocket> socket_;
  std::unique_ptr<test::DirectoryScope> scope_;
  test::ScriptedPresenter presenter_;
};

TEST_F(FileDownload, EveryOfferedFileIsWrittenInOrderWithItsTimeAndBefore1980TheZeroTime) {
  const std::string binary("\0\x01\xFF\r\n", 5);
  WriteFile(offered_.Path() / "a.txt", "alpha", k2005);
  WriteFile(offered_.Path() / "b.bin", binary, k1975);
  WriteFile(offered_.Path() / "φόρμα.txt", "gamma", k2099);
  StartServer();
  WriteFile(target_.Path() / "a.txt", "the old copy, longer than the new", k1975);

  RecordingProgress progress;
  app::DownLoadRecentFiles1Click(*socket_, &progress);

  EXPECT_EQ(progress.calls, (std::vector<std::string>{"start 3", "file 0 a.txt", "file 1 b.bin",
                                                      "file 2 " + "φόρμα.txt"_gr, "done"}));
  EXPECT_EQ(EntryNames(target_.Path()), (std::vector<std::string>{"a.txt", "b.bin", "φόρμα.txt"}));
  EXPECT_EQ(ReadFile(target_.Path() / "a.txt"), "alpha");
  EXPECT_EQ(ReadFile(target_.Path() / "b.bin"), binary);
  EXPECT_EQ(ReadFile(target_.Path() / "φόρμα.txt"), "gamma");
  EXPECT_EQ(ModifiedAt(target_.Path() / "a.txt"), k2005);
  EXPECT_EQ(ModifiedAt(target_.Path() / "b.bin"), 0) << "a time before 1980 gives the zero time";
  EXPECT_EQ(ModifiedAt(target_.Path() / "φόρμα.txt"), k2099);
  EXPECT_TRUE(presenter_.AllShown().empty());

  // The server sends the file of the index asked; its names are in name
  // order, so the log's order is the order of the indexes 0, 1, 2.
  const std::vector<std::size_t> at = SentAt(server_->Log(), {"a.txt", "b.bin", "φόρμα.txt"});
  ASSERT_NE(at[0], std::string::npos) << server_->Log();
  EXPECT_LT(at[0], at[1]);
  EXPECT_LT(at[1], at[2]);
  EXPECT_NE(at[2], std::string::npos);
}

TEST_F(FileDownload, AnEmptyFolderGivesFileCountZeroAndNoProgress) {
  StartServer();
  RecordingProgress progress;
  app::DownLoadRecentFiles1Click(*socket_, &progress);
  EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"File Count=0!"});
  EXPECT_EQ(presenter_.AllShown()[0].kind, base::mkMessage);
  EXPECT_TRUE(progress.calls.empty());
  EXPECT_TRUE(fs::is_empty(target_.Path()));
}

// A server's file may hold a backslash or a colon in its name; the client
// refuses such a name, says so, and goes on with the next file.
TEST_F(FileDownload, AFileWithARefusedNameIsSkippedWithAMessageAndTheNextStillComes) {
  WriteFile(offered_.Path() / "..\\up.txt", "up", k2005);
  WriteFile(offered_.Path() / "C:drive.txt", "drive", k2005);
  WriteFile(offered_.Path() / "z.txt", "last", k2005);
  StartServer();
  app::DownLoadRecentFiles1Click(*socket_);
  EXPECT_EQ(presenter_.Texts(), (std::vector<std::string>{app::RefusedNameMessage() + "..\\up.txt",
                                                          app::RefusedNameMessage() + "C:drive.txt"}));
  EXPECT_EQ(EntryNames(target_.Path()), std::vector<std::string>{"z.txt"});
  EXPECT_EQ(ReadFile(target_.Path() / "z.txt"), "last");
}

// The file error ends the download; what came before it stays and nothing
// after it is asked for.
TEST_F(FileDownload, AFileThatCannotBeWrittenEndsTheDownloadAndTheFilesBeforeItStay) {
  WriteFile(offered_.Path() / "a.txt", "alpha", k2005);
  WriteFile(offered_.Path() / "b.txt", "beta", k2005);
  WriteFile(offered_.Path() / "c.txt", "gamma", k2005);
  StartServer();
  fs::create_directories(target_.Path() / "b.txt" / "in the way");
  RecordingProgress progress;
  std::string error;
  try {
    app::DownLoadRecentFiles1Click(*socket_, &progress);
  } catch (const base::Exception& e) {
    error = e.what();
  }
  EXPECT_EQ(error.rfind("Cannot write file b.txt: ", 0), 0U) << error;
  EXPECT_EQ(progress.calls, (std::vector<std::string>{"start 3", "file 0 a.txt", "file 1 b.txt", "done"}));
  EXPECT_EQ(ReadFile(target_.Path() / "a.txt"), "alpha");
  EXPECT_FALSE(fs::exists(target_.Path() / "c.txt"));
  EXPECT_EQ(EntryNames(target_.Path()), (std::vector<std::string>{"a.txt", "b.txt", "b.txt/in the way"}));
  EXPECT_EQ(SentAt(server_->Log(), {"c.txt"})[0], std::string::npos);
}

link::TLinkParamList Reply(int items, const std::string& name, base::TDateTime modified = 0) {
  link::TLinkParamList reply;
  if (items > 0) reply.AddItem().SetBlob("content");
  if (items > 1) reply.AddItem().SetString(name);
  if (items > 2) reply.AddItem().SetDateTime(modified);
  return reply;
}

// Replies no honest server sends, straight to the handling of one reply. The
// current directory is a folder inside the temporary one, so that a name
// that did climb out would still land in a folder the test removes.
class OneReply : public test::ClientTest {
 protected:
  OneReply() : dir_(MadeInside(outer_.Path() / "current")), scope_(dir_) {}
  static fs::path MadeInside(const fs::path& dir) {
    fs::create_directory(dir);
    return dir;
  }
  test::TempDir outer_;
  fs::path dir_;
  test::DirectoryScope scope_;
  test::ScriptedPresenter presenter_;
};

TEST_F(OneReply, NamesOutsideTheCurrentDirectoryAreRefusedWithAMessage) {
  test::TempDir outside;
  const std::string names[] = {"", "../up.txt", "sub/../../up.txt", outside.File("absolute.txt"), "..\\up.txt",
                               "C:\\up.txt", "sub//x.txt", std::string("nul\0.txt", 8)};
  for (const std::string& name : names) {
    EXPECT_EQ(app::WriteDownloadedFile(Reply(3, name)), app::DownloadResult::RefusedName) << name;
  }
  ASSERT_EQ(presenter_.AllShown().size(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(presenter_.AllShown()[i].text, app::RefusedNameMessage() + names[i]);
  }
  EXPECT_TRUE(fs::is_empty(dir_));
  EXPECT_TRUE(fs::is_empty(outside.Path()));
  EXPECT_EQ(EntryNames(outer_.Path()), std::vector<std::string>{"current"});
}

TEST_F(OneReply, APlainSubPathIsWrittenIntoItsFolderAndANullTimeGivesTheZeroTime) {
  link::TLinkParamList reply = Reply(3, "forms/new.txt", base::EncodeDate(2005, 5, 10));
  reply.ItemAt(2).SetIsNull(true);
  EXPECT_EQ(app::WriteDownloadedFile(reply), app::DownloadResult::Written);
  EXPECT_EQ(ReadFile(dir_ / "forms" / "new.txt"), "content");
  EXPECT_EQ(ModifiedAt(dir_ / "forms" / "new.txt"), 0);
  EXPECT_TRUE(presenter_.AllShown().empty());
}

TEST_F(OneReply, AReplyShortOfThreeItemsWritesNothingAndSaysNothing) {
  for (int items = 0; items < 3; ++items) {
    EXPECT_EQ(app::WriteDownloadedFile(Reply(items, "short.txt")), app::DownloadResult::NoFile) << items;
  }
  EXPECT_TRUE(fs::is_empty(dir_));
  EXPECT_TRUE(presenter_.AllShown().empty());
}

}  // namespace
