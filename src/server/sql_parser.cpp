#include "server/sql_parser.h"

#include <array>

#include "server/catalog.h"
#include "server/database.h"

namespace mero::server {
namespace {

// Words that end an expression, a select list or a table, so that they are
// never taken as an alias or a column name.
constexpr std::array<std::string_view, 58> kStopWords = {
    "ALL",    "AND",    "AS",     "ASC",      "BEGIN",  "BETWEEN", "BY",     "CASE",      "COMMIT", "CONNECT",
    "CROSS",  "DELETE", "DESC",   "DISTINCT", "ELSE",   "END",     "ESCAPE", "EXCEPT",    "EXISTS", "FOR",
    "FROM",   "FULL",   "GROUP",  "HAVING",   "IN",     "INNER",   "INSERT", "INTERSECT", "INTO",   "IS",
    "JOIN",   "LEFT",   "LIKE",   "MINUS",    "NOT",    "NULL",    "NULLS",  "ON",        "OR",     "ORDER",
    "OUTER",  "PRIOR",  "RIGHT",  "ROLLBACK", "SELECT", "SET",     "START",  "THEN",      "UNION",  "UNIQUE",
    "UPDATE", "USING",  "VALUES", "WHEN",     "WHERE",  "WITH",    "LOOP",   "IF"};

constexpr int kMaxDepth = 100;
// Operators of one statement; a chain of them is as deep as it is long, and
// the translator walks it recursively.
constexpr int kMaxOperators = 1000;
constexpr std::size_t kMaxInList = 1000;

bool IsStopWord(const SqlToken& t) {
  if (t.kind != SqlTokenKind::Identifier) return false;
  for (std::string_view w : kStopWords) {
    if (t.Is(w)) return true;
  }
  return false;
}

bool IsNameToken(const SqlToken& t) {
  return (t.kind == SqlTokenKind::Identifier && !IsStopWord(t)) || t.kind == SqlTokenKind::QuotedIdentifier;
}

NamePart PartOf(const SqlToken& t) {
  if (t.kind == SqlTokenKind::QuotedIdentifier) return {t.value, true};
  return {UpperName(t.text), false};
}

}  // namespace

SqlParser::Depth::Depth(SqlParser& p) : parser(p) {
  // Deeper nesting than any statement the client writes: refuse it rather
  // than exhaust the stack.
  if (++parser.depth_ > kMaxDepth) {
    --parser.depth_;
    throw SqlError("ORA-00933: SQL command not properly ended");
  }
}

SqlParser::SqlParser(std::string_view sql) : sql_(sql), tokens_(TokenizeSql(sql)) {}

const SqlToken& SqlParser::Peek(std::size_t ahead) const {
  const std::size_t k = pos_ + ahead;
  return k < tokens_.size() ? tokens_[k] : tokens_.back();
}

const SqlToken& SqlParser::Next() {
  const SqlToken& t = Peek();
  if (pos_ + 1 < tokens_.size()) ++pos_;
  return t;
}

bool SqlParser::Accept(std::string_view word) {
  if (!Peek().Is(word)) return false;
  Next();
  return true;
}

bool SqlParser::AcceptOp(std::string_view op) {
  if (!Peek().IsOp(op)) return false;
  Next();
  return true;
}

void SqlParser::Expect(std::string_view word, const char* error) {
  if (!Accept(word)) Fail(error);
}

void SqlParser::ExpectOp(std::string_view op, const char* error) {
  if (!AcceptOp(op)) Fail(error);
}

void SqlParser::Fail(const char* error) const { throw SqlError(error); }

// --- statements

bool SqlParser::AtAssignment() const {
  std::size_t k = 0;
  if (!IsNameToken(Peek(k))) return false;
  ++k;
  while (Peek(k).IsOp(".") && IsNameToken(Peek(k + 1))) k += 2;
  return Peek(k).IsOp(":=");
}

bool SqlParser::AtStatementStart(bool inBlock) const {
  const SqlToken& t = Peek();
  if (t.Is("SELECT") || t.Is("INSERT") || t.Is("UPDATE") || t.Is("DELETE") || t.Is("COMMIT") || t.Is("ROLLBACK") ||
      t.Is("BEGIN")) {
    return true;
  }
  return inBlock && (t.Is("NULL") || t.Is("END") || AtAssignment());
}

std::vector<Statement> SqlParser::ParseScript() {
  std::vector<Statement> statements;
  for (;;) {
    while (AcceptOp(";")) {
    }
    if (Peek().kind == SqlTokenKind::End) break;
    Statement s = ParseStatement(false);
    const bool block = s.kind == StatementKind::Block;
    statements.push_back(std::move(s));
    if (!block) EndStatement(false);
  }
  return statements;
}

QueryPtr SqlParser::ParseSelect() {
  if (!Peek().Is("SELECT")) Fail("ORA-00900: invalid SQL statement");
  QueryPtr q = ParseQuery();
  AcceptOp(";");
  if (Peek().kind != SqlTokenKind::End) Fail("ORA-00933: SQL command not properly ended");
  return q;
}

void SqlParser::EndStatement(bool inBlock) {
  if (AcceptOp(";")) return;
  const SqlToken& t = Peek();
  if (t.kind == SqlTokenKind::End) return;
  // The remote dataset joins its generated statements with line breaks only.
  if (t.lineBreakBefore && AtStatementStart(inBlock)) return;
  if (inBlock && t.Is("END")) return;
  Fail("ORA-00933: SQL command not properly ended");
}

Statement SqlParser::ParseStatement(bool inBlock) {
  Depth guard(*this);
  operators_ = 0;
  const SqlToken& t = Peek();
  Statement s;
  s.offset = t.offset;
  if (t.Is("SELECT")) {
    s.kind = StatementKind::Select;
    s.query = ParseQuery();
    return s;
  }
  if (t.Is("INSERT")) return ParseInsert();
  if (t.Is("UPDATE")) return ParseUpdate();
  if (t.Is("DELETE")) return ParseDelete();
  if (t.Is("COMMIT") || t.Is("ROLLBACK")) {
    s.kind = t.Is("COMMIT") ? StatementKind::Commit : StatementKind::Rollback;
    Next();
    Accept("WORK");
    return s;
  }
  if (t.Is("BEGIN")) return ParseBlock();
  if (inBlock && t.Is("NULL")) {
    Next();
    s.kind = StatementKind::Null;
    return s;
  }
  if (inBlock && AtAssignment()) {
    s.kind = StatementKind::Assign;
    s.variable = ParseName("ORA-00900: invalid SQL statement");
    ExpectOp(":=", "ORA-00900: invalid SQL statement");
    s.value = ParseExpr();
    return s;
  }
  if (inBlock) {
    const std::string symbol = t.kind == SqlTokenKind::End ? "end-of-file" : std::string(t.text);
    throw SqlError("ORA-06550: " + SqlPosition(sql_, t.offset) + ": PLS-00103: Encountered the symbol \"" + symbol +
                   "\"");
  }
  Fail("ORA-00900: invalid SQL statement");
}

Statement SqlParser::ParseBlock() {
  Depth guard(*this);
  Statement block;
  block.kind = StatementKind::Block;
  block.offset = Peek().offset;
  Next();  // BEGIN
  for (;;) {
    while (AcceptOp(";")) {
    }
    const SqlToken& t = Peek();
    if (t.kind == SqlTokenKind::End) {
      throw SqlError("ORA-06550: " + SqlPosition(sql_, t.offset) +
                     ": PLS-00103: Encountered the symbol \"end-of-file\"");
    }
    if (Accept("END")) {
      AcceptOp(";");
      return block;
    }
    block.body.push_back(ParseStatement(true));
    if (block.body.back().kind != StatementKind::Block) EndStatement(true);
  }
}

Statement SqlParser::ParseInsert() {
  Statement s;
  s.kind = StatementKind::Insert;
  s.offset = Peek().offset;
  Next();  // INSERT
  Expect("INTO", "ORA-00925: missing INTO keyword");
  s.table = ParseName("ORA-00903: invalid table name");
  bool quoted = false;
  ParseAlias(s.alias, quoted, false);
  if (Peek().IsOp("(") && !Peek(1).Is("SELECT")) {
    Next();
    do {
      s.columns.push_back(ParseName("ORA-00904: : invalid identifier"));
    } while (AcceptOp(","));
    ExpectOp(")", "ORA-00907: missing right parenthesis");
  }
  if (Accept("VALUES")) {
    ExpectOp("(", "ORA-00906: missing left parenthesis");
    do {
      s.values.push_back(ParseExpr());
    } while (AcceptOp(","));
    ExpectOp(")", "ORA-00907: missing right parenthesis");
    return s;
  }
  if (Peek().Is("SELECT")) {
    s.query = ParseQuery();
    return s;
  }
  if (Peek().IsOp("(") && Peek(1).Is("SELECT")) {
    Next();
    s.query = ParseQuery();
    ExpectOp(")", "ORA-00907: missing right parenthesis");
    return s;
  }
  Fail("ORA-00926: missing VALUES keyword");
}

Statement SqlParser::ParseUpdate() {
  Statement s;
  s.kind = StatementKind::Update;
  s.offset = Peek().offset;
  Next();  // UPDATE
  s.table = ParseName("ORA-00903: invalid table name");
  bool quoted = false;
  ParseAlias(s.alias, quoted, false);
  Expect("SET", "ORA-00971: missing SET keyword");
  do {
    s.columns.push_back(ParseName("ORA-00904: : invalid identifier"));
    ExpectOp("=", "ORA-00927: missing equal sign");
    s.values.push_back(ParseExpr());
  } while (AcceptOp(","));
  if (Accept("WHERE")) s.where = ParseExpr();
  return s;
}

Statement SqlParser::ParseDelete() {
  Statement s;
  s.kind = StatementKind::Delete;
  s.offset = Peek().offset;
  Next();  // DELETE
  Accept("FROM");
  s.table = ParseName("ORA-00903: invalid table name");
  bool quoted = false;
  ParseAlias(s.alias, quoted, false);
  if (Accept("WHERE")) s.where = ParseExpr();
  return s;
}

// --- queries

Name SqlParser::ParseName(const char* error) {
  if (!IsNameToken(Peek())) Fail(error);
  Name name;
  name.push_back(PartOf(Next()));
  while (Peek().IsOp(".") && IsNameToken(Peek(1))) {
    Next();
    name.push_back(PartOf(Next()));
  }
  return name;
}

bool SqlParser::ParseAlias(std::string& alias, bool& quoted, bool allowAs) {
  if (allowAs && Accept("AS")) {
    if (!IsNameToken(Peek())) Fail("ORA-00923: FROM keyword not found where expected");
  }
  const SqlToken& t = Peek();
  if (!IsNameToken(t)) return false;
  const NamePart part = PartOf(Next());
  alias = part.text;
  quoted = part.quoted;
  return true;
}

QueryPtr SqlParser::ParseQuery() {
  Depth guard(*this);
  auto q = std::make_unique<Query>();
  q->offset = Peek().offset;
  for (;;) {
    ParseCore(q->cores.emplace_back());
    if (Accept("UNION")) {
      q->setOps.push_back(Accept("ALL") ? "UNION ALL" : "UNION");
    } else if (Accept("INTERSECT")) {
      q->setOps.emplace_back("INTERSECT");
    } else if (Accept("MINUS")) {
      q->setOps.emplace_back("MINUS");
    } else {
      break;
    }
  }
  if (Accept("ORDER")) {
    Expect("BY", "ORA-00924: missing BY keyword");
    do {
      OrderItem item;
      item.expr = ParseExpr();
      if (Accept("DESC")) {
        item.desc = true;
      } else {
        Accept("ASC");
      }
      if (Accept("NULLS")) {
        if (Accept("FIRST")) {
          item.nulls = 1;
        } else {
          Expect("LAST", "ORA-00905: missing keyword");
          item.nulls = 2;
        }
      }
      q->orderBy.push_back(std::move(item));
    } while (AcceptOp(","));
  }
  return q;
}

void SqlParser::ParseCore(SelectCore& core) {
  Expect("SELECT", "ORA-00928: missing SELECT keyword");
  if (Accept("DISTINCT") || Accept("UNIQUE")) {
    core.distinct = true;
  } else {
    Accept("ALL");
  }
  do {
    core.items.push_back(ParseSelectItem());
  } while (AcceptOp(","));
  if (!Accept("FROM")) Fail("ORA-00923: FROM keyword not found where expected");
  do {
    core.from.push_back(ParseTableRef());
  } while (AcceptOp(","));
  if (Accept("WHERE")) core.where = ParseExpr();
  if (Accept("GROUP")) {
    Expect("BY", "ORA-00924: missing BY keyword");
    do {
      core.groupBy.push_back(ParseExpr());
    } while (AcceptOp(","));
  }
  if (Accept("HAVING")) core.having = ParseExpr();
}

SelectItem SqlParser::ParseSelectItem() {
  SelectItem item;
  item.firstToken = pos_;
  if (AcceptOp("*")) {
    item.star = true;
    item.endToken = pos_;
    return item;
  }
  // t.* and schema.t.*
  std::size_t k = 0;
  while (IsNameToken(Peek(k)) && Peek(k + 1).IsOp(".")) {
    if (Peek(k + 2).IsOp("*")) {
      item.star = true;
      for (std::size_t i = 0; i <= k; i += 2) item.starQualifier.push_back(PartOf(Peek(i)));
      for (std::size_t i = 0; i < k + 3; ++i) Next();
      item.endToken = pos_;
      return item;
    }
    k += 2;
  }
  item.expr = ParseExpr();
  item.endToken = pos_;
  ParseAlias(item.alias, item.aliasQuoted, true);
  return item;
}

std::unique_ptr<TableRef> SqlParser::ParseTableRef() {
  std::unique_ptr<TableRef> left = ParseTablePrimary();
  for (;;) {
    std::string type;
    const std::size_t offset = Peek().offset;
    if (Accept("JOIN")) {
      type = "JOIN";
    } else if (Accept("INNER")) {
      Expect("JOIN", "ORA-00905: missing keyword");
      type = "JOIN";
    } else if (Accept("LEFT") || Accept("RIGHT") || Accept("FULL")) {
      type = UpperName(tokens_[pos_ - 1].text);
      Accept("OUTER");
      Expect("JOIN", "ORA-00905: missing keyword");
      type += " JOIN";
    } else if (Accept("CROSS")) {
      Expect("JOIN", "ORA-00905: missing keyword");
      type = "CROSS JOIN";
    } else {
      return left;
    }
    auto join = std::make_unique<TableRef>();
    join->kind = TableRef::Kind::Join;
    join->offset = offset;
    join->joinType = type;
    join->left = std::move(left);
    join->right = ParseTablePrimary();
    if (type != "CROSS JOIN") {
      Expect("ON", "ORA-00905: missing keyword");
      join->on = ParseExpr();
    }
    left = std::move(join);
  }
}

std::unique_ptr<TableRef> SqlParser::ParseTablePrimary() {
  auto ref = std::make_unique<TableRef>();
  ref->offset = Peek().offset;
  if (Peek().IsOp("(") && Peek(1).Is("SELECT")) {
    Next();
    ref->kind = TableRef::Kind::SubQuery;
    ref->query = ParseQuery();
    ExpectOp(")", "ORA-00907: missing right parenthesis");
  } else {
    ref->kind = TableRef::Kind::Table;
    ref->name = ParseName("ORA-00903: invalid table name");
  }
  ParseAlias(ref->alias, ref->aliasQuoted, true);
  return ref;
}

// --- expressions

ExprPtr SqlParser::Make(ExprKind kind, std::size_t first) {
  if (kind == ExprKind::Binary && ++operators_ > kMaxOperators) Fail("ORA-00933: SQL command not properly ended");
  auto e = std::make_unique<Expr>();
  e->kind = kind;
  e->firstToken = first;
  e->offset = tokens_[first].offset;
  return e;
}

void SqlParser::Finish(Expr& e) const { e.endToken = pos_; }

ExprPtr SqlParser::ParseExpr() {
  Depth guard(*this);
  return ParseOr();
}

ExprPtr SqlParser::ParseOr() {
  const std::size_t first = pos_;
  ExprPtr left = ParseAnd();
  while (Accept("OR")) {
    ExprPtr e = Make(ExprKind::Binary, first);
    e->text = "OR";
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAnd());
    Finish(*e);
    left = std::move(e);
  }
  return left;
}

