#include "server/oracle_translator.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>

#include "server/database.h"
#include "server/oracle_formats.h"
#include "server/sql_parser.h"
#include "server/utf8_text.h"

namespace mero::server {
namespace {

// The one schema the client names (NQ.UP_DELT); SQLite has none.
constexpr std::string_view kSchema = "NQ";

struct Scope {
  const Scope* parent = nullptr;
  std::vector<TableRef*> sources;
};

struct QueryInfo {
  std::vector<ResultColumn> columns;
  bool complete = true;  // every * was expanded from the catalog
};

bool IsSchema(const NamePart& p) { return !p.quoted && p.text == kSchema; }

bool Plain(const NamePart& p, std::string_view word) { return !p.quoted && p.text == word; }

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

// A name as SQLite reads it: bare when it is a plain word that is no SQLite
// keyword, double-quoted otherwise.
std::string Ident(std::string_view text, bool quoted) {
  bool plain = !quoted && !text.empty() && !(text[0] >= '0' && text[0] <= '9');
  for (char c : text) {
    if (!plain) break;
    plain = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  }
  if (plain && sqlite3_keyword_check(text.data(), static_cast<int>(text.size())) != 0) plain = false;
  return plain ? std::string(text) : Quoted(text);
}

std::string Ident(const NamePart& p) { return Ident(p.text, p.quoted); }

std::string StringLiteral(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out.push_back('\'');
    out.push_back(c);
  }
  out.push_back('\'');
  return out;
}

std::string NumberLiteral(double v) {
  char buf[40];
  if (std::fabs(v) < 1e15 && v == std::floor(v)) {
    std::snprintf(buf, sizeof buf, "%.0f", v);
  } else {
    std::snprintf(buf, sizeof buf, "%.17g", v);
  }
  return buf;
}

// ORA-00904's way of naming an identifier: "T"."C".
std::string InvalidIdentifier(const Name& name) {
  std::string out;
  for (const NamePart& p : name) {
    if (!out.empty()) out += '.';
    out += '"' + p.text + '"';
  }
  return "ORA-00904: " + out + ": invalid identifier";
}

Expr* Unparen(Expr& e) {
  Expr* x = &e;
  while (x->kind == ExprKind::Paren) x = x->args[0].get();
  return x;
}

bool IsTextLiteral(Expr& e) {
  const Expr* x = Unparen(e);
  return x->kind == ExprKind::String && !x->text.empty();
}

bool IsComparison(const std::string& op) {
  return op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=";
}

int Precedence(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Binary:
      if (e.text == "OR") return 1;
      if (e.text == "AND") return 2;
      if (e.text == "=" || e.text == "<>") return 4;
      if (e.text == "<" || e.text == ">" || e.text == "<=" || e.text == ">=") return 5;
      if (e.text == "+" || e.text == "-") return 7;
      if (e.text == "*" || e.text == "/") return 8;
      return 10;  // ||, written as a function call
    case ExprKind::Unary:
      return e.text == "NOT" ? 3 : 9;
    case ExprKind::Between:
    case ExprKind::InList:
    case ExprKind::InQuery:
    case ExprKind::Like:
    case ExprKind::IsNull:
      return 4;
    default:
      return 10;
  }
}

OracleType Varchar(int size) { return OracleType::Of(OracleType::Varchar2, size); }

// The wider of two types of one column (CASE branches, NVL, set operators).
OracleType Widen(OracleType a, OracleType b) {
  if (a.kind == OracleType::Unknown) return b;
  if (b.kind == OracleType::Unknown) return a;
  if (a.kind == OracleType::Varchar2 && b.kind == OracleType::Varchar2) {
    return Varchar(a.size <= 0 || b.size <= 0 ? 0 : std::max(a.size, b.size));
  }
  if (a.IsNumeric() && b.IsNumeric()) return OracleType::Of(a == b ? a.kind : OracleType::Number);
  return a == b ? a : OracleType::Of(OracleType::Unknown);
}

class Translation {
 public:
  Translation(const Catalog& catalog, std::string_view sql, const std::vector<SqlToken>& tokens)
      : catalog_(catalog), sql_(sql), tokens_(tokens) {}

  TranslatedStatement Translate(Statement& s) {
    TranslatedStatement t;
    t.kind = s.kind;
    switch (s.kind) {
      case StatementKind::Select: {
        const QueryInfo info = ResolveQuery(*s.query, nullptr);
        t.columns = info.columns;
        t.columnsFromSqlite = !info.complete;
        EmitQuery(*s.query, t.sql);
        break;
      }
      case StatementKind::Insert:
        TranslateInsert(s, t);
        break;
      case StatementKind::Update:
        TranslateUpdate(s, t);
        break;
      case StatementKind::Delete:
        TranslateDelete(s, t);
        break;
      case StatementKind::Assign:
        TranslateAssign(s, t);
        break;
      case StatementKind::Block:
        for (Statement& inner : s.body) {
          Translation sub(catalog_, sql_, tokens_);
          t.body.push_back(sub.Translate(inner));
          t.writes = t.writes || t.body.back().writes;
        }
        return t;
      case StatementKind::Commit:
      case StatementKind::Rollback:
      case StatementKind::Null:
        return t;
    }
    t.params = params_;
    t.writes = t.writes || writes_;
    return t;
  }

