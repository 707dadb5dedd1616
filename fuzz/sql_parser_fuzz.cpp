// The server's SQL parser on any text a client may send, as an execute
// request (a script of statements) and as a select request (one query).
// Anything but an Oracle error, or a recursion that runs away, is a finding.

#include <string>

#include "fuzz_support.h"
#include "server/database.h"
#include "server/sql_parser.h"

using namespace mero;

namespace {

void CheckOracleText(const server::SqlError& e) { FUZZ_CHECK(std::string_view(e.what()).substr(0, 4) == "ORA-"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  try {
    server::SqlParser parser(sql);
    (void)parser.ParseScript();
  } catch (const server::SqlError& e) {
    CheckOracleText(e);
  }
  try {
    server::SqlParser parser(sql);
    FUZZ_CHECK(parser.ParseSelect() != nullptr);
  } catch (const server::SqlError& e) {
    CheckOracleText(e);
  }
  return 0;
}
