// The progress window of the download of updated files: what the user sees
// while the real server's files arrive, and the window on its own.

#include "ui/progress_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/download_progress_window.h"
#include "app/file_download.h"
#include "base/encoding.h"
#include "support/current_directory.h"
#include "support/login_helper.h"
#include "support/scripted_presenter.h"
#include "support/screenshot.h"
#include "support/server_process.h"
#include "support/temp_dir.h"
#include "ui/qt_text.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

TEST(ProgressWindow, ShowsTheStepsAndTheItemAndHidesWhenFinished) {
  ui::ProgressWindow window;
  window.Begin("Ενημέρωση Νέων Φορμών"_gr, 4);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Ενημέρωση Νέων Φορμών"));
  EXPECT_EQ(window.Bar()->maximum(), 4);
  EXPECT_EQ(window.Bar()->value(), 0);
  window.Step(2, "φόρμα.txt"_gr);
  EXPECT_EQ(window.Bar()->value(), 2);
  EXPECT_EQ(window.Item()->text(), QStringLiteral("φόρμα.txt"));
  EXPECT_EQ(window.Bar()->text(), QStringLiteral("2 / 4"));
  test::Screenshot(&window, "progress_window");
  window.Finish();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.Bar()->value(), 4);
}

TEST(DownloadProgressWindow, OutlivesAParentThatTookItsWindow) {
  auto parent = std::make_unique<QWidget>();
  app::DownloadProgressWindow progress(parent.get());
  ASSERT_NE(progress.Window(), nullptr);
  parent.reset();
  EXPECT_EQ(progress.Window(), nullptr);
  progress.Start(1);  // nothing left to show, and no crash
  progress.Done();
}

// What the window showed at each change of its bar, while the download ran.
TEST(DownloadProgressWindow, CountsTheServersFilesAsTheyArrive) {
  app::ResetClientState();
  test::TempDir offered;
  for (const char* name : {"a.txt", "b.txt"}) std::ofstream(offered.File(name)) << name;
  test::ServerProcess::Options options;
  options.filesDir = offered.Path().string();
  test::ServerProcess server(options);
  auto socket = test::LoginOwnSocket(server.Port());
  test::TempDir target;
  test::DirectoryScope scope(target.Path());
  test::ScriptedPresenter presenter;

  app::DownloadProgressWindow progress;
  ui::ProgressWindow* window = progress.Window();
  std::vector<std::string> seen;
  QObject::connect(window->Bar(), &QProgressBar::valueChanged, window, [&](int value) {
    seen.push_back(std::to_string(value) + "/" + std::to_string(window->Bar()->maximum()) + " " +
                   ui::FromQString(window->Item()->text()) + (window->isVisible() ? " shown" : " hidden"));
  });
  app::DownLoadRecentFiles1Click(*socket, &progress);
  socket->Close();

  EXPECT_EQ(seen, (std::vector<std::string>{"0/2  hidden", "1/2 a.txt shown", "2/2 b.txt shown"}));
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Ενημέρωση Νέων Φορμών"));
  EXPECT_TRUE(presenter.AllShown().empty());
  app::ResetClientState();
}

}  // namespace
