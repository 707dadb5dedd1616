#pragma once

#include <string>

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

struct TMyRpt;

// Where a grid's print goes: the one interface between the grids and the
// report output. The print module installs its own (the report parameters,
// the banded report and the text file); until then the default below runs.
class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;
  virtual void Print(const TMyRpt& definition, data::TDataSet& ds) = 0;
};

// Writes the dataset's visible fields, tab-separated and in windows-1253, to
// "ascii.txt" in the export folder, and tells the user where. While it runs
// the dataset's views are off and its after-scroll handler is detached,
// both back afterwards, also on error.
class TextFileReportPrinter : public ReportPrinter {
 public:
  static constexpr const char* kFileName = "ascii.txt";
  void Print(const TMyRpt& definition, data::TDataSet& ds) override;
};

// Installs a printer (not owned); nullptr restores the default.
void SetReportPrinter(ReportPrinter* printer);
ReportPrinter& CurrentReportPrinter();

// The path the default printer writes to.
std::string ReportTextFilePath();

}  // namespace mero::ui
