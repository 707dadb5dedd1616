#include "data/remote/update_sql_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "data/field_value.h"
#include "support/error_text.h"

using namespace mero;
using namespace mero::base::literals;
using namespace std::string_literals;

namespace {

using base::Variant;
using data::TUpdateEntry;
using data::TUpdateField;
using data::TUpdateValue;

constexpr std::uint16_t Bit(unsigned n) { return static_cast<std::uint16_t>(1U << n); }

// The fields of a requisition header as the dataset would hand them over.
const std::vector<TUpdateField> kDelt = {
    {"ID", link::ftInteger, false},    {"COMM", link::ftString, false},  {"VALTOT", link::ftFloat, false},
    {"DTIN", link::ftDateTime, false}, {"ACTV", link::ftBoolean, false}, {"STATE", link::ftInteger, true},
};

std::vector<TUpdateValue> Values(const std::vector<TUpdateField>& fields, const std::vector<Variant>& values) {
  std::vector<TUpdateValue> out;
  for (std::size_t i = 0; i < values.size(); ++i)
    out.push_back({values[i], data::ValueText(values[i], fields[i].type)});
  return out;
}

TUpdateEntry Modified(const std::vector<Variant>& was, const std::vector<Variant>& now,
                      const std::vector<TUpdateField>& fields = kDelt) {
  return {data::ldModified, Values(fields, was), Values(fields, now)};
}
TUpdateEntry Deleted(const std::vector<Variant>& was, const std::vector<TUpdateField>& fields = kDelt) {
  return {data::ldDeleted, Values(fields, was), {}};
}
TUpdateEntry Inserted(const std::vector<Variant>& now, const std::vector<TUpdateField>& fields = kDelt) {
  return {data::ldInserted, Values(fields, now), Values(fields, now)};
}

data::TUpdateTarget Delt(data::TUpdateMode mode = data::upWhereKeyOnly) {
  data::TUpdateTarget t;
  t.dataSetName = "QDELT";
  t.tableName = "NQ.UP_DELT";
  t.primeFields = {"ID"};
  t.updateMode = mode;
  return t;
}

// The syntax this system's socket has: Oracle, no options, the two masks.
data::TLinkSQLSyntax Oracle(std::uint16_t options = 0) {
  data::TLinkSQLSyntax s;
  s.syntax = link::usOracle;
  s.options = options;
  s.dateMask = "dd/mm/yyyy";
  s.dateTimeMask = "dd/mm/yyyy hh:nn:ss";
  return s;
}

std::string One(const data::TLinkUpdateSQLBuilder& b, const TUpdateEntry& e) {
  link::TLinkParamList longValues;
  return b.Statement(e, longValues);
}

const base::TDateTime kDay = base::EncodeDate(2005, 5, 10);
const std::vector<Variant> kRow = {Variant::Integer(303), Variant::Text("old"),   Variant::Double(12.5),
                                   Variant::Date(kDay),   Variant::Boolean(true), Variant::Integer(1)};

std::vector<Variant> With(std::vector<Variant> row, std::size_t field, Variant value) {
  row[field] = std::move(value);
  return row;
}

TEST(UpdateSQLBuilder, ChangedCommentOfRequisition303IsOneLine) {
  const data::TLinkUpdateSQLBuilder b(Delt(), Oracle(), kDelt);
  const data::TUpdateStatements s = b.Build({Modified(kRow, With(kRow, 1, Variant::Text("Δεύτερος όροφος"_gr)))});
  ASSERT_EQ(s.statements.size(), 1u);
  EXPECT_EQ(data::TLinkUpdateSQLBuilder::RequestText(s.statements, false, "", ""),
            "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = '"s + "Δεύτερος όροφος"_gr + "'  Where NQ.UP_DELT.ID = 303\r\n");
  EXPECT_EQ(s.longValues.Count(), 0);
}

TEST(UpdateSQLBuilder, StatementsOfEachKindOfEntry) {
  const data::TLinkUpdateSQLBuilder b(Delt(), Oracle(), kDelt);
  struct Case {
    const char* name;
    TUpdateEntry entry;
    std::string expected;
  };
  const Case cases[] = {
      {"two changes, in field order",
       Modified(kRow, With(With(kRow, 2, Variant::Double(-0.25)), 1, Variant::Text("O'K"))),
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'O''K',NQ.UP_DELT.VALTOT = -.25  Where NQ.UP_DELT.ID = 303"},
      {"set to NULL", Modified(kRow, With(kRow, 3, Variant::Null())),
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTIN = NULL  Where NQ.UP_DELT.ID = 303"},
      {"date-time with a time", Modified(kRow, With(kRow, 3, Variant::Date(kDay + base::EncodeTime(14, 3, 0, 0)))),
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTIN = '10/05/2005 14:03:00'  Where NQ.UP_DELT.ID = 303"},
      {"whole and zero floats", Modified(kRow, With(kRow, 2, Variant::Double(0))),
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.VALTOT = 0  Where NQ.UP_DELT.ID = 303"},
      {"boolean as its text", Modified(kRow, With(kRow, 4, Variant::Boolean(false))),
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.ACTV = False  Where NQ.UP_DELT.ID = 303"},
      {"only a read-only field changed", Modified(kRow, With(kRow, 5, Variant::Integer(2))), ""},
      {"nothing changed", Modified(kRow, kRow), ""},
      {"deleted", Deleted(kRow), "DELETE FROM NQ.UP_DELT  Where NQ.UP_DELT.ID = 303"},
      {"inserted: a lone CR before Values, NULLs left out",
       Inserted({Variant::Integer(7), Variant::Text("x"), Variant::Double(1000000.5), Variant::Null(),
                 Variant::Boolean(true), Variant::Null()}),
       "Insert Into NQ.UP_DELT (ID,COMM,VALTOT,ACTV)\r Values (7,'x',1000000.5,True)"},
      {"inserted date-time, by its mask",
       Inserted({Variant::Integer(8), Variant::Null(), Variant::Null(), Variant::Date(kDay), Variant::Null(),
                 Variant::Null()}),
       "Insert Into NQ.UP_DELT (ID,DTIN)\r Values (8,'10/05/2005 00:00:00')"},
      {"inserted, not yet posted", TUpdateEntry{data::ldInserted, Values(kDelt, kRow), {}}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(One(b, c.entry), c.expected) << c.name;
}

TEST(UpdateSQLBuilder, SocketOptionsShapeTheText) {
  struct Case {
    const char* name;
    data::TLinkSQLSyntax syntax;
    TUpdateEntry entry;
    std::string expected;
  };
  const std::vector<Variant> quoted = With(kRow, 1, Variant::Text("say \"hi\" o'k"));
  const std::vector<Variant> nullKey = With(kRow, 0, Variant::Null());
  data::TLinkSQLSyntax access = Oracle(Bit(link::ssTableNameInInsertStatments));
  access.syntax = link::usAccess;
  data::TLinkSQLSyntax noMasks = Oracle();
  noMasks.dateMask.clear();
  noMasks.dateTimeMask.clear();
  const Case cases[] = {
      {"quotes in field names", Oracle(Bit(link::ssUseQuotesInFieldNames)), Modified(kRow, quoted),
       R"(UPDATE NQ.UP_DELT SET NQ.UP_DELT."COMM" = 'say "hi" o''k'  Where NQ.UP_DELT."ID" = 303)"},
      {"brackets in field names", Oracle(Bit(link::ssBracketsInFieldNames)), Deleted(kRow),
       "DELETE FROM NQ.UP_DELT  Where NQ.UP_DELT.[ID] = 303"},
      {"no table name in updates", Oracle(Bit(link::ssNoTableNameInUpdateStatements)), Modified(kRow, quoted),
       R"(UPDATE NQ.UP_DELT SET COMM = 'say "hi" o''k'  Where ID = 303)"},
      {"double-quoted strings double their double quotes", Oracle(Bit(link::ssDoubleQuoteStrings)),
       Modified(kRow, quoted),
       R"(UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = "say ""hi"" o'k"  Where NQ.UP_DELT.ID = 303)"},
      {"booleans as integers", Oracle(Bit(link::ssBooleanAsInteger)),
       Modified(kRow, With(kRow, 4, Variant::Boolean(false))),
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.ACTV = 0  Where NQ.UP_DELT.ID = 303"},
      {"no quotes in dates", Oracle(Bit(link::ssNoQuotesInDates)),
       Modified(kRow, With(kRow, 3, Variant::Date(kDay + 1))),
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTIN = 11/05/2005 00:00:00  Where NQ.UP_DELT.ID = 303"},
      {"no masks: Oracle's own date form", noMasks, Modified(kRow, With(kRow, 3, Variant::Date(kDay + 0.5))),
       "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTIN = '10-MAY-2005 12:00:00'  Where NQ.UP_DELT.ID = 303"},
      {"terminated with a semicolon", Oracle(Bit(link::ssTerminateWithSemiColon)), Deleted(kRow),
       "DELETE FROM NQ.UP_DELT  Where NQ.UP_DELT.ID = 303;"},
      {"table name in inserts", Oracle(Bit(link::ssTableNameInInsertStatments)),
       Inserted(With(With(With(kRow, 2, Variant::Null()), 3, Variant::Null()), 4, Variant::Null())),
       "Insert Into NQ.UP_DELT (NQ.UP_DELT.ID,NQ.UP_DELT.COMM)\r Values (303,'old')"},
      {"access: inserts bare and terminated", access,
       Inserted(With(With(With(kRow, 2, Variant::Null()), 3, Variant::Null()), 4, Variant::Null())),
       "Insert Into NQ.UP_DELT (ID,COMM)\r Values (303,'old');"},
      // A key compared with "= NULL" matches no row: the change would be lost
      // without an error.
      {"NULL key without the IS option", Oracle(), Deleted(nullKey),
       "DELETE FROM NQ.UP_DELT  Where NQ.UP_DELT.ID IS NULL"},
      {"NULL key with the IS option", Oracle(Bit(link::ssUseISInNullCompares)), Deleted(nullKey),
       "DELETE FROM NQ.UP_DELT  Where NQ.UP_DELT.ID IS NULL"},
  };
  for (const Case& c : cases) {
    const data::TLinkUpdateSQLBuilder b(Delt(), c.syntax, kDelt);
    EXPECT_EQ(One(b, c.entry), c.expected) << c.name;
  }
}

TEST(UpdateSQLBuilder, WhereByUpdateMode) {
  const std::vector<Variant> now = With(With(kRow, 1, Variant::Text("new")), 2, Variant::Double(3));
  struct Case {
    data::TUpdateMode mode;
    std::string where;
  };
  const Case cases[] = {
      {data::upWhereKeyOnly, "Where NQ.UP_DELT.ID = 303"},
      {data::upWhereChanged, "Where NQ.UP_DELT.ID = 303 AND NQ.UP_DELT.COMM = 'old' AND NQ.UP_DELT.VALTOT = 12.5"},
      // Every data field but the read-only STATE, with the values logged
      // before the change.
      {data::upWhereAll,
       "Where NQ.UP_DELT.ID = 303 AND NQ.UP_DELT.COMM = 'old' AND NQ.UP_DELT.VALTOT = 12.5 AND "
       "NQ.UP_DELT.DTIN = '10/05/2005 00:00:00' AND NQ.UP_DELT.ACTV = True"},
  };
  for (const Case& c : cases) {
    const data::TLinkUpdateSQLBuilder b(Delt(c.mode), Oracle(), kDelt);
    EXPECT_EQ(One(b, Modified(kRow, now)),
              "UPDATE NQ.UP_DELT SET NQ.UP_DELT.COMM = 'new',NQ.UP_DELT.VALTOT = 3  " + c.where)
        << c.mode;
  }
  data::TUpdateTarget twoKeys = Delt();
  twoKeys.primeFields = {"comm", " ID "};  // in list order, names without regard to case or blanks
  EXPECT_EQ(One(data::TLinkUpdateSQLBuilder(twoKeys, Oracle(), kDelt), Deleted(kRow)),
            "DELETE FROM NQ.UP_DELT  Where NQ.UP_DELT.COMM = 'old' AND NQ.UP_DELT.ID = 303");
}

TEST(UpdateSQLBuilder, ValueHookIsAskedFirstWithTheLoggedValuesForTheWhere) {
  data::TLinkSQLSyntax syntax = Oracle();
  std::vector<std::string> asked;
  syntax.customSQLSyntax = [&asked](const link::LinkSQLField& f, std::string& result, bool& handled) {
    asked.push_back(f.name + "=" + f.text);
    if (f.dataType == link::ftDateTime) {
      result = "TO_DATE('" + f.text + "')";
      handled = true;
    }
  };
  const data::TLinkUpdateSQLBuilder b(Delt(data::upWhereChanged), syntax, kDelt);
  EXPECT_EQ(One(b, Modified(kRow, With(kRow, 3, Variant::Date(kDay + 2)))),
            "UPDATE NQ.UP_DELT SET NQ.UP_DELT.DTIN = TO_DATE('12/05/05')  Where NQ.UP_DELT.ID = 303 AND "
            "NQ.UP_DELT.DTIN = TO_DATE('10/05/05')");
  EXPECT_EQ(asked, (std::vector<std::string>{"DTIN=12/05/05", "ID=303", "DTIN=10/05/05"}));
}

TEST(UpdateSQLBuilder, SequenceAndAutoIncrementFields) {
  const std::vector<TUpdateField> fields = {
      {"ID", link::ftInteger, false}, {"NO", link::ftAutoInc, false}, {"NAME", link::ftString, false}};
  data::TUpdateTarget t = Delt();
  t.autoIncrementField = "ID";
  t.oracleSequence = "SEQ_UP_DELT";
  const std::vector<Variant> row = {Variant::Integer(5), Variant::Integer(9), Variant::Text("a")};
  const data::TLinkUpdateSQLBuilder b(t, Oracle(), fields);
  EXPECT_EQ(One(b, Inserted(row, fields)), "Insert Into NQ.UP_DELT (ID,NAME)\r Values (SEQ_UP_DELT.NextVal,'a')");
  // The auto-increment field and ftAutoInc are never set by an UPDATE.
  EXPECT_EQ(One(b, Modified(row, {Variant::Integer(6), Variant::Integer(10), Variant::Text("b")}, fields)),
            "UPDATE NQ.UP_DELT SET NQ.UP_DELT.NAME = 'b'  Where NQ.UP_DELT.ID = 5");

  t.selectOptions = Bit(link::soIgnoreAutoIncrement);
  t.oracleSequence.clear();
  EXPECT_EQ(One(data::TLinkUpdateSQLBuilder(t, Oracle(), fields), Inserted(row, fields)),
            "Insert Into NQ.UP_DELT (NO,NAME)\r Values (9,'a')");
}

TEST(UpdateSQLBuilder, LongValuesTravelAsParameters) {
  const std::vector<TUpdateField> fields = {{"ID", link::ftInteger, false},
                                            {"NOTES", link::ftMemo, false},
                                            {"SCAN IMAGE", link::ftGraphic, false},
                                            {"RAW", link::ftVarBytes, false}};
  data::TUpdateTarget t = Delt(data::upWhereAll);
  t.selectOptions = Bit(link::soFetchMemos) | Bit(link::soFetchBlobs);
  const std::string image("\x00\x06\xff", 3);
  const std::vector<Variant> was = {Variant::Integer(1), Variant::Text("a"), Variant::Bytes("b"), Variant::Bytes("r")};
  const data::TLinkUpdateSQLBuilder b(t, Oracle(), fields);
  const data::TUpdateStatements s = b.Build(
      {Modified(was,
                {Variant::Integer(1), Variant::Text("line 1\r\nline 2"), Variant::Bytes(image), Variant::Bytes("s")},
                fields),
       Inserted({Variant::Integer(2), Variant::Text("second"), Variant::Null(), Variant::Bytes("t")}, fields)});
  // Long values are never compared in a WHERE; VarBytes is left out without soFetchBytes.
  ASSERT_EQ(s.statements.size(), 2u);
  EXPECT_EQ(s.statements[0],
            "UPDATE NQ.UP_DELT SET NQ.UP_DELT.NOTES = :MemoNOTES,NQ.UP_DELT.SCAN IMAGE = :GraphicSCAN_IMAGE  "
            "Where NQ.UP_DELT.ID = 1");
  // A second row's memo gets a name of its own.
  EXPECT_EQ(s.statements[1], "Insert Into NQ.UP_DELT (ID,NOTES)\r Values (2,:MemoNOTES_2)");
  ASSERT_EQ(s.longValues.Count(), 3);
  const link::TLinkParamList sent = link::TLinkParamList::FromText(s.longValues.ToText());
  EXPECT_EQ(sent.ItemAt(0).Name(), "MemoNOTES");
  EXPECT_EQ(sent.ItemAt(0).DataType(), link::ftMemo);
  EXPECT_EQ(sent.ItemAt(0).RawValue(), "line 1\r\nline 2");
  EXPECT_EQ(sent.ItemAt(1).Name(), "GraphicSCAN_IMAGE");
  EXPECT_EQ(sent.ItemAt(1).DataType(), link::ftBlob);
  EXPECT_EQ(sent.ItemAt(1).RawValue(), image);
  EXPECT_EQ(sent.ItemAt(2).Name(), "MemoNOTES_2");
  EXPECT_EQ(sent.ItemAt(2).RawValue(), "second");
}

TEST(UpdateSQLBuilder, RequestTextAndTransactionTexts) {
  const std::vector<std::string> two = {"DELETE FROM T  Where T.ID = 1", "DELETE FROM T  Where T.ID = 2"};
  EXPECT_EQ(data::TLinkUpdateSQLBuilder::RequestText(two, true, "BEGIN ", ";COMMIT; END;"),
            "BEGIN \r\nDELETE FROM T  Where T.ID = 1\r\nDELETE FROM T  Where T.ID = 2\r\n;COMMIT; END;\r\n");
  EXPECT_EQ(data::TLinkUpdateSQLBuilder::RequestText(two, true, "", ""),
            "BEGIN TRANSACTION\r\nDELETE FROM T  Where T.ID = 1\r\nDELETE FROM T  Where T.ID = 2\r\nCOMMIT\r\n");
}

TEST(UpdateSQLBuilder, StatementsThatCannotBeBuiltAreRefused) {
  struct Case {
    const char* name;
    data::TUpdateTarget target;
    std::string error;
  };
  data::TUpdateTarget noTable = Delt();
  noTable.tableName = " ";
  data::TUpdateTarget noKeys = Delt();
  noKeys.primeFields.clear();
  data::TUpdateTarget badKey = Delt();
  badKey.primeFields = {"IDX"};
  const Case cases[] = {
      {"no table", noTable, "No UpdateTableName Assigned."},
      // A WHERE without a condition would change every row of the table.
      {"no keys", noKeys, "No PrimeFields Assigned."},
      {"key that is no field", badKey, "QDELT:Field 'IDX' not found"},
  };
  for (const Case& c : cases) {
    const data::TLinkUpdateSQLBuilder b(c.target, Oracle(), kDelt);
    EXPECT_EQ(test::ErrorOf<data::EDatabaseError>([&] { One(b, Deleted(kRow)); }), c.error) << c.name;
  }
}

}  // namespace
