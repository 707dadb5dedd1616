#pragma once

// The syntax tree of the Oracle SQL the client writes, as the parser builds
// it and the translator annotates and rewrites it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "server/catalog.h"

namespace mero::server {

struct Expr;
struct Query;
struct TableRef;
using ExprPtr = std::unique_ptr<Expr>;
using QueryPtr = std::unique_ptr<Query>;

// One part of a dotted name: unquoted parts are upper-cased, quoted parts
// keep their case.
struct NamePart {
  std::string text;
  bool quoted = false;
};
using Name = std::vector<NamePart>;

enum class ExprKind : std::uint8_t {
  Number,  // text: as written
  String,  // text: the value
  Null,
  Placeholder,  // text: the name of a long value sent with the statement
  Column,       // name: a column, or a pseudo-column (sysdate, SEQ.NextVal, P1.USRID)
  Function,     // name, args; star: f(*); distinct: f(DISTINCT x)
  Unary,        // text: "-", "+" or "NOT"; args[0]
  Binary,       // text: + - * / || AND OR = <> < > <= >=; args[0], args[1]
  Between,      // args: value, low, high; negated
  InList,       // args: value, then the list; negated
  InQuery,      // args[0]: value; query; negated
  Like,         // args: value, pattern [, escape]; negated
  IsNull,       // args[0]; negated: IS NOT NULL
  Exists,       // query
  SubQuery,     // query: a scalar sub-query
  Case,         // args: [operand], WHEN/THEN pairs, [ELSE]; hasOperand, hasElse
  Paren,        // args[0]
  DateValue,    // number: a date literal turned into its date-time number
};

// What a column-like name turned out to be.
enum class NameRef : std::uint8_t { Unresolved, Column, Sequence, PackageVar, SysDate };

struct Expr {
  ExprKind kind = ExprKind::Null;
  std::string text;
  Name name;
  std::vector<ExprPtr> args;
  QueryPtr query;
  bool negated = false;
  bool distinct = false;
  bool star = false;
  bool hasOperand = false;
  bool hasElse = false;
  std::size_t firstToken = 0;  // token range, for the result name of a select item
  std::size_t endToken = 0;
  std::size_t offset = 0;  // byte offset of the first token

  // Filled by the translator.
  OracleType type;
  NameRef ref = NameRef::Unresolved;
  std::string refText;   // Column: the qualifier to write (may be empty); Sequence / PackageVar: the name
  double number = 0;     // DateValue
  bool notNull = false;  // a column declared NOT NULL
};

struct SelectItem {
  ExprPtr expr;  // null for * and t.*
  bool star = false;
  Name starQualifier;  // t in t.*; empty for *
  std::string alias;
  bool aliasQuoted = false;
  std::size_t firstToken = 0;
  std::size_t endToken = 0;
};

struct ResultColumn {
  std::string name;
  OracleType type;
  bool notNull = false;
};

struct TableRef {
  enum class Kind : std::uint8_t { Table, SubQuery, Join };
  Kind kind = Kind::Table;
  Name name;       // Table
  QueryPtr query;  // SubQuery
  std::string alias;
  bool aliasQuoted = false;
  std::unique_ptr<TableRef> left;  // Join
  std::unique_ptr<TableRef> right;
  std::string joinType;  // "JOIN", "LEFT JOIN", …
  ExprPtr on;
  std::size_t offset = 0;

  // Filled by the translator.
  std::string tableName;  // the table or view, upper case, without its schema
  bool isDual = false;
  std::vector<ResultColumn> columns;
  bool columnsKnown = false;
};

struct SelectCore {
  bool distinct = false;
  std::vector<SelectItem> items;
  std::vector<std::unique_ptr<TableRef>> from;
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  ExprPtr having;
};

struct OrderItem {
  ExprPtr expr;
  bool desc = false;
  int nulls = 0;  // 0: Oracle's default (NULLs count as largest), 1 FIRST, 2 LAST
};

struct Query {
  std::vector<SelectCore> cores;
  std::vector<std::string> setOps;  // between cores: UNION, UNION ALL, INTERSECT, MINUS
  std::vector<OrderItem> orderBy;
  std::size_t offset = 0;
};

enum class StatementKind : std::uint8_t { Select, Insert, Update, Delete, Commit, Rollback, Assign, Block, Null };

struct Statement {
  StatementKind kind = StatementKind::Null;
  std::size_t offset = 0;
  QueryPtr query;  // Select; the source of INSERT … SELECT
  Name table;      // Insert, Update, Delete
  std::string alias;
  std::vector<Name> columns;    // Insert column list; Update SET targets
  std::vector<ExprPtr> values;  // Insert VALUES; Update SET values
  ExprPtr where;
  Name variable;  // Assign: P1.USRID := value
  ExprPtr value;
  std::vector<Statement> body;  // Block
};

}  // namespace mero::server
