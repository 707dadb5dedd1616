#include "server/sql_dialect.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "base/clock.h"
#include "base/date_time.h"
#include "server/database.h"
#include "server/oracle_errors.h"
#include "server/oracle_formats.h"
#include "server/session_vars.h"
#include "server/utf8_text.h"

namespace mero::server {
namespace {

std::string_view TextOf(sqlite3_value* v) {
  const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return t != nullptr ? std::string_view(t, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

void ResultText(sqlite3_context* ctx, const std::string& text) {
  // Oracle has no empty text: '' is NULL.
  if (text.empty()) {
    sqlite3_result_null(ctx);
  } else {
    sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
}

// The value as a number, the way Oracle reads a text in arithmetic.
double NumberOf(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return sqlite3_value_double(v);
    default: {
      OracleNumber n;
      if (!ParseOracleNumber(TextOf(v), n)) throw SqlError("ORA-01722: invalid number");
      return n.value;
    }
  }
}

void ResultNumber(sqlite3_context* ctx, double v) {
  if (std::fabs(v) < 9.0e15 && v == std::trunc(v)) {
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(v));
  } else {
    sqlite3_result_double(ctx, v);
  }
}

// Runs a function body; an Oracle error becomes the statement's error.
template <typename F>
void Guard(sqlite3_context* ctx, F&& body) {
  try {
    body();
  } catch (const SqlError& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  }
}

bool AnyNull(int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
  }
  return false;
}

void SysDate(sqlite3_context* ctx, int, sqlite3_value**) {
  // Oracle's DATE holds whole seconds.
  const auto ms = static_cast<long long>(std::llround(base::Now() * 86400000.0));
  const long long seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
  sqlite3_result_double(ctx, static_cast<double>(seconds) / 86400.0);
}

double TruncDate(double value, std::string_view format) {
  std::string f;
  for (char c : format) f.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
  const double day = std::trunc(value);
  if (f == "DD" || f == "DDD" || f == "J") return day;
  CheckOracleDate(value);
  const base::DateParts d = base::DecodeDate(day);
  if (f == "MM" || f == "MON" || f == "MONTH" || f == "RM") return base::EncodeDate(d.year, d.month, 1);
  if (f == "YYYY" || f == "YEAR" || f == "YY" || f == "Y" || f == "RRRR" || f == "RR" || f == "SYYYY") {
    return base::EncodeDate(d.year, 1, 1);
  }
  const double seconds = std::round((value - day) * 86400.0);
  if (f == "HH" || f == "HH24" || f == "HH12") return day + std::floor(seconds / 3600.0) / 24.0;
  if (f == "MI") return day + std::floor(seconds / 60.0) / 1440.0;
  throw SqlError("ORA-01899: bad precision specifier");
}

void Trunc(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (AnyNull(argc, argv)) {
      sqlite3_result_null(ctx);
      return;
    }
    if (argc == 1) {
      if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
      }
      ResultNumber(ctx, std::trunc(NumberOf(argv[0])));
      return;
    }
    if (sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
      OracleNumber n;
      if (!ParseOracleNumber(TextOf(argv[1]), n)) {
        ResultNumber(ctx, TruncDate(NumberOf(argv[0]), TextOf(argv[1])));
        return;
      }
    }
    const double places = std::trunc(NumberOf(argv[1]));
    const double scale = std::pow(10.0, places);
    ResultNumber(ctx, std::trunc(NumberOf(argv[0]) * scale) / scale);
  });
}

void ToDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {  // already a date-time number
      sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
      return;
    }
    const std::string_view format =
        argc > 1 && sqlite3_value_type(argv[1]) != SQLITE_NULL ? TextOf(argv[1]) : std::string_view(kDefaultDateInput);
    sqlite3_result_double(ctx, OracleToDate(TextOf(argv[0]), format));
  });
}

std::string NumberText(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_INTEGER) return std::to_string(sqlite3_value_int64(v));
  return OracleNumberToChar(sqlite3_value_double(v));
}

void ToChar(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
    if (argc > 1 && sqlite3_value_type(argv[1]) != SQLITE_NULL) {
      const std::string_view format = TextOf(argv[1]);
      if (IsDateFormat(format)) {
        ResultText(ctx, OracleDateToChar(NumberOf(argv[0]), format));
      } else {
        ResultText(ctx, OracleNumberToChar(NumberOf(argv[0]), format));
      }
      return;
    }
    if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
      ResultText(ctx, std::string(TextOf(argv[0])));
      return;
    }
    ResultText(ctx, NumberText(argv[0]));
  });
}

void ToNumber(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    switch (sqlite3_value_type(argv[0])) {
      case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
      case SQLITE_INTEGER:
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
      case SQLITE_FLOAT:
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
      default: {
        OracleNumber n;
        if (!ParseOracleNumber(TextOf(argv[0]), n)) throw SqlError("ORA-01722: invalid number");
        if (n.isInteger) {
          sqlite3_result_int64(ctx, n.integer);
        } else {
          sqlite3_result_double(ctx, n.value);
        }
      }
    }
  });
}

void Nvl(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) != SQLITE_NULL ? argv[0] : argv[1]);
}

template <bool Upper>
void ChangeCase(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
    const std::string_view text = TextOf(argv[0]);
    ResultText(ctx, Upper ? Utf8Upper(text) : Utf8Lower(text));
  });
}

void Like(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (AnyNull(argc, argv)) {
      sqlite3_result_null(ctx);
      return;
    }
    char32_t escape = 0;
    if (argc > 2) {
      const std::string_view e = TextOf(argv[2]);
      std::size_t pos = 0;
      if (e.empty() || (escape = NextCodePoint(e, pos), pos != e.size())) {
        throw SqlError("ORA-01425: escape character must be character string of length 1");
      }
    }
    // SQLite passes the pattern first: X LIKE Y is like(Y, X).
    sqlite3_result_int(ctx, OracleLike(TextOf(argv[0]), TextOf(argv[1]), escape) ? 1 : 0);
  });
}