ExprPtr SqlParser::ParseAnd() {
  const std::size_t first = pos_;
  ExprPtr left = ParseNot();
  while (Accept("AND")) {
    ExprPtr e = Make(ExprKind::Binary, first);
    e->text = "AND";
    e->args.push_back(std::move(left));
    e->args.push_back(ParseNot());
    Finish(*e);
    left = std::move(e);
  }
  return left;
}

ExprPtr SqlParser::ParseNot() {
  const std::size_t first = pos_;
  if (Accept("NOT")) {
    Depth guard(*this);
    ExprPtr e = Make(ExprKind::Unary, first);
    e->text = "NOT";
    e->args.push_back(ParseNot());
    Finish(*e);
    return e;
  }
  return ParseComparison();
}

ExprPtr SqlParser::ParseComparison() {
  const std::size_t first = pos_;
  ExprPtr left = ParseAdditive();
  bool negated = false;
  if (Peek().Is("NOT") && (Peek(1).Is("BETWEEN") || Peek(1).Is("IN") || Peek(1).Is("LIKE"))) {
    Next();
    negated = true;
  }
  if (Accept("BETWEEN")) {
    ExprPtr e = Make(ExprKind::Between, first);
    e->negated = negated;
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAdditive());
    Expect("AND", "ORA-00905: missing keyword");
    e->args.push_back(ParseAdditive());
    Finish(*e);
    return e;
  }
  if (Accept("IN")) {
    ExpectOp("(", "ORA-00906: missing left parenthesis");
    ExprPtr e;
    if (Peek().Is("SELECT")) {
      e = Make(ExprKind::InQuery, first);
      e->args.push_back(std::move(left));
      e->query = ParseQuery();
    } else {
      e = Make(ExprKind::InList, first);
      e->args.push_back(std::move(left));
      do {
        e->args.push_back(ParseExpr());
        if (e->args.size() > kMaxInList + 1) {
          throw SqlError("ORA-01795: maximum number of expressions in a list is 1000");
        }
      } while (AcceptOp(","));
    }
    ExpectOp(")", "ORA-00907: missing right parenthesis");
    e->negated = negated;
    Finish(*e);
    return e;
  }
  if (Accept("LIKE")) {
    ExprPtr e = Make(ExprKind::Like, first);
    e->negated = negated;
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAdditive());
    if (Accept("ESCAPE")) e->args.push_back(ParseAdditive());
    Finish(*e);
    return e;
  }
  if (Accept("IS")) {
    ExprPtr e = Make(ExprKind::IsNull, first);
    e->negated = Accept("NOT");
    Expect("NULL", "ORA-00908: missing NULL keyword");
    e->args.push_back(std::move(left));
    Finish(*e);
    return e;
  }
  const SqlToken& t = Peek();
  if (t.kind == SqlTokenKind::Operator && (t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "^=" ||
                                           t.text == "<" || t.text == ">" || t.text == "<=" || t.text == ">=")) {
    Next();
    ExprPtr e = Make(ExprKind::Binary, first);
    e->text = (t.text == "!=" || t.text == "^=") ? "<>" : std::string(t.text);
    e->args.push_back(std::move(left));
    e->args.push_back(ParseAdditive());
    Finish(*e);
    return e;
  }
  return left;
}

