#pragma once

#include <QPointer>
#include <string>

#include "app/file_download.h"

class QWidget;

namespace mero::ui {
class ProgressWindow;
}

namespace mero::app {

// The download's progress in a window of its own: the main window hands one
// to DownLoadRecentFiles1Click. The bar counts the files that have arrived.
class DownloadProgressWindow final : public DownloadProgress {
 public:
  explicit DownloadProgressWindow(QWidget* parent = nullptr);
  ~DownloadProgressWindow() override;
  DownloadProgressWindow(const DownloadProgressWindow&) = delete;
  DownloadProgressWindow& operator=(const DownloadProgressWindow&) = delete;

  void Start(int count) override;
  void File(int index, const std::string& name) override;
  void Done() override;

  // Null once the parent has taken the window with it.
  ui::ProgressWindow* Window() const { return window_; }

 private:
  QPointer<ui::ProgressWindow> window_;
};

}  // namespace mero::app