 private:
  // --- names and sources

  std::string TableName(const Name& name) const {
    if (name.size() == 1) return name[0].text;
    if (name.size() == 2 && IsSchema(name[0])) return name[1].text;
    throw SqlError("ORA-00942: table or view does not exist");
  }

  static std::string SourceName(const TableRef& t) {
    if (!t.alias.empty()) return Ident(t.alias, t.aliasQuoted);
    return Ident(t.tableName, false);
  }

  static bool SourceIs(const TableRef& t, const NamePart& p) {
    if (!t.alias.empty()) return t.alias == p.text;
    return !t.tableName.empty() && UpperName(t.tableName) == UpperName(p.text);
  }

  static const TableRef* FindSource(const Scope& scope, const NamePart& p) {
    for (const TableRef* t : scope.sources) {
      if (SourceIs(*t, p)) return t;
    }
    return nullptr;
  }

  static const ResultColumn* FindColumn(const TableRef& t, std::string_view name) {
    for (const ResultColumn& c : t.columns) {
      if (c.name == name) return &c;
    }
    return nullptr;
  }

  void ResolveTableRef(TableRef& t, const Scope* outer) {
    switch (t.kind) {
      case TableRef::Kind::Table: {
        t.tableName = TableName(t.name);
        if (UpperName(t.tableName) == "DUAL") {
          t.isDual = true;
          t.columns = {{"DUMMY", Varchar(1), true}};
          t.columnsKnown = true;
          return;
        }
        const CatalogObject* object = catalog_.Find(t.tableName);
        t.columnsKnown = object != nullptr;
        if (object != nullptr) {
          t.tableName = object->name;
          for (const CatalogColumn& c : object->columns) t.columns.push_back({c.name, c.type, c.notNull});
        }
        return;
      }
      case TableRef::Kind::SubQuery: {
        const QueryInfo info = ResolveQuery(*t.query, outer);
        t.columns = info.columns;
        t.columnsKnown = info.complete;
        return;
      }
      case TableRef::Kind::Join:
        ResolveTableRef(*t.left, outer);
        ResolveTableRef(*t.right, outer);
        return;
    }
  }

  static void AddSources(TableRef& t, Scope& scope) {
    if (t.kind == TableRef::Kind::Join) {
      AddSources(*t.left, scope);
      AddSources(*t.right, scope);
    } else {
      scope.sources.push_back(&t);
    }
  }

  // The columns a * stands for, in SQLite's order of expansion.
  static bool StarColumns(const TableRef& t, std::vector<ResultColumn>& out) {
    if (t.kind == TableRef::Kind::Join) {
      const bool a = StarColumns(*t.left, out);
      const bool b = StarColumns(*t.right, out);
      return a && b;
    }
    out.insert(out.end(), t.columns.begin(), t.columns.end());
    return t.columnsKnown;
  }

  // --- queries

  QueryInfo ResolveQuery(Query& q, const Scope* parent) {
    std::vector<std::unique_ptr<Scope>> scopes;
    QueryInfo info;
    for (std::size_t i = 0; i < q.cores.size(); ++i) {
      scopes.push_back(std::make_unique<Scope>());
      Scope& scope = *scopes.back();
      scope.parent = parent;
      QueryInfo core = ResolveCore(q.cores[i], scope);
      if (i == 0) {
        info = std::move(core);
      } else {
        for (std::size_t k = 0; k < info.columns.size() && k < core.columns.size(); ++k) {
          info.columns[k].type = Widen(info.columns[k].type, core.columns[k].type);
          info.columns[k].notNull = info.columns[k].notNull && core.columns[k].notNull;
        }
        info.complete = info.complete && core.complete;
      }
    }
    for (OrderItem& item : q.orderBy) ResolveExpr(*item.expr, *scopes.front());
    return info;
  }

  QueryInfo ResolveCore(SelectCore& core, Scope& scope) {
    for (auto& t : core.from) ResolveTableRef(*t, scope.parent);
    for (auto& t : core.from) AddSources(*t, scope);
    for (auto& t : core.from) ResolveJoinConditions(*t, scope);
    QueryInfo info;
    for (SelectItem& item : core.items) {
      if (item.star) {
        if (item.starQualifier.empty()) {
          for (auto& t : core.from) info.complete = StarColumns(*t, info.columns) && info.complete;
          continue;
        }
        Name q = item.starQualifier;
        if (q.size() == 2 && IsSchema(q[0])) q.erase(q.begin());
        const TableRef* source = q.size() == 1 ? FindSource(scope, q[0]) : nullptr;
        if (source == nullptr) throw SqlError(InvalidIdentifier(item.starQualifier));
        info.columns.insert(info.columns.end(), source->columns.begin(), source->columns.end());
        info.complete = info.complete && source->columnsKnown;
        continue;
      }
      ResolveExpr(*item.expr, scope);
      info.columns.push_back({ResultName(item), item.expr->type, item.expr->notNull});
    }
    if (core.where) ResolveExpr(*core.where, scope);
    for (ExprPtr& g : core.groupBy) ResolveExpr(*g, scope);
    if (core.having) ResolveExpr(*core.having, scope);
    return info;
  }

