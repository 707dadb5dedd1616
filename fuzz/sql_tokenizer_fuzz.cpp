// The server's SQL tokenizer on any text a client may send: it either fails
// with an Oracle error or gives tokens that lie, in order, inside the text
// and end with End.

#include <string>

#include "fuzz_support.h"
#include "server/database.h"
#include "server/sql_tokenizer.h"

using namespace mero;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  std::vector<server::SqlToken> tokens;
  try {
    tokens = server::TokenizeSql(sql);
  } catch (const server::SqlError& e) {
    FUZZ_CHECK(std::string_view(e.what()).substr(0, 4) == "ORA-");
    return 0;
  }
  FUZZ_CHECK(!tokens.empty() && tokens.back().kind == server::SqlTokenKind::End);
  std::size_t previousEnd = 0;
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    const server::SqlToken& t = tokens[i];
    FUZZ_CHECK(t.kind != server::SqlTokenKind::End);
    FUZZ_CHECK(!t.text.empty());
    FUZZ_CHECK(t.offset >= previousEnd && t.offset + t.text.size() <= sql.size());
    FUZZ_CHECK(t.text.data() == sql.data() + t.offset);
    previousEnd = t.offset + t.text.size();
  }
  (void)server::SqlPosition(sql, size / 2);
  return 0;
}
