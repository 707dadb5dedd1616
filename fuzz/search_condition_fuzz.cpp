// What a user types into a search box becomes part of the WHERE clause the
// server runs. Whatever the text, the condition must be one the server's own
// parser reads as a condition on the column, inside one query: a typed
// quote may never end the literal it stands in.
//
// Input: one byte choosing the search kind and LIKE, then the typed text.

#include <string>

#include "data/search_condition.h"
#include "fuzz_support.h"
#include "server/database.h"
#include "server/sql_parser.h"

using namespace mero;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t choice = in.Byte();
  static const int kKinds[] = {data::skText, data::skInteger, data::skNumber, data::skDate, data::skYear, 7};
  const int kind = kKinds[choice % std::size(kKinds)];
  const bool forceLike = (choice & 0x80) != 0;
  const std::string text(in.Rest());
  // No SQL text may hold a NUL byte: the server refuses any that does.
  if (text.find('\0') != std::string::npos) return 0;

  const std::string condition = data::SearchCondition(text, "NAME", kind, forceLike);
  if (condition.empty()) return 0;
  const std::string sql = "select ID from UORG where " + condition + " order by ID";
  try {
    server::SqlParser parser(sql);
    FUZZ_CHECK(parser.ParseSelect() != nullptr);
  } catch (const server::SqlError& e) {
    std::fprintf(stderr, "condition the server cannot read: %s\n%s\n", sql.c_str(), e.what());
    FUZZ_CHECK(false);
  }
  return 0;
}