  void ResolveJoinConditions(TableRef& t, const Scope& scope) {
    if (t.kind != TableRef::Kind::Join) return;
    ResolveJoinConditions(*t.left, scope);
    ResolveJoinConditions(*t.right, scope);
    if (t.on) ResolveExpr(*t.on, scope);
  }

  // Oracle's name of a select item: the alias; a column's own name; else
  // the expression's text upper-cased without blanks.
  std::string ResultName(const SelectItem& item) const {
    if (!item.alias.empty()) return item.alias;
    const Expr& e = *item.expr;
    if (e.kind == ExprKind::Column) return e.name.back().text;
    std::string text;
    for (std::size_t k = item.firstToken; k < item.endToken && k < tokens_.size(); ++k) text += tokens_[k].text;
    return Utf8Upper(text);
  }

  // --- expressions

  void ResolveExpr(Expr& e, const Scope& scope) {
    for (ExprPtr& a : e.args) ResolveExpr(*a, scope);
    if (e.query) {
      const QueryInfo info = ResolveQuery(*e.query, &scope);
      if (e.kind == ExprKind::SubQuery && !info.columns.empty()) e.type = info.columns.front().type;
    }
    switch (e.kind) {
      case ExprKind::Number: {
        OracleNumber n;
        // A whole number beyond 32 bits does not fit the client's integer field.
        const bool integer =
            ParseOracleNumber(e.text, n) && n.isInteger && n.integer >= INT32_MIN && n.integer <= INT32_MAX;
        e.type = OracleType::Of(integer ? OracleType::Integer : OracleType::Number);
        e.notNull = true;
        break;
      }
      case ExprKind::String:
        if (!e.text.empty()) {
          e.type = Varchar(static_cast<int>(Utf8Length(e.text)));
          e.notNull = true;
        }
        break;
      case ExprKind::DateValue:
        e.type = OracleType::Of(OracleType::Date);
        break;
      case ExprKind::Column:
        ResolveColumn(e, scope);
        break;
      case ExprKind::Function:
        ResolveFunction(e);
        break;
      case ExprKind::Unary:
        e.type = e.text == "NOT" ? OracleType::Of(OracleType::Integer) : e.args[0]->type;
        if (e.text != "NOT" && IsTextLiteral(*e.args[0])) {
          CoerceTo(*e.args[0], OracleType::Of(OracleType::Number));
          e.type = e.args[0]->type;
        }
        break;
      case ExprKind::Binary:
        ResolveBinary(e);
        break;
      case ExprKind::Between:
        CoercePair(*e.args[0], *e.args[1]);
        CoercePair(*e.args[0], *e.args[2]);
        e.type = OracleType::Of(OracleType::Integer);
        break;
      case ExprKind::InList:
        for (std::size_t i = 1; i < e.args.size(); ++i) CoercePair(*e.args[0], *e.args[i]);
        e.type = OracleType::Of(OracleType::Integer);
        break;
      case ExprKind::InQuery:
      case ExprKind::Like:
      case ExprKind::IsNull:
      case ExprKind::Exists:
        e.type = OracleType::Of(OracleType::Integer);
        break;
      case ExprKind::Case: {
        OracleType t;
        const std::size_t start = e.hasOperand ? 1 : 0;
        for (std::size_t i = start; i + 1 < e.args.size(); i += 2) t = Widen(t, e.args[i + 1]->type);
        if (e.hasElse) t = Widen(t, e.args.back()->type);
        e.type = t;
        break;
      }
      case ExprKind::Paren:
        e.type = e.args[0]->type;
        e.notNull = e.args[0]->notNull;
        break;
      case ExprKind::SubQuery:
      case ExprKind::Null:
      case ExprKind::Placeholder:
        break;
    }
  }

  void ResolveColumn(Expr& e, const Scope& scope) {
    Name name = e.name;
    if (name.size() == 1 && Plain(name[0], "SYSDATE")) {
      e.ref = NameRef::SysDate;
      e.type = OracleType::Of(OracleType::Date);
      e.notNull = true;
      return;
    }
    if (name.size() == 3 && IsSchema(name[0])) name.erase(name.begin());
    if (name.size() == 1) {
      for (const Scope* s = &scope; s != nullptr; s = s->parent) {
        const ResultColumn* found = nullptr;
        int matches = 0;
        bool unknown = false;
        for (const TableRef* t : s->sources) {
          if (const ResultColumn* c = FindColumn(*t, name[0].text)) {
            found = c;
            ++matches;
          }
          unknown = unknown || !t->columnsKnown;
        }
        if (matches == 1) {
          e.ref = NameRef::Column;
          e.type = found->type;
          e.notNull = found->notNull;
          return;
        }
        // Ambiguous, or possibly a column of an object the catalog lacks:
        // SQLite has the last word.
        if (matches > 1 || unknown) return;
      }
      return;
    }
    if (name.size() == 2) {
      for (const Scope* s = &scope; s != nullptr; s = s->parent) {
        if (const TableRef* t = FindSource(*s, name[0])) {
          e.refText = SourceName(*t);
          if (const ResultColumn* c = FindColumn(*t, name[1].text)) {
            e.ref = NameRef::Column;
            e.type = c->type;
            e.notNull = c->notNull;
          }
          return;
        }
      }
      if (Plain(name[1], "NEXTVAL")) {
        e.ref = NameRef::Sequence;
        e.refText = UpperName(name[0].text);
        e.type = OracleType::Of(OracleType::Integer);
        e.notNull = true;
        writes_ = true;
        return;
      }
      if (Plain(name[0], "P1") && (Plain(name[1], "USRID") || Plain(name[1], "USRIP"))) {
        e.ref = NameRef::PackageVar;
        e.refText = name[1].text;
        e.type = Varchar(0);
      }
    }
  }