ExprPtr SqlParser::ParseAdditive() {
  const std::size_t first = pos_;
  ExprPtr left = ParseMultiplicative();
  while (Peek().IsOp("+") || Peek().IsOp("-") || Peek().IsOp("||")) {
    ExprPtr e = Make(ExprKind::Binary, first);
    e->text = std::string(Next().text);
    e->args.push_back(std::move(left));
    e->args.push_back(ParseMultiplicative());
    Finish(*e);
    left = std::move(e);
  }
  return left;
}

ExprPtr SqlParser::ParseMultiplicative() {
  const std::size_t first = pos_;
  ExprPtr left = ParseUnary();
  while (Peek().IsOp("*") || Peek().IsOp("/")) {
    ExprPtr e = Make(ExprKind::Binary, first);
    e->text = std::string(Next().text);
    e->args.push_back(std::move(left));
    e->args.push_back(ParseUnary());
    Finish(*e);
    left = std::move(e);
  }
  return left;
}

ExprPtr SqlParser::ParseUnary() {
  const std::size_t first = pos_;
  if (Peek().IsOp("-") || Peek().IsOp("+")) {
    Depth guard(*this);
    ExprPtr e = Make(ExprKind::Unary, first);
    e->text = std::string(Next().text);
    e->args.push_back(ParseUnary());
    Finish(*e);
    return e;
  }
  return ParsePrimary();
}

