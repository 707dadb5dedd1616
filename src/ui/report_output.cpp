#include "ui/report_output.h"

#include <functional>

#include "base/encoding.h"
#include "base/file_routines.h"
#include "base/message_seam.h"
#include "data/dataset.h"
#include "data/remote/query_utils.h"
#include "ui/report_definition.h"

namespace mero::ui {

using namespace base::literals;

namespace {

ReportPrinter* installed = nullptr;

// Detaches a dataset's after-scroll handler for the life of the guard.
class DetachedAfterScroll {
 public:
  explicit DetachedAfterScroll(data::TDataSet& ds) : ds_(ds), handler_(std::move(ds.AfterScroll)) {
    ds_.AfterScroll = nullptr;
  }
  ~DetachedAfterScroll() { ds_.AfterScroll = std::move(handler_); }
  DetachedAfterScroll(const DetachedAfterScroll&) = delete;
  DetachedAfterScroll& operator=(const DetachedAfterScroll&) = delete;

 private:
  data::TDataSet& ds_;
  std::function<void()> handler_;
};

}  // namespace

std::string ReportTextFilePath() { return base::ExpImpDir() + "/" + TextFileReportPrinter::kFileName; }

void TextFileReportPrinter::Print(const TMyRpt& definition, data::TDataSet& ds) {
  const std::string path = ReportTextFilePath();
  int lines = 0;
  {
    DetachedAfterScroll detached(ds);
    data::DisabledControls quiet(ds);
    lines = data::ExportToTextFile(kFileName, ds, definition.separator, 1, 0, definition.oemConversion != 0);
  }
  base::ShowMess("Εξαγωγή "_gr + std::to_string(lines) + " εγγραφών στο αρχείο "_gr + path);
}

void SetReportPrinter(ReportPrinter* printer) { installed = printer; }

ReportPrinter& CurrentReportPrinter() {
  static TextFileReportPrinter fallback;
  return installed != nullptr ? *installed : fallback;
}

}  // namespace mero::ui