  void ResolveFunction(Expr& e) {
    Name name = e.name;
    if (name.size() == 2 && IsSchema(name[0])) name.erase(name.begin());
    if (name.size() != 1 || name[0].quoted) throw SqlError(InvalidIdentifier(e.name));
    e.name = name;
    const std::string& f = name[0].text;
    auto argType = [&](std::size_t i) { return i < e.args.size() ? e.args[i]->type : OracleType(); };
    const OracleType a0 = argType(0);
    if (f == "COUNT") {
      e.type = OracleType::Of(OracleType::Integer);
      e.notNull = true;
    } else if (f == "SUM") {
      e.type = OracleType::Of(a0.kind == OracleType::Integer ? OracleType::Integer : OracleType::Number);
    } else if (f == "AVG" || f == "TO_NUMBER" || f == "F_UP_REQ_Q" || f == "POWER" || f == "SQRT" || f == "MOD" ||
               f == "SIGN" || f == "CEIL" || f == "FLOOR") {
      e.type = OracleType::Of(OracleType::Number);
    } else if (f == "MIN" || f == "MAX" || f == "ABS") {
      e.type = a0;
    } else if (f == "TRUNC" || f == "ROUND") {
      e.type = a0.kind == OracleType::Date || a0.kind == OracleType::Integer ? a0 : OracleType::Of(OracleType::Number);
    } else if (f == "NVL" || f == "IFNULL" || f == "COALESCE") {
      if (f == "NVL" && e.args.size() != 2) throw SqlError("ORA-00909: invalid number of arguments");
      for (std::size_t i = 1; i < e.args.size(); ++i) {
        if (IsTextLiteral(*e.args[i]) && (a0.kind == OracleType::Date || a0.IsNumeric())) CoerceTo(*e.args[i], a0);
      }
      OracleType t = a0;
      for (std::size_t i = 1; i < e.args.size(); ++i) t = Widen(t, e.args[i]->type);
      e.type = t;
    } else if (f == "MERO_NOW" || f == "MERO_SYSDATE") {
      e.type = OracleType::Of(OracleType::Date);
    } else if (f == "MERO_USRID" || f == "MERO_USRIP") {
      e.type = Varchar(0);
    } else if (f == "TO_DATE") {
      if (e.args.empty() || e.args.size() > 2) throw SqlError("ORA-00909: invalid number of arguments");
      e.type = OracleType::Of(OracleType::Date);
      Expr* text = Unparen(*e.args[0]);
      Expr* format = e.args.size() > 1 ? Unparen(*e.args[1]) : nullptr;
      const bool literalText = text->kind == ExprKind::String || text->kind == ExprKind::Null;
      const bool literalFormat = format == nullptr || format->kind == ExprKind::String;
      if (literalText && literalFormat) {
        // Computed once here: a literal date costs nothing per row, and a
        // bad one fails before anything runs.
        if (text->kind == ExprKind::Null || text->text.empty()) {
          e.kind = ExprKind::Null;
        } else {
          e.number = OracleToDate(text->text, format != nullptr ? std::string_view(format->text) : kDefaultDateInput);
          e.kind = ExprKind::DateValue;
          e.notNull = true;
        }
        e.args.clear();
        e.name.clear();
      }
    } else if (f == "TO_CHAR" || f == "F_UP_ALLOW_DELTIO" || f == "LPAD" || f == "RPAD" || f == "REPLACE" ||
               f == "CONCAT" || f == "CHR") {
      e.type = Varchar(0);
    } else if (f == "UPPER" || f == "LOWER" || f == "TRIM" || f == "LTRIM" || f == "RTRIM" || f == "SUBSTR" ||
               f == "INITCAP") {
      e.type = a0.kind == OracleType::Varchar2 ? a0 : Varchar(0);
    } else if (f == "LENGTH" || f == "INSTR" || f == "F_UP_IS_SUPERUSER" || f == "MERO_NEXTVAL") {
      e.type = OracleType::Of(OracleType::Integer);
    } else if (f == "DECODE") {
      if (e.args.size() < 3) throw SqlError("ORA-00938: not enough arguments for function");
      OracleType t;
      for (std::size_t i = 2; i < e.args.size(); i += 2) t = Widen(t, e.args[i]->type);
      if (e.args.size() % 2 == 0) t = Widen(t, e.args.back()->type);
      e.type = t;
    }
  }

