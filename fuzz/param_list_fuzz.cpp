// Parameter-list text as the server sends it. A list that reads must write
// back to a text that reads to the same list, and every typed reader of
// every item must cope with whatever value bytes the item holds.

#include <string>

#include "base/text_routines.h"
#include "fuzz_support.h"
#include "link/codec/link_errors.h"
#include "link/codec/param_list.h"

using namespace mero;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  link::TLinkParamList list;
  try {
    list = link::TLinkParamList::FromText(text);
  } catch (const link::ELinkParamException&) {
    return 0;
  }
  for (int i = 0; i < list.Count(); ++i) {
    const link::TLinkParamItem& item = list.ItemAt(i);
    (void)item.Value();
    (void)item.ValueText();
    (void)item.ValueInt();
    (void)item.ValueFloat();
    (void)item.ValueBool();
    (void)list.SQLLiteral(item);
    FUZZ_CHECK(list.FindByName(base::StrTrim(item.Name())) != nullptr);  // names are found trimmed
  }
  const std::string written = list.ToText();
  const link::TLinkParamList again = link::TLinkParamList::FromText(written);
  FUZZ_CHECK(again.Count() == list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    const link::TLinkParamItem& a = list.ItemAt(i);
    const link::TLinkParamItem& b = again.ItemAt(i);
    FUZZ_CHECK(a.Name() == b.Name());
    FUZZ_CHECK(a.DataType() == b.DataType());
    FUZZ_CHECK(a.ParamType() == b.ParamType());
    FUZZ_CHECK(a.IsNull() == b.IsNull());
    FUZZ_CHECK(a.RawValue() == b.RawValue());
  }
  FUZZ_CHECK(again.ToText() == written);
  FUZZ_CHECK(list.Clone().ToText() == written);
  return 0;
}