ExprPtr SqlParser::ParsePrimary() {
  const std::size_t first = pos_;
  const SqlToken& t = Peek();
  ExprPtr e;
  switch (t.kind) {
    case SqlTokenKind::Number:
      e = Make(ExprKind::Number, first);
      e->text = std::string(t.text);
      Next();
      break;
    case SqlTokenKind::String:
      e = Make(ExprKind::String, first);
      e->text = t.value;
      Next();
      break;
    case SqlTokenKind::Placeholder:
      e = Make(ExprKind::Placeholder, first);
      e->text = t.value;
      Next();
      break;
    case SqlTokenKind::Operator:
      if (!t.IsOp("(")) Fail("ORA-00936: missing expression");
      Next();
      if (Peek().Is("SELECT")) {
        e = Make(ExprKind::SubQuery, first);
        e->query = ParseQuery();
      } else {
        e = Make(ExprKind::Paren, first);
        e->args.push_back(ParseExpr());
      }
      ExpectOp(")", "ORA-00907: missing right parenthesis");
      break;
    case SqlTokenKind::Identifier:
      if (t.Is("NULL")) {
        e = Make(ExprKind::Null, first);
        Next();
        break;
      }
      if (t.Is("CASE")) {
        Next();
        return ParseCase(first);
      }
      if (t.Is("EXISTS")) {
        Next();
        e = Make(ExprKind::Exists, first);
        ExpectOp("(", "ORA-00906: missing left parenthesis");
        e->query = ParseQuery();
        ExpectOp(")", "ORA-00907: missing right parenthesis");
        break;
      }
      if (IsStopWord(t)) Fail("ORA-00936: missing expression");
      [[fallthrough]];
    case SqlTokenKind::QuotedIdentifier: {
      Name name = ParseName("ORA-00936: missing expression");
      if (Peek().IsOp(".")) Fail("ORA-00936: missing expression");
      if (AcceptOp("(")) return ParseFunction(std::move(name), first);
      e = Make(ExprKind::Column, first);
      e->name = std::move(name);
      break;
    }
    case SqlTokenKind::End:
      Fail("ORA-00936: missing expression");
  }
  Finish(*e);
  return e;
}