  void ResolveBinary(Expr& e) {
    Expr& l = *e.args[0];
    Expr& r = *e.args[1];
    if (e.text == "AND" || e.text == "OR") {
      e.type = OracleType::Of(OracleType::Integer);
      return;
    }
    if (IsComparison(e.text)) {
      CoercePair(l, r);
      e.type = OracleType::Of(OracleType::Integer);
      return;
    }
    if (e.text == "||") {
      e.type = Varchar(0);
      return;
    }
    // Arithmetic: a text literal must read as a number.
    if (IsTextLiteral(l)) CoerceTo(l, OracleType::Of(OracleType::Number));
    if (IsTextLiteral(r)) CoerceTo(r, OracleType::Of(OracleType::Number));
    const OracleType a = l.type;
    const OracleType b = r.type;
    if (a.kind == OracleType::Date && b.kind == OracleType::Date && e.text == "-") {
      e.type = OracleType::Of(OracleType::Number);
    } else if ((a.kind == OracleType::Date && (e.text == "+" || e.text == "-")) ||
               (b.kind == OracleType::Date && e.text == "+")) {
      e.type = OracleType::Of(OracleType::Date);
    } else if (a.kind == OracleType::Integer && b.kind == OracleType::Integer && e.text != "/") {
      e.type = OracleType::Of(OracleType::Integer);
    } else {
      e.type = OracleType::Of(OracleType::Number);
    }
  }

  // Two sides that meet: a text literal on one side is read as the other
  // side's DATE or number.
  void CoercePair(Expr& a, Expr& b) {
    if (IsTextLiteral(b) && !IsTextLiteral(a)) {
      CoerceTo(b, a.type);
    } else if (IsTextLiteral(a) && !IsTextLiteral(b)) {
      CoerceTo(a, b.type);
    }
  }

  void CoerceTo(Expr& e, const OracleType& target) {
    Expr* x = Unparen(e);
    if (x->kind != ExprKind::String || x->text.empty()) return;
    if (target.kind == OracleType::Date) {
      x->number = OracleToDate(x->text);
      x->kind = ExprKind::DateValue;
      x->type = target;
    } else if (target.IsNumeric()) {
      OracleNumber n;
      if (!ParseOracleNumber(x->text, n)) throw SqlError("ORA-01722: invalid number");
      const std::size_t b = x->text.find_first_not_of(" \t");
      const std::size_t end = x->text.find_last_not_of(" \t");
      std::string t = x->text.substr(b, end - b + 1);
      if (t[0] == '+') t.erase(0, 1);
      x->kind = ExprKind::Number;
      x->text = t;
      x->type = OracleType::Of(n.isInteger ? OracleType::Integer : OracleType::Number);
    } else {
      return;
    }
    // The parentheses around the literal carry its new type.
    for (Expr* p = &e; p != x; p = p->args[0].get()) p->type = x->type;
  }

  // --- changes

  struct Target {
    TableRef ref;
    Scope scope;
  };

  Target& MakeTarget(Statement& s) {
    Target& target = targets_.emplace_back();
    target.ref.kind = TableRef::Kind::Table;
    target.ref.name = s.table;
    target.ref.alias = s.alias;
    ResolveTableRef(target.ref, nullptr);
    if (target.ref.isDual) throw SqlError("ORA-01031: insufficient privileges");
    target.scope.sources.push_back(&target.ref);
    return target;
  }

  // A column of the statement's table: C, T.C, alias.C or NQ.T.C.
  std::string TargetColumn(const Target& target, const Name& column) const {
    Name n = column;
    if (n.size() == 3 && IsSchema(n[0])) {
      if (UpperName(n[1].text) != UpperName(target.ref.tableName)) throw SqlError(InvalidIdentifier(column));
      n.erase(n.begin());
    }
    if (n.size() == 2) {
      if (!SourceIs(target.ref, n[0]) && UpperName(n[0].text) != UpperName(target.ref.tableName)) {
        throw SqlError(InvalidIdentifier(column));
      }
      n.erase(n.begin());
    }
    if (n.size() != 1) throw SqlError(InvalidIdentifier(column));
    return n[0].text;
  }

  static OracleType ColumnType(const Target& target, const std::string& column) {
    const ResultColumn* c = FindColumn(target.ref, column);
    return c != nullptr ? c->type : OracleType();
  }

