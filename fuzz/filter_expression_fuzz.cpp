// The filter grammar: any text either fails with the filter's own error or
// parses into a tree that binds to the fields of a small table and
// evaluates on each of its rows, NULLs included.
//
// Input: one byte of filter options, then the expression.

#include <optional>
#include <string>
#include <vector>

#include "base/text_routines.h"
#include "data/database_error.h"
#include "data/filter_expression.h"
#include "fuzz_support.h"

using namespace mero;

namespace {

struct Column {
  const char* name;
  link::TFieldType type;
};
const Column kColumns[] = {
    {"ID", link::ftInteger}, {"NAME", link::ftString},     {"PRICE", link::ftFloat},  {"DTIN", link::ftDate},
    {"OK", link::ftBoolean}, {"MY FIELD", link::ftString}, {"BIG", link::ftLargeint}, {"AT", link::ftDateTime},
};

class Row : public data::TLinkFilterTreeReader::RowValues {
 public:
  explicit Row(std::vector<base::Variant> values) : values_(std::move(values)) {}
  base::Variant Value(int fieldIndex) const override { return values_.at(static_cast<std::size_t>(fieldIndex)); }

 private:
  std::vector<base::Variant> values_;
};

const std::vector<Row>& Rows() {
  using V = base::Variant;
  static const std::vector<Row> rows = {
      Row({V::Integer(1), V::Text("toner"), V::Double(12.5), V::Date(45000), V::Boolean(true), V::Text("x"),
           V::Int64(1LL << 40), V::Date(45000.5)}),
      Row({V::Null(), V::Null(), V::Null(), V::Null(), V::Null(), V::Null(), V::Null(), V::Null()}),
      Row({V::Integer(-7), V::Text(""), V::Double(-0.0), V::Date(0), V::Boolean(false), V::Text("O'K*"), V::Int64(-1),
           V::Date(-1.25)}),
  };
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const unsigned options = in.Byte() & 3U;
  const std::string_view expression = in.Rest();
  try {
    data::TLinkFilterTreeReader tree(expression);
    tree.Bind(
        [](std::string_view name) -> std::optional<data::TLinkFilterTreeReader::FieldRef> {
          for (std::size_t i = 0; i < std::size(kColumns); ++i) {
            if (base::UpperStr(name) == kColumns[i].name)
              return data::TLinkFilterTreeReader::FieldRef{static_cast<int>(i), kColumns[i].type};
          }
          return std::nullopt;
        },
        [](const std::string& name) { throw data::EDatabaseError("Field '" + name + "' not found"); });
    FUZZ_CHECK(tree.Bound());
    for (const Row& row : Rows()) (void)tree.Evaluate(row, options);
  } catch (const data::EDatabaseError&) {
  }
  return 0;
}