ExprPtr SqlParser::ParseFunction(Name name, std::size_t first) {
  ExprPtr e = Make(ExprKind::Function, first);
  e->name = std::move(name);
  if (AcceptOp(")")) {
    Finish(*e);
    return e;
  }
  if (AcceptOp("*")) {
    e->star = true;
  } else {
    if (Accept("DISTINCT") || Accept("UNIQUE")) {
      e->distinct = true;
    } else {
      Accept("ALL");
    }
    do {
      e->args.push_back(ParseExpr());
    } while (AcceptOp(","));
  }
  ExpectOp(")", "ORA-00907: missing right parenthesis");
  Finish(*e);
  return e;
}

ExprPtr SqlParser::ParseCase(std::size_t first) {
  ExprPtr e = Make(ExprKind::Case, first);
  if (!Peek().Is("WHEN")) {
    e->hasOperand = true;
    e->args.push_back(ParseExpr());
  }
  bool any = false;
  while (Accept("WHEN")) {
    any = true;
    e->args.push_back(ParseExpr());
    Expect("THEN", "ORA-00905: missing keyword");
    e->args.push_back(ParseExpr());
  }
  if (!any) Fail("ORA-00905: missing keyword");
  if (Accept("ELSE")) {
    e->hasElse = true;
    e->args.push_back(ParseExpr());
  }
  Expect("END", "ORA-00905: missing keyword");
  Finish(*e);
  return e;
}

}  // namespace mero::server
