#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"
#include "link/codec/field_type.h"

namespace mero::data {

// A filter expression, parsed once into a tree and evaluated per row.
//
//   expr       = term { OR term }
//   term       = factor { AND factor }
//   factor     = NOT factor | '(' expr ')' | comparison
//   comparison = operand ( ('=' | '<>' | '<' | '<=' | '>' | '>=') operand
//                        | IS [NOT] NULL )
//              | field                       (a boolean field on its own)
//   operand    = field | 'text' | number | TRUE | FALSE
//   field      = name | '[' any text but ']' ']'
//
// Keywords are case-insensitive. A name is letters (Latin or Greek), digits,
// '_', '.' and '$', not starting with a digit. Texts double an inner quote.
// Numbers use '.' as decimal point. A text compared with '=' or '<>' that
// holds '*' is a pattern: '*' stands for any run of characters.
//
// A comparison with a NULL value is false (NOT of it is true); IS NULL tests
// for NULL. A literal compared with a field takes the field's type: texts
// compared with number or date fields are read as numbers (',' decimal) or
// dates in the process formats.
class TLinkFilterTreeReader {
 public:
  // Raises EDatabaseError "Filter expression error: <what> at position <n>"
  // (1-based) for a malformed expression, and for one nested deeper than 100
  // levels (parentheses and NOT) or holding more than 1000 AND, OR and NOT.
  explicit TLinkFilterTreeReader(std::string_view expression);
  ~TLinkFilterTreeReader();
  TLinkFilterTreeReader(const TLinkFilterTreeReader&) = delete;
  TLinkFilterTreeReader& operator=(const TLinkFilterTreeReader&) = delete;

  const std::string& Expression() const { return expression_; }
  // The field names the expression uses, in order of first use.
  const std::vector<std::string>& FieldNames() const { return names_; }

  // Binds the names to fields. The resolver gives a field's index and type,
  // or nullopt for an unknown name, which raises the resolver's own error
  // (unknownName). Literals compared with a field are converted to its type
  // here; one that does not convert raises "Filter expression error: '<text>'
  // is not a valid value for field '<name>'".
  struct FieldRef {
    int index = 0;
    link::TFieldType type = link::ftUnknown;
  };
  using Resolver = std::function<std::optional<FieldRef>(std::string_view name)>;
  void Bind(const Resolver& resolver, const std::function<void(const std::string& name)>& unknownName);
  bool Bound() const { return bound_; }

  // The values of the row under test, by field index.
  class RowValues {
   public:
    virtual ~RowValues() = default;
    virtual base::Variant Value(int fieldIndex) const = 0;
  };
  // Options are TFilterOption bits. The tree must be bound.
  bool Evaluate(const RowValues& row, unsigned options) const;

  struct Node;

 private:
  std::string expression_;
  std::vector<std::string> names_;
  std::unique_ptr<Node> root_;
  bool bound_ = false;
};

}  // namespace mero::data
