#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "server/sql_syntax.h"
#include "server/sql_tokenizer.h"

namespace mero::server {

// A recursive-descent parser of the Oracle SQL the client sends: queries
// (joins, sub-queries, set operators, GROUP BY, ORDER BY), INSERT, UPDATE,
// DELETE, COMMIT, ROLLBACK and anonymous blocks with package assignments.
// Statements of one request are separated by ";" or by a line break before
// the next statement. Failures raise SqlError with Oracle's texts
// (ORA-00900, ORA-00933, ORA-00936, ORA-00907, ORA-06550 for blocks, …).
class SqlParser {
 public:
  // Tokenizes the text, which must outlive the parser.
  explicit SqlParser(std::string_view sql);

  // Every statement of an execute request, in order.
  std::vector<Statement> ParseScript();
  // Exactly one query (an optional ";" may follow).
  QueryPtr ParseSelect();

  const std::vector<SqlToken>& Tokens() const { return tokens_; }

 private:
  const SqlToken& Peek(std::size_t ahead = 0) const;
  const SqlToken& Next();
  bool Accept(std::string_view word);
  bool AcceptOp(std::string_view op);
  void Expect(std::string_view word, const char* error);
  void ExpectOp(std::string_view op, const char* error);
  [[noreturn]] void Fail(const char* error) const;

  bool AtStatementStart(bool inBlock) const;
  bool AtAssignment() const;
  Statement ParseStatement(bool inBlock);
  Statement ParseBlock();
  Statement ParseInsert();
  Statement ParseUpdate();
  Statement ParseDelete();
  void EndStatement(bool inBlock);

  QueryPtr ParseQuery();
  void ParseCore(SelectCore& core);
  SelectItem ParseSelectItem();
  std::unique_ptr<TableRef> ParseTableRef();
  std::unique_ptr<TableRef> ParseTablePrimary();
  Name ParseName(const char* error);
  bool ParseAlias(std::string& alias, bool& quoted, bool allowAs);

  ExprPtr ParseExpr();
  ExprPtr ParseOr();
  ExprPtr ParseAnd();
  ExprPtr ParseNot();
  ExprPtr ParseComparison();
  ExprPtr ParseAdditive();
  ExprPtr ParseMultiplicative();
  ExprPtr ParseUnary();
  ExprPtr ParsePrimary();
  ExprPtr ParseCase(std::size_t first);
  ExprPtr ParseFunction(Name name, std::size_t first);
  ExprPtr Make(ExprKind kind, std::size_t first);
  void Finish(Expr& e) const;

  // Guards the recursion against absurdly nested input.
  struct Depth {
    explicit Depth(SqlParser& p);
    ~Depth() { --parser.depth_; }
    SqlParser& parser;
  };

  std::string_view sql_;
  std::vector<SqlToken> tokens_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace mero::server