  void TranslateInsert(Statement& s, TranslatedStatement& t) {
    Target& target = MakeTarget(s);
    t.table = target.ref.tableName;
    t.writes = true;
    std::vector<std::string> columns;
    for (const Name& c : s.columns) columns.push_back(TargetColumn(target, c));
    std::vector<OracleType> types;
    if (!columns.empty()) {
      for (const std::string& c : columns) types.push_back(ColumnType(target, c));
    } else if (target.ref.columnsKnown) {
      for (const ResultColumn& c : target.ref.columns) types.push_back(c.type);
    }
    const Scope empty;
    if (!s.values.empty()) {
      if (!types.empty() && s.values.size() != types.size()) {
        throw SqlError(s.values.size() > types.size() ? "ORA-00913: too many values" : "ORA-00947: not enough values");
      }
      for (std::size_t i = 0; i < s.values.size(); ++i) {
        ResolveExpr(*s.values[i], empty);
        if (i < types.size()) CoerceTo(*s.values[i], types[i]);
      }
    } else {
      ResolveQuery(*s.query, nullptr);
      for (SelectCore& core : s.query->cores) {
        bool star = false;
        for (const SelectItem& item : core.items) star = star || item.star;
        if (star) continue;
        if (!types.empty() && core.items.size() != types.size()) {
          throw SqlError(core.items.size() > types.size() ? "ORA-00913: too many values"
                                                          : "ORA-00947: not enough values");
        }
        for (std::size_t i = 0; i < core.items.size() && i < types.size(); ++i) CoerceTo(*core.items[i].expr, types[i]);
      }
    }
    std::string& out = t.sql;
    out = "INSERT INTO " + Ident(target.ref.tableName, false);
    if (!columns.empty()) {
      out += " (";
      for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) out += ", ";
        out += Ident(columns[i], s.columns[i].back().quoted);
      }
      out += ')';
    }
    if (!s.values.empty()) {
      out += " VALUES (";
      for (std::size_t i = 0; i < s.values.size(); ++i) {
        if (i > 0) out += ", ";
        EmitExpr(*s.values[i], out, 0);
      }
      out += ')';
    } else {
      out += ' ';
      EmitQuery(*s.query, out);
    }
  }

  void TranslateUpdate(Statement& s, TranslatedStatement& t) {
    Target& target = MakeTarget(s);
    t.table = target.ref.tableName;
    t.writes = true;
    std::string& out = t.sql;
    std::string sets;
    for (std::size_t i = 0; i < s.columns.size(); ++i) {
      const std::string column = TargetColumn(target, s.columns[i]);
      ResolveExpr(*s.values[i], target.scope);
      CoerceTo(*s.values[i], ColumnType(target, column));
      if (i > 0) sets += ", ";
      sets += Ident(column, s.columns[i].back().quoted) + " = ";
      EmitExpr(*s.values[i], sets, 0);
    }
    if (s.where) ResolveExpr(*s.where, target.scope);
    out = "UPDATE " + Ident(target.ref.tableName, false);
    if (!s.alias.empty()) out += " AS " + Ident(s.alias, false);
    out += " SET " + sets;
    if (s.where) {
      out += " WHERE ";
      EmitExpr(*s.where, out, 0);
    }
  }

  void TranslateDelete(Statement& s, TranslatedStatement& t) {
    Target& target = MakeTarget(s);
    t.table = target.ref.tableName;
    t.writes = true;
    if (s.where) ResolveExpr(*s.where, target.scope);
    t.sql = "DELETE FROM " + Ident(target.ref.tableName, false);
    if (!s.alias.empty()) t.sql += " AS " + Ident(s.alias, false);
    if (s.where) {
      t.sql += " WHERE ";
      EmitExpr(*s.where, t.sql, 0);
    }
  }

  void TranslateAssign(Statement& s, TranslatedStatement& t) {
    const Name& v = s.variable;
    if (v.size() != 2 || !Plain(v[0], "P1") || !(Plain(v[1], "USRID") || Plain(v[1], "USRIP"))) {
      std::string dotted;
      for (const NamePart& p : v) dotted += (dotted.empty() ? "" : ".") + p.text;
      throw SqlError("ORA-06550: " + SqlPosition(sql_, s.offset) + ": PLS-00201: identifier '" + dotted +
                     "' must be declared");
    }
    t.variable = v[1].text;
    const Scope empty;
    ResolveExpr(*s.value, empty);
    const Expr* x = Unparen(*s.value);
    if (x->kind == ExprKind::Null || (x->kind == ExprKind::String && x->text.empty())) {
      t.valueIsNull = true;
    } else if (x->kind == ExprKind::String) {
      t.valueText = x->text;
    } else {
      t.valueSql = "SELECT ";
      EmitExpr(*s.value, t.valueSql, 0);
    }
  }

  // --- emission

  void EmitQuery(const Query& q, std::string& out) {
    for (std::size_t i = 0; i < q.cores.size(); ++i) {
      if (i > 0) out += ' ' + (q.setOps[i - 1] == "MINUS" ? std::string("EXCEPT") : q.setOps[i - 1]) + ' ';
      EmitCore(q.cores[i], out);
    }
    if (!q.orderBy.empty()) {
      out += " ORDER BY ";
      for (std::size_t i = 0; i < q.orderBy.size(); ++i) {
        const OrderItem& item = q.orderBy[i];
        if (i > 0) out += ", ";
        EmitExpr(*item.expr, out, 0);
        if (item.desc) out += " DESC";
        // Oracle counts NULL as larger than any value.
        const int nulls = item.nulls != 0 ? item.nulls : (item.expr->notNull ? 0 : item.desc ? 1 : 2);
        if (nulls == 1) out += " NULLS FIRST";
        if (nulls == 2) out += " NULLS LAST";
      }
    }
  }

  static bool OnlyDual(const SelectCore& core) {
    if (core.from.size() != 1 || !core.from[0]->isDual || core.from[0]->kind != TableRef::Kind::Table) return false;
    for (const SelectItem& item : core.items) {
      if (item.star) return false;
    }
    return true;
  }

  void EmitCore(const SelectCore& core, std::string& out) {
    out += core.distinct ? "SELECT DISTINCT " : "SELECT ";
    for (std::size_t i = 0; i < core.items.size(); ++i) {
      const SelectItem& item = core.items[i];
      if (i > 0) out += ", ";
      if (item.star) {
        if (item.starQualifier.empty()) {
          out += '*';
        } else {
          Name q = item.starQualifier;
          if (q.size() == 2 && IsSchema(q[0])) q.erase(q.begin());
          out += Ident(q[0]) + ".*";
        }
        continue;
      }
      EmitExpr(*item.expr, out, 0);
      if (!item.alias.empty()) out += " AS " + Ident(item.alias, item.aliasQuoted);
    }
    if (!OnlyDual(core)) {
      out += " FROM ";
      for (std::size_t i = 0; i < core.from.size(); ++i) {
        if (i > 0) out += ", ";
        EmitTableRef(*core.from[i], out);
      }
    }
    if (core.where) {
      out += " WHERE ";
      EmitExpr(*core.where, out, 0);
    }
    if (!core.groupBy.empty()) {
      out += " GROUP BY ";
      for (std::size_t i = 0; i < core.groupBy.size(); ++i) {
        if (i > 0) out += ", ";
        EmitExpr(*core.groupBy[i], out, 0);
      }
    }
    if (core.having) {
      out += " HAVING ";
      EmitExpr(*core.having, out, 0);
    }
  }

  void EmitTableRef(const TableRef& t, std::string& out) {
    switch (t.kind) {
      case TableRef::Kind::Table:
        if (t.isDual) {
          out += "(SELECT 'X' AS DUMMY) AS " + (t.alias.empty() ? std::string("DUAL") : Ident(t.alias, t.aliasQuoted));
          return;
        }
        out += Ident(t.tableName, false);
        break;
      case TableRef::Kind::SubQuery:
        out += '(';
        EmitQuery(*t.query, out);
        out += ')';
        break;
      case TableRef::Kind::Join:
        EmitTableRef(*t.left, out);
        out += ' ' + t.joinType + ' ';
        EmitTableRef(*t.right, out);
        if (t.on) {
          out += " ON ";
          EmitExpr(*t.on, out, 0);
        }
        return;
    }
    if (!t.alias.empty()) out += ' ' + Ident(t.alias, t.aliasQuoted);
  }

  void CollectConcat(const Expr& e, std::vector<const Expr*>& parts) {
    if (e.kind == ExprKind::Binary && e.text == "||") {
      CollectConcat(*e.args[0], parts);
      CollectConcat(*e.args[1], parts);
    } else {
      parts.push_back(&e);
    }
  }

  // A date in text: Oracle's implicit form of the client's dates.
  void EmitAsText(const Expr& e, std::string& out) {
    if (e.type.kind == OracleType::Date) {
      out += "TO_CHAR(";
      EmitExpr(e, out, 0);
      out += ", " + StringLiteral(kDefaultDateOutput) + ")";
    } else {
      EmitExpr(e, out, 0);
    }
  }

  void EmitArgs(const Expr& e, std::size_t from, std::string& out) {
    for (std::size_t i = from; i < e.args.size(); ++i) {
      if (i > from) out += ", ";
      EmitExpr(*e.args[i], out, 0);
    }
  }

  void EmitFunction(const Expr& e, std::string& out) {
    const std::string& f = e.name[0].text;
    if (f == "DECODE") {
      // DECODE matches NULL with NULL, which IS does and = does not.
      out += "CASE";
      std::size_t i = 1;
      for (; i + 1 < e.args.size(); i += 2) {
        out += " WHEN ";
        EmitExpr(*e.args[0], out, 5);
        out += " IS ";
        EmitExpr(*e.args[i], out, 5);
        out += " THEN ";
        EmitExpr(*e.args[i + 1], out, 0);
      }
      if (i < e.args.size()) {
        out += " ELSE ";
        EmitExpr(*e.args[i], out, 0);
      }
      out += " END";
      return;
    }
    if (f == "CONCAT" || f == "LPAD" || f == "RPAD") {
      // Texts, every argument but the width of a pad: a date among them is
      // written the way Oracle turns a date into text.
      out += f == "CONCAT" ? std::string("MERO_CONCAT") : f;
      out += '(';
      for (std::size_t k = 0; k < e.args.size(); ++k) {
        if (k > 0) out += ", ";
        if (k == 1 && f != "CONCAT") {
          EmitExpr(*e.args[k], out, 0);
        } else {
          EmitAsText(*e.args[k], out);
        }
      }
      out += ')';
      return;
    }
    if (f == "TO_CHAR" && e.args.size() == 1 && e.args[0]->type.kind == OracleType::Date) {
      EmitAsText(*e.args[0], out);
      return;
    }
    out += f == "NVL" ? "IFNULL" : f == "CHR" ? "CHAR" : f;
    out += '(';
    if (e.star) {
      out += '*';
    } else {
      if (e.distinct) out += "DISTINCT ";
      EmitArgs(e, 0, out);
    }
    out += ')';
  }

  void EmitColumn(const Expr& e, std::string& out) {
    switch (e.ref) {
      case NameRef::SysDate:
        out += "MERO_SYSDATE()";
        return;
      case NameRef::Sequence:
        out += "MERO_NEXTVAL(" + StringLiteral(e.refText) + ")";
        return;
      case NameRef::PackageVar:
        out += e.refText == "USRID" ? "MERO_USRID()" : "MERO_USRIP()";
        return;
      case NameRef::Column:
      case NameRef::Unresolved:
        break;
    }
    if (!e.refText.empty()) {
      out += e.refText + "." + Ident(e.name.back());
      return;
    }
    Name n = e.name;
    if (n.size() == 3 && IsSchema(n[0])) n.erase(n.begin());
    for (std::size_t i = 0; i < n.size(); ++i) {
      if (i > 0) out += '.';
      out += Ident(n[i]);
    }
  }

  void EmitExpr(const Expr& e, std::string& out, int minPrec) {
    const int prec = Precedence(e);
    const bool wrap = prec < minPrec;
    if (wrap) out += '(';
    switch (e.kind) {
      case ExprKind::Number:
        out += e.text;
        break;
      case ExprKind::String:
        out += e.text.empty() ? "NULL" : StringLiteral(e.text);
        break;
      case ExprKind::Null:
        out += "NULL";
        break;
      case ExprKind::DateValue:
        out += NumberLiteral(e.number);
        break;
      case ExprKind::Placeholder: {
        std::size_t index = 0;
        while (index < params_.size() && UpperName(params_[index]) != UpperName(e.text)) ++index;
        if (index == params_.size()) params_.push_back(e.text);
        out += '?' + std::to_string(index + 1);
        break;
      }
      case ExprKind::Column:
        EmitColumn(e, out);
        break;
      case ExprKind::Function:
        EmitFunction(e, out);
        break;
      case ExprKind::Unary:
        if (e.text == "NOT") {
          out += "NOT ";
          EmitExpr(*e.args[0], out, 3);
        } else {
          out += e.text;
          EmitExpr(*e.args[0], out, 9);
        }
        break;
      case ExprKind::Binary:
        if (e.text == "||") {
          std::vector<const Expr*> parts;
          CollectConcat(e, parts);
          out += "MERO_CONCAT(";
          for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i > 0) out += ", ";
            EmitAsText(*parts[i], out);
          }
          out += ')';
        } else {
          const bool comparison = IsComparison(e.text);
          EmitExpr(*e.args[0], out, comparison ? prec + 1 : prec);
          out += ' ' + e.text + ' ';
          EmitExpr(*e.args[1], out, prec + 1);
        }
        break;
      case ExprKind::Between:
        EmitExpr(*e.args[0], out, 5);
        out += e.negated ? " NOT BETWEEN " : " BETWEEN ";
        EmitExpr(*e.args[1], out, 5);
        out += " AND ";
        EmitExpr(*e.args[2], out, 5);
        break;
      case ExprKind::InList:
        EmitExpr(*e.args[0], out, 5);
        out += e.negated ? " NOT IN (" : " IN (";
        EmitArgs(e, 1, out);
        out += ')';
        break;
      case ExprKind::InQuery:
        EmitExpr(*e.args[0], out, 5);
        out += e.negated ? " NOT IN (" : " IN (";
        EmitQuery(*e.query, out);
        out += ')';
        break;
      case ExprKind::Like:
        EmitExpr(*e.args[0], out, 5);
        out += e.negated ? " NOT LIKE " : " LIKE ";
        EmitExpr(*e.args[1], out, 5);
        if (e.args.size() > 2) {
          out += " ESCAPE ";
          EmitExpr(*e.args[2], out, 5);
        }
        break;
      case ExprKind::IsNull:
        EmitExpr(*e.args[0], out, 5);
        out += e.negated ? " IS NOT NULL" : " IS NULL";
        break;
      case ExprKind::Exists:
        out += "EXISTS (";
        EmitQuery(*e.query, out);
        out += ')';
        break;
      case ExprKind::SubQuery:
        out += '(';
        EmitQuery(*e.query, out);
        out += ')';
        break;
      case ExprKind::Case: {
        out += "CASE";
        std::size_t i = 0;
        if (e.hasOperand) {
          out += ' ';
          EmitExpr(*e.args[0], out, 0);
          i = 1;
        }
        const std::size_t pairsEnd = e.hasElse ? e.args.size() - 1 : e.args.size();
        for (; i + 1 < pairsEnd; i += 2) {
          out += " WHEN ";
          EmitExpr(*e.args[i], out, 0);
          out += " THEN ";
          EmitExpr(*e.args[i + 1], out, 0);
        }
        if (e.hasElse) {
          out += " ELSE ";
          EmitExpr(*e.args.back(), out, 0);
        }
        out += " END";
        break;
      }
      case ExprKind::Paren:
        out += '(';
        EmitExpr(*e.args[0], out, 0);
        out += ')';
        break;
    }
    if (wrap) out += ')';
  }

  const Catalog& catalog_;
  std::string_view sql_;
  const std::vector<SqlToken>& tokens_;
  std::vector<std::string> params_;
  bool writes_ = false;
  std::deque<Target> targets_;
};

}  // namespace

std::vector<TranslatedStatement> OracleTranslator::TranslateScript(std::string_view sql) const {
  SqlParser parser(sql);
  std::vector<Statement> statements = parser.ParseScript();
  std::vector<TranslatedStatement> out;
  out.reserve(statements.size());
  for (Statement& s : statements) {
    Translation t(catalog_, sql, parser.Tokens());
    out.push_back(t.Translate(s));
  }
  return out;
}

TranslatedStatement OracleTranslator::TranslateQuery(std::string_view sql) const {
  SqlParser parser(sql);
  Statement s;
  s.kind = StatementKind::Select;
  s.query = parser.ParseSelect();
  Translation t(catalog_, sql, parser.Tokens());
  return t.Translate(s);
}

}  // namespace mero::server
