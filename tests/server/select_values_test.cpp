// What a select hands the client, value by value: numbers and dates exactly
// as their text form reads, texts cleaned of the link's control bytes, the
// same bytes whether a big result is fetched at once or in packets.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/encoding.h"
#include "link/codec/result_set.h"
#include "link/codec/result_set_encoder.h"
#include "sql_session.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

// A value as SQLite stores it: nothing (NULL), an integer, a real or a text.
using Stored = std::variant<std::monostate, std::int64_t, double, std::string>;
// What the client holds: NULL, an integer, a double (compared bit for bit) or
// windows-1253 text.
using Held = std::variant<std::monostate, std::int64_t, double, std::string>;

struct Case {
  Stored stored;
  Held held;
};

constexpr double kDay = 86400;

// Per column, the stored values and what the client must read; row r of the
// table holds case r % size of every column.
const std::vector<Case> kIntegers = {
    {std::int64_t{2147483647}, std::int64_t{2147483647}},
    {std::int64_t{-2147483648LL}, std::int64_t{-2147483648LL}},
    {std::monostate{}, std::monostate{}},
    {std::int64_t{0}, std::int64_t{0}},
};
// NUMBER: whole values are stored as integers and travel as their digits.
const std::vector<Case> kNumbers = {
    {std::int64_t{5000000000LL}, 5e9},
    {std::int64_t{-5000000000LL}, -5e9},
    {std::int64_t{123456789012345LL}, 123456789012345.0},
    {std::int64_t{9007199254740993LL}, 9007199254740992.0},  // 2^53 + 1 reads as the nearest double
    {19.99, 19.99},
    {0.1 + 0.2, 0.3},
    {std::monostate{}, std::monostate{}},
    {std::int64_t{0}, 0.0},
};
// FLOAT: every value stored as a real, travelling as a double.
const std::vector<Case> kFloats = {
    {-0.0, 0.0},  // the text of negative zero is empty: it reads as zero
    {1e-20, 0.0}, {1e20, 1e20}, {1.0 / 3.0, 0.333333333333333},
    {5e9, 5e9},   {-7.5, -7.5}, {std::monostate{}, std::monostate{}},
};
const std::vector<Case> kDates = {
    {45356.0, 45356.0},                                                             // 05/03/2024 at midnight
    {0.0, 0.0},                                                                     // no date, but not NULL
    {-1.25, -1.25},                                                                 // 29/12/1899 06:00
    {-36522 - (18 * 3600 + 30 * 60 + 15) / kDay, -36522.7710069444},                // 01/01/1800 18:30:15
    {45356 + (14 * 3600000 + 3 * 60000 + 7123) / (kDay * 1000), 45356.5854991088},  // 14:03:07.123
    {45356 + (kDay * 1000 - 1) / (kDay * 1000), 45356.9999999884},                  // 23:59:59.999
    {2958465 + 86399 / kDay, 2958465.99998843},                                     // 31/12/9999 23:59:59
    {std::monostate{}, std::monostate{}},
};
const std::vector<Case> kTexts = {
    {std::string("Τόνερ μαύρο"), "Τόνερ μαύρο"_gr},
    {std::string("abcdefgh\x04ijk"), std::string("abcdefgh?ijk")},
    {std::string("\x03"), std::string("?")},  // would read as NULL
    {std::string("x\x05y\x06"), std::string("x?y?")},
    {std::monostate{}, std::monostate{}},
    {std::string("Kyocera FS-1035"), std::string("Kyocera FS-1035")},
};
const std::vector<const std::vector<Case>*> kColumns = {&kIntegers, &kNumbers, &kFloats, &kDates, &kTexts};

void Bind(sqlite3_stmt* st, int index, const Stored& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) {
    sqlite3_bind_int64(st, index, *i);
  } else if (const auto* d = std::get_if<double>(&v)) {
    sqlite3_bind_double(st, index, *d);
  } else if (const auto* t = std::get_if<std::string>(&v)) {
    sqlite3_bind_text(st, index, t->data(), static_cast<int>(t->size()), SQLITE_TRANSIENT);
  } else {
    sqlite3_bind_null(st, index);
  }
}

class SelectValues : public ::testing::Test {
 protected:
  static constexpr int kRows = 3000;

