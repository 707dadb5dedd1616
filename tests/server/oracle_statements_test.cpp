// Every statement the client sends, through the translator and the engine,
// against the server's schema and demo data, in the order of a working
// session; then the rows and effects the client relies on.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "client_statements.h"
#include "link/codec/field_type.h"
#include "link/codec/param_list.h"
#include "server/catalog.h"
#include "server/database.h"
#include "server/oracle_formats.h"
#include "server/oracle_translator.h"
#include "server/schema.h"
#include "sql_session.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

const base::TDateTime kToday = base::EncodeDate(2024, 3, 5);

class ClientStatementsTest : public ::testing::Test {
 protected:
  ClientStatementsTest()
      : clock_(std::make_shared<base::FixedClock>(kToday + 10.0 / 24)),
        s_(dir_.File("demo.db"), server::Database::Mode::Create) {
    server::CreateSchema(s_.db);
    server::LoadDemoData(s_.db, kToday);
    s_.Engine();
  }

  std::string Raw(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(s_.db.Handle(), sql.c_str(), -1, &st, nullptr);
    std::string out = "<none>";
    if (sqlite3_step(st) == SQLITE_ROW) {
      const auto* t = sqlite3_column_text(st, 0);
      out = t != nullptr ? reinterpret_cast<const char*>(t) : "<null>";
    }
    sqlite3_finalize(st);
    return out;
  }

  std::string Fill(const std::string& sql) {
    return test::FillClientStatement(sql, kToday, [&](const std::string& q) { return Raw(q); });
  }

  // One column of a result, row by row.
  static std::vector<std::string> Column(const test::Rows& r, std::size_t col) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < r.Count(); ++i) out.push_back(r.Cell(i, col));
    return out;
  }
  static std::size_t Index(const test::Rows& r, const std::string& name) {
    for (std::size_t i = 0; i < r.columns.size(); ++i) {
      if (r.columns[i].name == name) return i;
    }
    ADD_FAILURE() << "no column " << name;
    return 0;
  }

  test::TempDir dir_;
  base::ScopedClock clock_;
  test::SqlSession s_;
};

TEST_F(ClientStatementsTest, EveryStatementTranslates) {
  const std::shared_ptr<const server::Catalog> catalog = server::LoadCatalog(s_.db);
  const server::OracleTranslator translator(*catalog);
  for (const test::ClientStatement& c : test::ClientStatements()) {
    const std::string sql = Fill(c.sql);
    const std::string error = test::ErrorOf<server::SqlError>([&] {
      if (c.query) {
        translator.TranslateQuery(sql);
      } else {
        translator.TranslateScript(sql);
      }
    });
    // Only what the database refuses fails; the translation never does.
    EXPECT_EQ(error, "<no error>") << c.origin;
  }
}

