#include "ui/string_grid_rules.h"

#include <fstream>

#include "base/encoding.h"
#include "base/exception.h"
#include "base/file_routines.h"
#include "base/message_seam.h"
#include "base/number_format.h"
#include "base/number_routines.h"

namespace mero::ui {

using namespace base::literals;

const ColumnFlags& ColumnFlagTable::At(int column) const {
  static const ColumnFlags none;
  return column >= 0 && column < kColumns ? flags_[static_cast<std::size_t>(column)] : none;
}

bool ColumnFlagTable::Set(int column, ColumnFlags flags) {
  if (column < 0 || column >= kColumns) return false;
  flags_[static_cast<std::size_t>(column)] = std::move(flags);
  return true;
}

std::string CellDisplayText(const std::string& text, const ColumnFlags& flags, bool fixedRow) {
  if (fixedRow || !flags.isNum || flags.dispFmt.empty()) return text;
  return base::FormatFloat(flags.dispFmt, base::StrToFloatZ(text));
}

bool RightAligned(const ColumnFlags& flags) { return flags.al || flags.isNum; }

bool NumericCharAllowed(char c) { return (c >= '0' && c <= '9') || c == '+' || c == ',' || c == '-'; }

namespace {
StringGridPrinter& InstalledPrinter() {
  static StringGridPrinter printer;
  return printer;
}
}  // namespace

void SetStringGridPrinter(StringGridPrinter printer) { InstalledPrinter() = std::move(printer); }

std::string WriteGridTextFile(const StringGridPrintJob& job) {
  const std::string path = base::ExpImpDir() + "/ascii.txt";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::vector<std::string>& row : job.rows) {
    for (std::size_t c = 0; c < row.size(); ++c) out << (c > 0 ? "\t" : "") << row[c];
    out << "\r\n";
  }
  out.flush();
  if (!out) throw base::Exception("Δεν μπορώ να γράψω το αρχείο "_gr + path);
  return path;
}

void PrintStringGrid(const StringGridPrintJob& job) {
  if (InstalledPrinter()) {
    InstalledPrinter()(job);
    return;
  }
  base::ShowMess("Τα στοιχεία γράφτηκαν στο αρχείο : "_gr + WriteGridTextFile(job));
}

}  // namespace mero::ui