  SelectValues() : s_(dir_.File("v.db"), server::Database::Mode::Create) {
    s_.Setup(test::kTestSchema);
    s_.Setup(
        "CREATE TABLE VALS(ID INTEGER PRIMARY KEY, I INTEGER, X NUMBER, F FLOAT, D DATE, T VARCHAR2(20));"
        "CREATE TABLE WIDE(ID INTEGER PRIMARY KEY, I INTEGER);");
    s_.Setup("BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(s_.db.Handle(), "INSERT INTO VALS VALUES (?1, ?2, ?3, ?4, ?5, ?6)", -1, &st, nullptr);
    for (int r = 0; r < kRows; ++r) {
      sqlite3_bind_int(st, 1, r + 1);
      for (std::size_t c = 0; c < kColumns.size(); ++c) {
        const std::vector<Case>& cases = *kColumns[c];
        Bind(st, static_cast<int>(c) + 2, cases[static_cast<std::size_t>(r) % cases.size()].stored);
      }
      EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    // One integer past 32 bits, deep inside a big result.
    sqlite3_prepare_v2(s_.db.Handle(), "INSERT INTO WIDE VALUES (?1, ?2)", -1, &st, nullptr);
    for (int r = 1; r <= kRows; ++r) {
      sqlite3_bind_int(st, 1, r);
      sqlite3_bind_int64(st, 2, r == 2500 ? 2147483648LL : r);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    s_.Setup("COMMIT");
    s_.Engine();
  }

  // The rows payload of a select, fetched at once or in packets of `packet` rows.
  std::string Payload(const std::string& sql, std::int64_t packet = -1) {
    std::unique_ptr<server::SelectCursor> c = s_.Engine().OpenSelect(sql);
    std::string payload;
    link::ResultSetEncoder out(payload);
    do {
      c->Fetch(out, packet);
    } while (!c->Done());
    out.Finish();
    return payload;
  }

  // Every cell of rows against its case.
  static void ExpectHeld(const test::Rows& rows, std::size_t count) {
    ASSERT_EQ(rows.Count(), count);
    for (std::size_t r = 0; r < count; ++r) {
      for (std::size_t c = 0; c < kColumns.size(); ++c) {
        const std::vector<Case>& cases = *kColumns[c];
        const Held& want = cases[r % cases.size()].held;
        const std::size_t col = c + 1;
        const std::string where = "row " + std::to_string(r + 1) + " column " + rows.columns[col].name;
        if (std::holds_alternative<std::monostate>(want)) {
          EXPECT_TRUE(rows.set.IsNull(r, col)) << where;
          continue;
        }
        ASSERT_FALSE(rows.set.IsNull(r, col)) << where;
        if (const auto* i = std::get_if<std::int64_t>(&want)) {
          EXPECT_EQ(rows.set.Int(r, col), *i) << where;
        } else if (const auto* d = std::get_if<double>(&want)) {
          EXPECT_EQ(std::bit_cast<std::uint64_t>(rows.set.Double(r, col)), std::bit_cast<std::uint64_t>(*d))
              << where << ": " << rows.set.Double(r, col) << " instead of " << *d;
        } else {
          EXPECT_EQ(rows.set.Text(r, col), std::get<std::string>(want)) << where;
        }
      }
      if (::testing::Test::HasFailure()) return;  // one row's worth of messages is enough
    }
  }

  test::TempDir dir_;
  test::SqlSession s_;
};

TEST_F(SelectValues, NumbersDatesAndTextsArriveAsTheirTextReads) {
  const std::size_t small = 8;  // every case of every column once
  ExpectHeld(s_.Select("select * from VALS where ID <= " + std::to_string(small)), small);
}

TEST_F(SelectValues, ABigResultCarriesTheBytesOfOneFetchedInPackets) {
  ExpectHeld(s_.Select("select * from VALS"), kRows);
  EXPECT_EQ(Payload("select * from VALS"), Payload("select * from VALS", 500));
  EXPECT_EQ(Payload("select T, D, ID from VALS order by ID desc"),
            Payload("select T, D, ID from VALS order by ID desc", 999));
}

TEST_F(SelectValues, AnIntegerPastThirtyTwoBitsFailsTheFetchWhereverItLies) {
  const std::string overflow = "ORA-01455: converting column overflows integer datatype";
  for (const std::int64_t packet : {std::int64_t{-1}, std::int64_t{700}}) {
    std::unique_ptr<server::SelectCursor> c = s_.Engine().OpenSelect("select * from WIDE");
    std::string payload;
    link::ResultSetEncoder out(payload);
    const auto fetch = [&] { c->Fetch(out, packet); };
    std::string error = "<no error>";
    while (error == "<no error>" && !c->Done()) error = test::ErrorOf<server::SqlError>(fetch);
    EXPECT_EQ(error, overflow) << "packets of " << packet;
    EXPECT_EQ(test::ErrorOf<server::SqlError>(fetch), overflow) << "and again on the next fetch";
  }
}

}  // namespace
