// The server's Oracle formats, which a client reaches with TO_DATE, TO_CHAR
// and TO_NUMBER over any value and any format it writes: either an Oracle
// error or a result, never undefined behaviour.
//
// Input: the first byte chooses the function, the next eight are the value
// (a double, when the function takes one); the rest is the text and, after a
// byte 0, the format.

#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "server/database.h"
#include "server/oracle_formats.h"

using namespace mero;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t choice = in.Byte() % 4;
  double value = 0;
  const std::string_view bits = in.Take(sizeof value);
  std::memcpy(&value, bits.data(), bits.size());
  const std::string_view text = in.Until('\0');
  const std::string_view format = in.Rest();
  try {
    switch (choice) {
      case 0:
        (void)server::OracleToDate(text, format.empty() ? server::kDefaultDateInput : format);
        break;
      case 1:
        (void)server::OracleDateToChar(value, format.empty() ? server::kDefaultDateOutput : format);
        break;
      case 2:
        (void)server::OracleNumberToChar(value);
        (void)server::OracleNumberToChar(value, format);
        break;
      default: {
        server::OracleNumber number;
        (void)server::ParseOracleNumber(text, number);
        (void)server::IsDateFormat(format);
        break;
      }
    }
  } catch (const server::SqlError& e) {
    FUZZ_CHECK(std::string_view(e.what()).substr(0, 4) == "ORA-");
  }
  return 0;
}