void Concat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    std::string out;
    for (int i = 0; i < argc; ++i) {
      switch (sqlite3_value_type(argv[i])) {
        case SQLITE_NULL:
          break;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
          out += NumberText(argv[i]);
          break;
        default:
          out += TextOf(argv[i]);
      }
    }
    ResultText(ctx, out);
  });
}

// The value as the text Oracle pads: texts as they are, numbers as TO_CHAR
// writes them.
std::string PadText(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return NumberText(v);
    default:
      return std::string(TextOf(v));
  }
}

// The longest text a VARCHAR2 holds in SQL; LPAD and RPAD stop there.
constexpr double kMaxPadWidth = 4000;

// LPAD(text, n [, pad]) and RPAD: the text cut to its first n characters, or
// filled up to n characters with the pad (a blank unless given), repeated as
// often as it takes, its last repetition cut; on the left for LPAD, on the
// right for RPAD. n counts characters, not bytes, and loses its fraction;
// NULL anywhere, or n below 1, gives NULL.
template <bool Left>
void Pad(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Guard(ctx, [&] {
    if (AnyNull(argc, argv)) {
      sqlite3_result_null(ctx);
      return;
    }
    const double n = std::min(std::trunc(NumberOf(argv[1])), kMaxPadWidth);
    const std::string text = PadText(argv[0]);
    const std::string pad = argc > 2 ? PadText(argv[2]) : std::string(" ");
    if (!(n >= 1) || text.empty() || pad.empty()) {  // '' is NULL
      sqlite3_result_null(ctx);
      return;
    }
    const auto width = static_cast<std::size_t>(n);
    std::size_t chars = 0;
    std::size_t pos = 0;
    while (pos < text.size() && chars < width) {
      NextCodePoint(text, pos);
      ++chars;
    }
    if (pos < text.size() || chars == width) {
      ResultText(ctx, text.substr(0, pos));
      return;
    }
    std::string fill;
    for (std::size_t p = 0; chars < width; ++chars) {
      const std::size_t start = p;
      NextCodePoint(pad, p);
      fill.append(pad, start, p - start);
      if (p >= pad.size()) p = 0;
    }
    ResultText(ctx, Left ? fill + text : text + fill);
  });
}

struct FunctionDef {
  const char* name;
  int args;
  bool deterministic;
  void (*fn)(sqlite3_context*, int, sqlite3_value**);
};

constexpr FunctionDef kFunctions[] = {
    {"MERO_SYSDATE", 0, false, SysDate},
    {"TRUNC", 1, true, Trunc},
    {"TRUNC", 2, true, Trunc},
    {"TO_DATE", 1, true, ToDate},
    {"TO_DATE", 2, true, ToDate},
    {"TO_CHAR", 1, true, ToChar},
    {"TO_CHAR", 2, true, ToChar},
    {"TO_NUMBER", 1, true, ToNumber},
    {"NVL", 2, true, Nvl},
    {"UPPER", 1, true, ChangeCase<true>},
    {"LOWER", 1, true, ChangeCase<false>},
    {"like", 2, true, Like},
    {"like", 3, true, Like},
    {"MERO_CONCAT", -1, true, Concat},
    {"LPAD", 2, true, Pad<true>},
    {"LPAD", 3, true, Pad<true>},
    {"RPAD", 2, true, Pad<false>},
    {"RPAD", 3, true, Pad<false>},
};

}  // namespace

bool OracleLike(std::string_view pattern, std::string_view text, char32_t escape) {
  // Oracle refuses a bad pattern whatever the text.
  if (escape != 0) {
    for (std::size_t k = 0; k < pattern.size();) {
      if (NextCodePoint(pattern, k) != escape) continue;
      const char32_t next = k < pattern.size() ? NextCodePoint(pattern, k) : 0;
      if (next != '%' && next != '_' && next != escape) {
        throw SqlError("ORA-01424: missing or illegal character following the escape character");
      }
    }
  }
  std::size_t p = 0;
  std::size_t t = 0;
  std::size_t starP = std::string_view::npos;  // pattern position after the last %
  std::size_t starT = 0;                       // text position that % has eaten up to
  for (;;) {
    if (p < pattern.size()) {
      std::size_t next = p;
      char32_t pc = NextCodePoint(pattern, next);
      bool literal = false;
      if (escape != 0 && pc == escape) {
        pc = NextCodePoint(pattern, next);  // checked above: %, _ or the escape itself
        literal = true;
      }
      if (!literal && pc == '%') {
        starP = next;
        starT = t;
        p = next;
        continue;
      }
      if (t < text.size()) {
        std::size_t tnext = t;
        const char32_t tc = NextCodePoint(text, tnext);
        if ((!literal && pc == '_') || pc == tc) {
          p = next;
          t = tnext;
          continue;
        }
      }
    } else if (t >= text.size()) {
      return true;
    }
    // No match here: let the last % eat one more character.
    if (starP == std::string_view::npos || starT >= text.size()) return false;
    NextCodePoint(text, starT);
    t = starT;
    p = starP;
  }
}

void RegisterSqlDialect(Database& db, SessionVars& /*vars*/) {
  sqlite3* h = db.Handle();
  // A misspelt "NAME" must fail as a column, not pass as the text 'NAME'.
  sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DML, 0, static_cast<int*>(nullptr));
  for (const FunctionDef& f : kFunctions) {
    const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
    const int rc = sqlite3_create_function_v2(h, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw SqlError(OracleErrorText(h, rc, f.name));
  }
}

}  // namespace mero::server
