#include "app/download_progress_window.h"

#include "base/encoding.h"
#include "ui/progress_window.h"

namespace mero::app {

using namespace base::literals;

DownloadProgressWindow::DownloadProgressWindow(QWidget* parent) : window_(new ui::ProgressWindow(parent)) {}

DownloadProgressWindow::~DownloadProgressWindow() { delete window_.data(); }

void DownloadProgressWindow::Start(int count) {
  if (window_) window_->Begin("Ενημέρωση Νέων Φορμών"_gr, count);
}

void DownloadProgressWindow::File(int index, const std::string& name) {
  if (window_) window_->Step(index + 1, name);
}

void DownloadProgressWindow::Done() {
  if (window_) window_->Finish();
}

}  // namespace mero::app
