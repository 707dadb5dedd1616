#pragma once

#include <memory>
#include <string>
#include <vector>

#include "printers/cell_colours.h"

namespace mero::data {
class TField;
class TKZLINK;
}  // namespace mero::data

namespace mero::ui {
class RowValues;
struct CellStyle;
}  // namespace mero::ui

namespace mero::printers {

// A user's printers with the consumables each requires. Opened with a user
// name, an orderer name, or neither: then by unit, over the units the
// current user is toner responsible of.
class PrintersList {
 public:
  static const std::vector<std::string>& PrinterColumns();
  static const std::vector<std::string>& RequirementColumns();

  PrintersList(std::string user, std::string orderer);
  ~PrintersList();
  PrintersList(const PrintersList&) = delete;
  PrintersList& operator=(const PrintersList&) = delete;

  const std::string& User() const { return user_; }
  const std::string& Orderer() const { return orderer_; }
  bool ByUnit() const { return user_.empty() && orderer_.empty(); }

  // The unit box's items ("ID-NAME" TAB ID): the units whose toner
  // responsible names the current user anywhere in the text. Empty when
  // not by unit.
  std::vector<std::string> UnitItems() const;

  // The printer select for the unit chosen (by unit only; none chosen
  // finds nothing).
  std::string PrinterSQL(const std::string& unit) const;
  // Reopens the printers, read-only; the requirements follow the current
  // printer.
  void RunQuery(const std::string& unit);
  int PrinterCount();

  // The requirement select of a printer.
  static std::string RequirementSQL(const std::string& printerId);
  // Reopens the requirements of the current printer (none without one).
  void OpenRequirements();

  data::TKZLINK& Printers() { return *printers_; }
  data::TKZLINK& Requirements() { return *requirements_; }

  // CLC_Q3 aqua when some is counted against the requirement, else grey;
  // CLC_YPOL lime when nothing remains, fuchsia when over.
  static CellColour RequirementColour(const std::string& field, double value);
  static void DrawRequirementCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style);

 private:
  std::string user_;
  std::string orderer_;
  std::unique_ptr<data::TKZLINK> printers_;
  std::unique_ptr<data::TKZLINK> requirements_;
};

}  // namespace mero::printers
