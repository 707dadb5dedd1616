#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/client/link_dataset.h"
#include "link/codec/result_set.h"

namespace mero::app {

// Cuts a script into statements the way an operator's SQL shell does: a
// statement ends with ";" at the end of a line (outside quotes) or with a
// line holding only "/". A statement that starts with BEGIN or DECLARE (an
// anonymous block) keeps its inner ";" and ends only with "/" or with
// "END;" at the end of a line. Blank statements are dropped.
class StatementSplitter {
 public:
  // Adds a line; returns the statement it completes, if any.
  std::optional<std::string> AddLine(std::string_view line);
  // What is left at the end of the input, if anything.
  std::optional<std::string> Finish();

 private:
  std::string current_;
};

// A dataset that only keeps what a select returns: the field definitions and
// the rows, decoded into a RowSet.
class ResultDataset : public link::LinkDataset {
 public:
  void LinkFieldDefs(std::string_view payload) override;
  void LinkRows(std::string_view payload, std::int32_t packetArgument) override;
  void LinkPacketCursor(std::int32_t cursor) override { cursor_ = cursor; }
  void LinkReceivedParams(int, const link::TLinkParamList&) override {}
  void LinkParams(const link::TLinkParamList&) override {}
  void LinkRowsAffected(int rows) override { rowsAffected_ = rows; }
  void LinkSocketDestroyed(link::TLinkClientSocket&) override {}

  const link::RowSet& Rows() const { return rows_; }
  link::RowSet& rows() { return rows_; }
  int RowsAffected() const { return rowsAffected_; }

 private:
  link::RowSet rows_;
  std::int32_t cursor_ = 0;
  int rowsAffected_ = -1;
};

// The rows as an aligned table in UTF-8: a header of the column names, a
// rule, one line per row (NULL shown as empty), then "(n rows)".
std::string FormatTable(const link::RowSet& rows);

// True for statements that return rows (SELECT, WITH).
bool IsQuery(std::string_view statement);

}  // namespace mero::app
