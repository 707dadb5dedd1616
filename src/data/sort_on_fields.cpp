// SortOnFields: the rows reordered by a byte key per row.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "base/text_routines.h"
#include "data/memory_dataset.h"

namespace mero::data {

namespace {

// Sort keys longer than this are not kept for every row.
constexpr std::uint32_t kMaxSortKey = 512;

void PutBigEndian(std::uint8_t* out, std::uint64_t v, std::uint32_t bytes) {
  for (std::uint32_t i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * (bytes - 1 - i)));
}

// A double as an unsigned number of the same order; -0 is 0, and every NaN
// is one value above all numbers, so the order is total.
std::uint64_t OrderedBits(double d) {
  constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
  if (std::isnan(d)) return ~std::uint64_t{0};
  if (d == 0) d = 0;
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return (bits & kSign) != 0 ? ~bits : bits ^ kSign;
}

// How a field's values compare, and the bytes a value takes in a sort key.
enum class Cmp : std::uint8_t { Text, Int16, Word, Bool, Int32, Int64, Double, None };

struct SortForm {
  Cmp cmp;
  std::uint32_t len;
};

SortForm SortFormOf(const TLinkFieldEntry& e) {
  using K = TStorageKind;
  switch (e.kind) {
    case K::Text:
      return {Cmp::Text, e.width};
    case K::Int16:
      return {Cmp::Int16, 2};
    case K::Word:
      return {Cmp::Word, 2};
    case K::Bool:
      return {Cmp::Bool, 1};
    case K::Int32:
    case K::Time:
      return {Cmp::Int32, 4};
    case K::Int64:
    case K::Date:
      return {Cmp::Int64, 8};
    case K::Double:
    case K::DateTime:
      return {Cmp::Double, 8};
    case K::Bytes:
    case K::Memo:
    case K::Blob:
    case K::None:
      break;
  }
  return {Cmp::None, 0};
}

std::uint64_t LoadBigEndian(const std::uint8_t* in) {
  std::uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | in[i];
  return v;
}

}  // namespace