TEST_F(ClientStatementsTest, AWorkingSessionGetsTheRowsAndEffectsItReliesOn) {
  link::TLinkParamList memo;
  memo.AddTyped("MemoCOMM", link::ftMemo, link::ptInput).SetMemo("Παράδοση πρωί"_gr);
  std::map<std::string, test::Rows> rows;
  for (const test::ClientStatement& c : test::ClientStatements()) {
    const std::string sql = Fill(c.sql);
    std::string error = test::ErrorOf<server::SqlError>([&] {
      if (c.query) {
        rows[c.origin] = s_.Select(sql);
      } else {
        s_.Execute(sql, sql.find(":MemoCOMM") != std::string::npos ? &memo : nullptr);
      }
    });
    if (*c.error == '\0') {
      EXPECT_EQ(error, "<no error>") << c.origin << ": " << sql;
    } else {
      EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error) << c.origin << ": " << error;
      EXPECT_FALSE(s_.Engine().InTransaction()) << c.origin;
    }
  }
  EXPECT_FALSE(s_.Engine().InTransaction());  // every change was followed by its commit
  auto at = [&](const char* origin) -> const test::Rows& { return rows[origin]; };
  using V = std::vector<std::string>;

  // start-up
  const test::Rows& rights = at("user rights");
  ASSERT_EQ(rights.Count(), 1U);
  EXPECT_EQ(rights.Cell(0, 0), "-");
  EXPECT_EQ(rights.Cell(0, 2), "D04;D02;");
  EXPECT_EQ(at("super-user buttons").Cell(0, 0), "0");
  EXPECT_EQ(at("super-user buttons: admin").Cell(0, 0), "1");
  EXPECT_EQ(at("super-user buttons").columns[0].fieldType, link::ftInteger);
  EXPECT_EQ(Column(at("contract open today"), 0), V{"2"});
  EXPECT_EQ(Column(at("department box"), 0), (V{"D01", "D02", "D04", "D03"}));

  // query utilities
  EXPECT_EQ(at("default query").Count(), 0U);
  EXPECT_EQ(at("default query, NULL parameter").Count(), 0U);
  EXPECT_EQ(at("default query").columns.front().name, "ID");
  EXPECT_EQ(Column(at("cache: COOP"), 0), V{"MERO"});
  EXPECT_EQ(at("cache: QAPOL").Count(), 3U);
  EXPECT_EQ(at("cache: parameters").Count(), 6U);
  EXPECT_EQ(at("cache: one parameter").Count(), 1U);
  EXPECT_EQ(Column(at("cache: value not cached"), 0), V{"<null>"});
  EXPECT_EQ(Column(at("AddSQLWhere"), 0), V{"1"});
  EXPECT_EQ(Column(at("LookupStr"), 0), V{"Τμήμα Γραμματείας"});
  EXPECT_EQ(Column(at("server date"), 0), V{"05/03/2024"});
  EXPECT_EQ(at("server date").columns[0].fieldType, link::ftDateTime);
  EXPECT_EQ(at("server date").columns[0].name, "TRUNC(SYSDATE)");
  EXPECT_EQ(Column(at("may order"), 0), V{"<null>"});
  EXPECT_EQ(Column(at("may order: nikos"), 0), V{"Δεν είστε υπεύθυνος toner σε μονάδα που δέχεται παραγγελίες."});

  // choosing a unit and a delivery point
  EXPECT_EQ(at("lookup: columns").Count(), 0U);
  EXPECT_EQ(at("lookup: columns").columns.size(), at("lookup: units").columns.size());
  EXPECT_EQ(Column(at("lookup: units"), 0), (V{"0.02.02", "0.04.02"}));
  EXPECT_EQ(Column(at("lookup: units, typed"), 0), (V{"0.02.01", "0.02.02"}));
  EXPECT_EQ(Column(at("delivery points of a unit"), 0), V{"2"});
  EXPECT_EQ(Column(at("delivery points of a unit without any"), 0), V{"0"});
  EXPECT_EQ(Column(at("lookup: delivery points"), 0), (V{"001", "002"}));
  const test::Rows& budget = at("unit budget");
  EXPECT_EQ(budget.Cell(0, Index(budget, "VORD1")), "985");
  EXPECT_EQ(budget.Cell(0, Index(budget, "VLIM1")), "1000");
  EXPECT_EQ(budget.columns[Index(budget, "VORD1")].fieldType, link::ftFloat);

  // the new requisition
  EXPECT_EQ(Column(at("editor: contracts today"), 0), V{"1"});
  EXPECT_EQ(Column(at("editor: counter"), 0), V{"12"});
  EXPECT_EQ(Column(at("sequence"), 0), V{"101"});
  const test::Rows& header = at("editor: header");
  ASSERT_EQ(header.Count(), 1U);
  EXPECT_EQ(header.Cell(0, Index(header, "STATE")), "1");
  EXPECT_EQ(header.Cell(0, Index(header, "NODELT")), "12");
  EXPECT_EQ(header.Cell(0, Index(header, "DTIN")), "05/03/2024");
  EXPECT_EQ(header.columns[Index(header, "DTIN")].fieldType, link::ftDateTime);
  EXPECT_EQ(header.columns[Index(header, "DELIV_S")].size, 250);
  EXPECT_EQ(at("editor: budget").Cell(0, Index(at("editor: budget"), "VORD1")), "985");
  EXPECT_EQ(at("lookup: printers").Count(), 10U);
  EXPECT_EQ(Column(at("lookup: consumables"), 0), (V{"201", "202", "203"}));
  const test::Rows& lines = at("editor: lines");
  ASSERT_EQ(lines.Count(), 2U);  // the contract lists the consumable twice
  EXPECT_EQ(Column(lines, Index(lines, "CODE")),
            (V{"Toner HP 59A μαύρο (CF259A) γνήσιο", "Toner συμβατό τύπου HP 59A μαύρο"}));
  EXPECT_EQ(Column(lines, Index(lines, "XRUID")), (V{"maria", "maria"}));
  EXPECT_EQ(lines.columns[Index(lines, "GEN")].size, 1);  // a computed column typed by the schema
  const test::Rows& finalised = at("editor: header finalised");
  EXPECT_EQ(finalised.Cell(0, Index(finalised, "STATE")), "2");
  EXPECT_EQ(finalised.Cell(0, Index(finalised, "DTFIN")), "05/03/2024");
  EXPECT_EQ(finalised.Cell(0, Index(finalised, "VALTOT")), "178");
  EXPECT_EQ(finalised.Cell(0, Index(finalised, "COMM")), "Παράδοση πρωί");
  EXPECT_EQ(finalised.Cell(0, Index(finalised, "DELIV_S")), "Κτίριο Διοίκησης, ισόγειο");
  EXPECT_EQ(Raw("SELECT count(*) FROM UP_DELTD WHERE MID = 101"), "1");

  // later stages
  EXPECT_EQ(Raw("SELECT STATE FROM UP_DELT WHERE ID = 3"), "6");
  EXPECT_EQ(Raw("SELECT STATE FROM UP_DELT WHERE ID = 7"), "7");
  EXPECT_EQ(Raw("SELECT DTRECEIVED FROM UP_DELT WHERE ID = 7"), "45356.4375");
  EXPECT_EQ(Raw("SELECT count(*) FROM UP_DELTD WHERE MID = 2 AND QTYDEL <> QTY"), "0");
  EXPECT_EQ(Raw("SELECT STATE FROM UP_DELT WHERE ID = 2"), "8");

  // the register
  EXPECT_EQ(Column(at("register: mine"), 0), (V{"1", "2", "3", "4", "5", "6", "7", "8", "11", "101"}));
  EXPECT_EQ(Column(at("register: search"), 0), (V{"2", "3", "4", "5", "101"}));
  EXPECT_EQ(Column(at("register: stage and day"), 0), V{"4"});
  EXPECT_EQ(Column(at("register: year"), 0), (V{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "101"}));
  EXPECT_EQ(Raw("SELECT count(*) FROM UP_DELT WHERE ID = 4"), "0");
  EXPECT_EQ(Raw("SELECT count(*) FROM UP_DELTD WHERE MID = 4"), "0");

  // the workbench
  const test::Rows& printers = at("workbench: printers");
  EXPECT_EQ(printers.Count(), 10U);
  EXPECT_EQ(printers.columns.back().name, "CONS");
  EXPECT_EQ(printers.columns.back().fieldType, link::ftInteger);
  EXPECT_EQ(Column(at("workbench: models"), 0), (V{"HPM404", "HPP1102"}));
  const test::Rows& cons = at("workbench: consumables");
  EXPECT_EQ(cons.Count(), 36U);  // the replaced TN-2410 is left out
  std::size_t unused = cons.Count();
  for (std::size_t i = 0; i < cons.Count(); ++i) {
    if (cons.Cell(i, Index(cons, "ID")) == "37") unused = i;
  }
  ASSERT_LT(unused, cons.Count());
  EXPECT_EQ(cons.Cell(unused, Index(cons, "PRCNT")), "0");
  EXPECT_EQ(cons.Cell(unused, Index(cons, "MODELCNT")), "0");
  EXPECT_EQ(cons.Cell(unused, Index(cons, "SUMQ")), "<null>");
  EXPECT_EQ(cons.Cell(unused, Index(cons, "VQ")), "0");
  EXPECT_EQ(cons.columns[Index(cons, "PRCNT")].fieldType, link::ftInteger);
  EXPECT_EQ(cons.columns[Index(cons, "VQ")].fieldType, link::ftFloat);
  EXPECT_EQ(Raw("SELECT OFFICE FROM UP_PRINTERS WHERE ID = 'P008'"), "Γραφείο 12, ισόγειο (παράθυρο)");
  EXPECT_EQ(Raw("SELECT COSTPP FROM UP_CONS WHERE ID = 1"), "2.5");
  EXPECT_EQ(Raw("SELECT TEL1 FROM UORG WHERE ID = '0.02.02'"), "210 3689199");

  // requirements and the printers window
  const test::Rows& req = at("requirements of a unit");
  EXPECT_EQ(req.Count(), 13U);
  for (std::size_t i = 0; i < req.Count(); ++i) {
    EXPECT_EQ(std::stod(req.Cell(i, Index(req, "CLC_YPOL"))),
              std::stod(req.Cell(i, Index(req, "QTY"))) - std::stod(req.Cell(i, Index(req, "CLC_Q3"))));
  }
  EXPECT_EQ(req.columns[Index(req, "CLC_Q3")].fieldType, link::ftFloat);
  EXPECT_EQ(at("requirements of a printer").Count(), 2U);
  const test::Rows& box = at("printers: unit box");
  EXPECT_EQ(Column(box, 1), (V{"0.02.02-Τμήμα Γραμματείας", "0.04.02-Τμήμα Φυσικής"}));
  EXPECT_EQ(box.columns[1].name, "ID||'-'||NAME");
  EXPECT_EQ(box.columns[1].fieldType, link::ftString);
  EXPECT_EQ(box.columns[1].size, 25);
  EXPECT_EQ(Column(at("printers: by unit"), 0), (V{"P008", "P009"}));
  EXPECT_EQ(at("printers: no unit").Count(), 0U);

  // the registers
  EXPECT_EQ(Column(at("delivery points"), 0), (V{"001", "002", "003", "004", "005", "006"}));
  EXPECT_EQ(Column(at("units"), 0), V{"0.02.02"});
  EXPECT_EQ(Column(at("printer models"), 0), (V{"HPM479", "HPM404", "HPP1102", "HPOJ9010"}));
  EXPECT_EQ(at("contract consumables").Count(), 19U);

  // the update transaction: the audit knows who, and the variables are clear again
  EXPECT_EQ(Raw("SELECT count(*) FROM MERO_AUDIT WHERE USRID = 'MARIA' AND USRIP = '127.0.0.1' AND "
                "TABLE_NAME = 'UP_DELT' AND ROW_KEY = '8'"),
            "1");
  EXPECT_FALSE(s_.vars.usrid.has_value());
  EXPECT_EQ(Raw("SELECT COMM FROM UP_DELT WHERE ID = 8"), "Με ενημέρωση");
}

}  // namespace
