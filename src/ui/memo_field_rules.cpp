#include "ui/memo_field_rules.h"

#include "data/field.h"

namespace mero::ui {

std::string MemoFieldRefusal(const data::TField& field) {
  if (!data::IsTextType(field.DataType())) return "Not a String Field";
  if (field.Size() <= 20) return "Too Short a Field : " + std::to_string(field.Size());
  return {};
}

}  // namespace mero::ui