void TLinkCustomDataset::SortOnFields(const std::vector<std::string>& names, const std::vector<bool>& descending) {
  if (!Active() || rows_.Count() == 0) return;
  if (names.size() != descending.size()) throw EDatabaseError(errors::kSortCount);
  // Every row gets a sort key of bytes that compare with memcmp exactly as
  // the rows compare: per sort field a NULL marker and the value in an
  // order-keeping form (all bits flipped for a descending field), then the
  // bookmark id, so no two keys are equal.
  struct SortKey {
    std::uint32_t offset;  // in the row block
    std::uint32_t width;   // in the row
    std::size_t field;
    Cmp cmp;
    bool descending;
    std::uint32_t at;   // in the sort key
    std::uint32_t len;  // value bytes in the sort key
  };
  std::vector<SortKey> keys;
  std::uint32_t keyLen = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int index = fieldList_.IndexOf(base::StrTrim(names[i]));
    if (index < 0) throw EDatabaseError(names[i] + errors::kSortFieldNotFound);
    const TLinkFieldEntry& e = fieldList_[static_cast<std::size_t>(index)];
    const auto [cmp, len] = SortFormOf(e);
    keys.push_back(
        {TLinkDBList::kIdSize + e.offset, e.width, static_cast<std::size_t>(index), cmp, descending[i], keyLen, len});
    keyLen += 1 + len;
  }
  const std::uint32_t idAt = keyLen;
  // At least 16 bytes, so that the first two words can travel with the row.
  keyLen = std::max<std::uint32_t>(16, (keyLen + 4 + 7) & ~7u);
  CheckBrowseMode();
  const TBookmark current = GetBookmark();

  static const std::array<std::uint8_t, 256> fold = [] {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c)
      t[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return t;
  }();
  constexpr std::uint64_t kSign64 = std::uint64_t{1} << 63;
  auto encode = [&](const std::uint8_t* row, std::uint8_t* out) {
    for (const SortKey& k : keys) {
      std::uint8_t* seg = out + k.at;
      // NULL before any value: marker 0 for NULL, 1 for a value.
      if (rows_.IsNull(row, k.field)) {
        seg[0] = 0;
      } else {
        seg[0] = 1;
        std::uint8_t* v = seg + 1;
        const std::uint8_t* x = row + k.offset;
        switch (k.cmp) {
          case Cmp::Text:
            // ASCII letters folded; the text ends at its first zero byte.
            for (std::uint32_t i = 0; i < k.width && x[i] != 0; ++i) v[i] = fold[x[i]];
            break;
          case Cmp::Int16:
            PutBigEndian(v, static_cast<std::uint16_t>(LoadValue<std::int16_t>(x)) ^ 0x8000u, 2);
            break;
          case Cmp::Word:
            PutBigEndian(v, LoadValue<std::uint16_t>(x), 2);
            break;
          case Cmp::Bool:
            v[0] = LoadValue<std::int16_t>(x) != 0 ? 1 : 0;
            break;
          case Cmp::Int32:
            PutBigEndian(v, static_cast<std::uint32_t>(LoadValue<std::int32_t>(x)) ^ 0x80000000u, 4);
            break;
          case Cmp::Int64:
            PutBigEndian(v, static_cast<std::uint64_t>(LoadValue<std::int64_t>(x)) ^ kSign64, 8);
            break;
          case Cmp::Double:
            PutBigEndian(v, OrderedBits(LoadValue<double>(x)), 8);
            break;
          case Cmp::None:
            break;
        }
      }
      if (k.descending) {
        for (std::uint32_t i = 0; i <= k.len; ++i) seg[i] = static_cast<std::uint8_t>(~seg[i]);
      }
    }
    PutBigEndian(out + idAt, static_cast<std::uint32_t>(TLinkDBList::IdOf(row)) ^ 0x80000000u, 4);
  };

  std::vector<std::uint32_t>& order = rows_.Order();
  const std::size_t n = order.size();
  if (keyLen > kMaxSortKey) {
    // Keys of very wide texts would take too much memory: the rows are
    // compared field by field, with the same result.
    auto compareField = [&](const SortKey& k, const std::uint8_t* a, const std::uint8_t* b) -> int {
      const bool na = rows_.IsNull(a, k.field);
      const bool nb = rows_.IsNull(b, k.field);
      if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
      const std::uint8_t* x = a + k.offset;
      const std::uint8_t* y = b + k.offset;
      auto order3 = [](auto p, auto q) { return p < q ? -1 : (q < p ? 1 : 0); };
      switch (k.cmp) {
        case Cmp::Text:
          for (std::uint32_t i = 0; i < k.width; ++i) {
            const std::uint8_t cx = fold[x[i]];
            const std::uint8_t cy = fold[y[i]];
            if (cx != cy) return cx < cy ? -1 : 1;
            if (cx == 0) break;
          }
          return 0;
        case Cmp::Int16:
          return order3(LoadValue<std::int16_t>(x), LoadValue<std::int16_t>(y));
        case Cmp::Word:
          return order3(LoadValue<std::uint16_t>(x), LoadValue<std::uint16_t>(y));
        case Cmp::Bool:
          return order3(LoadValue<std::int16_t>(x) != 0, LoadValue<std::int16_t>(y) != 0);
        case Cmp::Int32:
          return order3(LoadValue<std::int32_t>(x), LoadValue<std::int32_t>(y));
        case Cmp::Int64:
          return order3(LoadValue<std::int64_t>(x), LoadValue<std::int64_t>(y));
        case Cmp::Double:
          return order3(OrderedBits(LoadValue<double>(x)), OrderedBits(LoadValue<double>(y)));
        case Cmp::None:
          break;
      }
      return 0;
    };
    std::sort(order.begin(), order.end(), [&](std::uint32_t sa, std::uint32_t sb) {
      const std::uint8_t* a = rows_.Slot(sa);
      const std::uint8_t* b = rows_.Slot(sb);
      for (const SortKey& k : keys) {
        const int c = compareField(k, a, b);
        if (c != 0) return k.descending ? c > 0 : c < 0;
      }
      return TLinkDBList::IdOf(a) < TLinkDBList::IdOf(b);
    });
    const std::optional<std::size_t> pos = current ? rows_.PositionOf(*current) : std::nullopt;
    Resync(pos ? *pos : 0);
    NotifyDataSetChanged();
    return;
  }
  std::vector<std::uint8_t> keyBytes(n * keyLen, 0);
  struct Item {
    std::uint64_t w0;
    std::uint64_t w1;
    const std::uint8_t* key;
    std::uint32_t slot;
  };
  std::vector<Item> items(n);
  for (std::size_t i = 0; i < n; ++i) {
    std::uint8_t* key = keyBytes.data() + i * keyLen;
    encode(rows_.Slot(order[i]), key);
    items[i] = {LoadBigEndian(key), LoadBigEndian(key + 8), key, order[i]};
  }
  const std::size_t rest = keyLen - 16;
  std::sort(items.begin(), items.end(), [rest](const Item& a, const Item& b) {
    if (a.w0 != b.w0) return a.w0 < b.w0;
    if (a.w1 != b.w1) return a.w1 < b.w1;
    return std::memcmp(a.key + 16, b.key + 16, rest) < 0;
  });
  for (std::size_t i = 0; i < n; ++i) order[i] = items[i].slot;
  const std::optional<std::size_t> pos = current ? rows_.PositionOf(*current) : std::nullopt;
  Resync(pos ? *pos : 0);
  NotifyDataSetChanged();
}

}  // namespace mero::data
