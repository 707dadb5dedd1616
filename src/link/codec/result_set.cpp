#include "link/codec/result_set.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "base/date_time.h"
#include "base/format_settings.h"
#include "base/number_format.h"
#include "link/codec/field_type.h"
#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"

namespace mero::link {
namespace {

// A 0x05 value stands for the double written with this pattern: up to 15
// fraction digits, no leading or trailing zeros, so 0 is the empty text.
constexpr std::string_view kFloatPattern = "###############.###############";

// Date-time numbers of 0001-01-01 and 10000-01-01: values outside read as no date.
constexpr double kFirstDate = -693594;
constexpr double kEndDate = 2958466;

constexpr std::array<double, 16> kPow10 = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

constexpr std::array<bool, 256> kRowControl = [] {
  std::array<bool, 256> t{};
  t[2] = t[4] = t[5] = t[6] = true;
  return t;
}();

[[noreturn]] void Fail(const std::string& text) { throw ELinkResultSetException("LINKRESULTSET ERROR: " + text); }

std::string FloatText(double v, const base::FormatSettings& fs) { return base::FormatFloat(kFloatPattern, v, fs); }

// The text route itself: write the value's text and read it back.
[[gnu::noinline]] bool FloatTextValueByText(double v, const base::FormatSettings& fs, double& out) {
  const std::string text = FloatText(v, fs);
  if (text.empty()) {
    out = 0;
    return false;
  }
  if (!base::TryStrToFloat(text, out, fs.decimalSeparator)) out = 0;
  return true;
}

// The number that the text of a float value (byte 5) reads back as; false when that text
// is empty. For 0.1 <= |v| < 1e15 the text holds the value rounded to 15
// significant digits, and reading it back is dividing those digits by an exact
// power of ten, so the text need not be written: the scaled value a * 10^k
// (below 2^50) is off by at most 1/16, and only when it lies that close to a
// half is the exact product consulted (fma gives its rounding error). An exact
// half goes to the even neighbour, as the text formatting does. Everything else
// takes the text route itself.
inline bool FloatTextValue(double v, const base::FormatSettings& fs, double& out) {
  const double a = std::fabs(v);
  if (!(a >= 0.1 && a < 1e15)) return FloatTextValueByText(v, fs, out);
  // Below 2^53 a conversion to an integer truncates exactly, faster than trunc/floor.
  if (a >= 1 && static_cast<double>(static_cast<std::int64_t>(a)) == a) {
    out = v;
    return true;
  }
  // Decimal exponent e (10^e <= a < 10^(e+1)): floor(binary exponent * log10 2), then one step up at most.
  const int binary = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7FF) - 1023;
  int e = binary < 0 ? -1 : (binary * 78913) >> 18;
  if (a >= kPow10[static_cast<std::size_t>(e + 1)]) ++e;
  const double scale = kPow10[static_cast<std::size_t>(14 - e)];
  const double x = a * scale;
  const double whole = static_cast<double>(static_cast<std::int64_t>(x));
  const double above = (x - whole) - 0.5;  // exact whenever it is near 0
  double digits = whole + (above > 0 ? 1.0 : 0.0);
  if (std::fabs(above) <= 0.0625) [[unlikely]] {
    const double exact = above + std::fma(a, scale, -x);
    digits = whole + (exact > 0 || (exact == 0 && std::fmod(whole, 2) != 0) ? 1.0 : 0.0);
  }
  const double r = digits / scale;
  out = v < 0 ? -r : r;
  return true;
}

// Decimal integer text as base::TryStrToInt64 reads it; the usual short form
// (optional '-', up to 18 digits) without its general checks.
bool ReadInt64(std::string_view text, std::int64_t& out) {
  std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
  const std::size_t digits = text.size() - i;
  if (digits == 0 || digits > 18) return base::TryStrToInt64(text, out);
  std::uint64_t acc = 0;
  for (; i < text.size(); ++i) {
    const unsigned d = static_cast<unsigned char>(text[i]) - static_cast<unsigned>('0');
    if (d > 9) return base::TryStrToInt64(text, out);
    acc = acc * 10 + d;
  }
  const auto value = static_cast<std::int64_t>(acc);
  out = text[0] == '-' ? -value : value;
  return true;
}

// A whole number of up to 15 digits with an optional '-' (how the server
// writes the integers of a number column) as TryStrToFloat reads it: exact,
// since a double holds every such number, and "-0" stays negative zero.
// False for anything else, which takes the general reading.
bool ReadWholeNumber(std::string_view text, double& out) {
  const std::size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
  const std::size_t digits = text.size() - sign;
  if (digits == 0 || digits > 15) return false;
  std::uint64_t acc = 0;
  for (std::size_t i = sign; i < text.size(); ++i) {
    const unsigned d = static_cast<unsigned char>(text[i]) - static_cast<unsigned>('0');
    if (d > 9) return false;
    acc = acc * 10 + d;
  }
  const auto v = static_cast<double>(acc);
  out = sign != 0 ? -v : v;
  return true;
}

bool ReadNumberText(std::string_view text, double& out, char decimalSeparator) {
  if (ReadWholeNumber(text, out)) return true;
  if (base::TryStrToFloat(text, out, decimalSeparator)) return true;
  out = 0;
  return false;
}

std::string Decimal(std::int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace

// --- Field definitions ------------------------------------------------------

std::string FastFieldsEntry(const FieldDef& def) {
  return def.name + ',' + std::to_string(def.type) + ',' + std::to_string(def.size);
}

FieldDef ParseFastFieldsEntry(std::string_view entry) {
  FieldDef def;
  const std::size_t last = entry.rfind(',');
  if (last == std::string_view::npos) {
    def.name = std::string(entry);
    return def;
  }
  std::int32_t size = 0;
  def.size = base::TryStrToInt(entry.substr(last + 1), size) ? size : 0;
  const std::size_t prev = last == 0 ? std::string_view::npos : entry.rfind(',', last - 1);
  if (prev == std::string_view::npos) {
    def.name = std::string(entry.substr(0, last));
    return def;
  }
  std::int32_t type = 0;
  def.type = base::TryStrToInt(entry.substr(prev + 1, last - prev - 1), type) ? type : 0;
  def.name = std::string(entry.substr(0, prev));
  return def;
}

std::vector<FieldDef> FieldDefsFromFastFields(const std::vector<std::string>& fastFields) {
  std::vector<FieldDef> defs;
  defs.reserve(fastFields.size());
  for (const std::string& entry : fastFields) defs.push_back(ParseFastFieldsEntry(entry));
  return defs;
}

std::vector<std::string> DecodeFieldDefs(std::string_view payload) {
  std::vector<std::string> entries;
  std::size_t pos = 0;
  for (int item = 1;; ++item) {
    const std::size_t end = payload.find(kItemEnd, pos);
    if (end == std::string_view::npos) break;  // what follows the last item is not one
    const std::string_view text = payload.substr(pos, end - pos);
    // Only the first three parts count; further parts, however many, are skipped.
    std::size_t stops[3];
    std::size_t from = 0;
    for (std::size_t& stop : stops) {
      stop = text.find(kPartEnd, from);
      if (stop == std::string_view::npos) {
        Fail("Field definition " + std::to_string(item) + " at offset " + std::to_string(pos) +
             " has fewer than three parts.");
      }
      from = stop + 1;
    }
    const std::string_view name = text.substr(0, stops[0]);
    std::int32_t type = 0;
    if (!base::TryStrToInt(text.substr(stops[0] + 1, stops[1] - stops[0] - 1), type) || type < 1 ||
        type == ftFixedChar || type == ftWideString) {
      type = ftString;
    }
    std::int32_t size = 0;
    if (!base::TryStrToInt(text.substr(stops[1] + 1, stops[2] - stops[1] - 1), size) || size < 1) size = 25;
    std::string entry(name);
    entry += ',';
    entry += std::to_string(type);
    entry += ',';
    entry += std::to_string(size);
    entries.push_back(std::move(entry));
    pos = end + 1;
  }
  return entries;
}

PacketArgument ReadPacketArgument(std::int32_t p) {
  PacketArgument a;
  a.replace = p >= 0;
  a.count = p < 0;
  if (p > 0) a.cursor = p;
  if (p == -2) a.cursor = -1;
  return a;
}

// --- Row set ----------------------------------------------------------------

void RowSet::SetFields(std::vector<FieldDef> fields) {
  fields_ = std::move(fields);
  columns_.clear();
  columns_.reserve(fields_.size());
  for (const FieldDef& f : fields_) {
    Column c;
    c.size = f.size > 0 ? static_cast<std::uint32_t>(f.size) : 0;
    switch (f.type) {
      case ftString:
      case ftFixedChar:
      case ftWideString:
      case ftGuid:
        c.store = Store::Text;
        break;
      case ftSmallint:
        c.store = Store::Int16;
        break;
      case ftWord:
        c.store = Store::Word;
        break;
      case ftInteger:
      case ftAutoInc:
        c.store = Store::Int32;
        break;
      case ftLargeint:
        c.store = Store::Int64;
        break;
      case ftBoolean:
        c.store = Store::Boolean;
        break;
      case ftFloat:
      case ftCurrency:
      case ftBCD:
        c.store = Store::Float;
        break;
      case ftDate:
        c.store = Store::Date;
        break;
      case ftTime:
        c.store = Store::Time;
        break;
      case ftDateTime:
        c.store = Store::DateTime;
        break;
      case ftBytes:
        c.store = Store::Bytes;
        break;
      case ftVarBytes:
      case ftBlob:
      case ftMemo:
      case ftGraphic:
      case ftFmtMemo:
      case ftTypedBinary:
      case ftDataSet:
        c.store = Store::Long;
        break;
      default:
        c.store = Store::None;
        break;
    }
    columns_.push_back(c);
  }
  Clear();
}

void RowSet::Clear() {
  cells_.clear();
  arena_.clear();
  rowCount_ = 0;
}

base::Variant RowSet::Value(std::size_t row, std::size_t col) const {
  if (IsNull(row, col)) return base::Variant::Null();
  switch (columns_[col].store) {
    case Store::Text:
      return base::Variant::Text(std::string(Text(row, col)));
    case Store::Bytes:
    case Store::Long:
      return base::Variant::Bytes(std::string(Text(row, col)));
    case Store::Int16:
    case Store::Word:
    case Store::Int32:
      return base::Variant::Integer(static_cast<std::int32_t>(Int(row, col)));
    case Store::Int64:
      return base::Variant::Int64(Int(row, col));
    case Store::Boolean:
      return base::Variant::Boolean(Bool(row, col));
    case Store::Float:
      return base::Variant::Double(Double(row, col));
    case Store::Date:
    case Store::DateTime:
      return base::Variant::Date(Double(row, col));
    case Store::Time:
      return base::Variant::Date(static_cast<double>(Int(row, col)) / base::kMSecsPerDay);
    case Store::None:
      break;
  }
  return base::Variant();
}

// --- Row payload ------------------------------------------------------------

// One pass over a row payload. A value (token) is collected as a view into
// the payload while it is plain text; a lone 0x05 value or 0x06 chunk is kept
// as such; only a token that mixes them is written out as text. Long values
// are bound to their chunks when the row ends, since a token may name a chunk
// that comes later in the row.
class RowPayloadReader {
 public:
  RowPayloadReader(RowSet& rows, std::string_view payload)
      : rs_(rows),
        data_(payload.data()),
        size_(payload.size()),
        fs_(base::ProcessFormats()),
        fieldCount_(rows.fields_.size()) {}

  // Appends the payload's rows; true when the end marker was met.
  bool Run() {
    std::size_t pos = 0;
    StartRow(0);
    for (;;) {
      // Nearly every value is a lone float or a plain text ended by its
      // separator: those go to their field at once, without being assembled
      // as a token. Anything else takes the general way below.
      if (token_ == Token::Empty && pos < size_) {
        if (data_[pos] == kFloatMark) {
          if (size_ - pos > 9 && data_[pos + 9] == kPartEnd) {
            PutValue(GetDouble(data_ + pos + 1));
            pos += 10;
            tokenOffset_ = pos;
            continue;
          }
        } else {
          const std::size_t end = NextControl(pos);
          if (end < size_ && data_[end] == kPartEnd) {
            PutValue(std::string_view(data_ + pos, end - pos));
            pos = end + 1;
            tokenOffset_ = pos;
            continue;
          }
        }
      }
      const std::size_t q = NextControl(pos);
      if (q > pos) AddText(pos, q);
      if (q >= size_) break;
      switch (data_[q]) {
        case kPartEnd:
          EndToken();
          pos = q + 1;
          tokenOffset_ = pos;
          break;
        case kItemEnd:
          if (EndRow()) return true;
          pos = q + 1;
          StartRow(pos);
          break;
        case kFloatMark: {
          const std::size_t left = size_ - q - 1;
          if (left < 8) {
            Fail("Float value at offset " + std::to_string(q) + " is cut short: 8 bytes needed, " +
                 std::to_string(left) + " left.");
          }
          AddFloat(GetDouble(data_ + q + 1));
          pos = q + 9;
          break;
        }
        default: {  // kLongMark
          const std::size_t left = size_ - q - 1;
          if (left < 4) {
            Fail("Long value at offset " + std::to_string(q) + " is cut short: 4 length bytes needed, " +
                 std::to_string(left) + " left.");
          }
          const std::int32_t length = GetInt32(data_ + q + 1);
          pos = q + 5;
          if (length <= 0) break;  // an empty long value adds nothing to the token
          if (static_cast<std::size_t>(length) > left - 4) {
            Fail("Long value at offset " + std::to_string(q) + " runs past the end: " + std::to_string(length) +
                 " bytes announced, " + std::to_string(left - 4) + " left.");
          }
          AddChunk(pos, static_cast<std::size_t>(length));
          pos += static_cast<std::size_t>(length);
          break;
        }
      }
    }
    DropRow();  // an unfinished row at the end is not a row
    return false;
  }

 private:
  using Store = RowSet::Store;
  enum class Token : std::uint8_t { Empty, Plain, Float, Chunk, Mixed };

  struct Chunk {
    std::size_t offset;
    std::size_t length;
  };
  struct PendingLong {
    std::size_t col;
    std::int64_t index;
    std::size_t offset;  // of the token, for the error text
  };

  // The position of the next control byte at or after pos, or the end. Eight
  // bytes are tested at once for a byte below 7 (every control byte is one);
  // the lowest byte flagged is always a real one.
  std::size_t NextControl(std::size_t q) const {
    static_assert(std::endian::native == std::endian::little, "the lowest flagged byte must come first");
    const auto* bytes = reinterpret_cast<const unsigned char*>(data_);
    while (q + 8 <= size_) {
      std::uint64_t word;
      std::memcpy(&word, data_ + q, 8);
      const std::uint64_t low = (word - 0x0707070707070707ULL) & ~word & 0x8080808080808080ULL;
      if (low == 0) {
        q += 8;
        continue;
      }
      q += static_cast<std::size_t>(std::countr_zero(low) >> 3);
      if (kRowControl[bytes[q]]) return q;
      ++q;
    }
    while (q < size_ && !kRowControl[bytes[q]]) ++q;
    return q;
  }

  // --- token assembly

  void AddText(std::size_t from, std::size_t to) {
    switch (token_) {
      case Token::Empty:
        token_ = Token::Plain;
        plainBegin_ = from;
        plainEnd_ = to;
        return;
      case Token::Plain:
        if (plainEnd_ == from) {
          plainEnd_ = to;
          return;
        }
        break;
      default:
        break;
    }
    ToMixed();
    scratch_.append(data_ + from, to - from);
  }

  void AddFloat(double v) {
    if (token_ == Token::Empty) {
      token_ = Token::Float;
      float_ = v;
      return;
    }
    ToMixed();
    scratch_ += FloatText(v, fs_);
  }

  void AddChunk(std::size_t offset, std::size_t length) {
    const std::size_t index = chunks_.size();
    chunks_.push_back({offset, length});
    if (token_ == Token::Empty) {
      token_ = Token::Chunk;
      chunk_ = index;
      return;
    }
    ToMixed();
    scratch_ += Decimal(static_cast<std::int64_t>(index));
  }

  void ToMixed() {
    switch (token_) {
      case Token::Empty:
        scratch_.clear();
        break;
      case Token::Plain:
        scratch_.assign(data_ + plainBegin_, plainEnd_ - plainBegin_);
        break;
      case Token::Float:
        scratch_ = FloatText(float_, fs_);
        break;
      case Token::Chunk:
        scratch_ = Decimal(static_cast<std::int64_t>(chunk_));
        break;
      case Token::Mixed:
        return;
    }
    token_ = Token::Mixed;
  }

  std::string_view TokenText() const {
    if (token_ == Token::Plain) return {data_ + plainBegin_, plainEnd_ - plainBegin_};
    if (token_ == Token::Mixed) return scratch_;
    return {};
  }

  // --- rows

  void StartRow(std::size_t offset) {
    rowCells_ = rs_.cells_.size();
    rowArena_ = rs_.arena_.size();
    rs_.cells_.resize(rowCells_ + fieldCount_);
    tokens_ = 0;
    token_ = Token::Empty;
    tokenOffset_ = offset;
    chunks_.clear();
    pending_.clear();
  }

  void EndToken() {
    const std::size_t col = tokens_++;
    if (col < fieldCount_) {
      switch (token_) {
        case Token::Float:
          PutFloat(col, float_);
          break;
        case Token::Chunk:
          PutChunk(col, chunk_);
          break;
        default:
          PutText(col, TokenText());
          break;
      }
    }
    token_ = Token::Empty;
  }

  // A whole value with its separator read at once: it fills the next field.
  template <typename Value>
  void PutValue(Value value) {
    const std::size_t col = tokens_++;
    if (col < fieldCount_) {
      if constexpr (std::is_same_v<Value, double>) {
        PutFloat(col, value);
      } else {
        PutText(col, value);
      }
    }
  }

  bool EndRow() {
    if (tokens_ == 0 && (token_ == Token::Plain || token_ == Token::Mixed) && TokenText() == "NULL") {
      DropRow();
      return true;
    }
    // Values without their terminator, the unfinished last one included, are empty.
    for (std::size_t col = tokens_; col < fieldCount_; ++col) PutText(col, {});
    for (const PendingLong& p : pending_) {
      if (p.index < 0 || static_cast<std::size_t>(p.index) >= chunks_.size()) {
        Fail("Field " + rs_.fields_[p.col].name + " of row " + std::to_string(rowNumber_) + " at offset " +
             std::to_string(p.offset) + " names long value " + std::to_string(p.index) + ", but the row holds " +
             std::to_string(chunks_.size()) + ".");
      }
      const Chunk& c = chunks_[static_cast<std::size_t>(p.index)];
      std::size_t length = c.length;
      const RowSet::Column& column = rs_.columns_[p.col];
      if (column.store == Store::Bytes && length > column.size) length = column.size;
      RowSet::Cell& cell = CellAt(p.col);
      cell.bits = Keep(data_ + c.offset, length);
      cell.null = false;
    }
    ++rs_.rowCount_;
    ++rowNumber_;
    return false;
  }

  void DropRow() {
    rs_.cells_.resize(rowCells_);
    rs_.arena_.resize(rowArena_);
  }

  // --- values

  RowSet::Cell& CellAt(std::size_t col) { return rs_.cells_[rowCells_ + col]; }

  std::uint64_t Keep(const char* p, std::size_t length) {
    if (length == 0) return 0;
    const std::size_t offset = rs_.arena_.size();
    if (length > std::numeric_limits<std::uint32_t>::max() - offset) Fail("Row values exceed 4 GiB.");
    rs_.arena_.append(p, length);
    return static_cast<std::uint64_t>(offset) | (static_cast<std::uint64_t>(length) << 32);
  }

  static std::uint64_t Bits(std::int64_t v) { return static_cast<std::uint64_t>(v); }
  static std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

  void PutDate(RowSet::Cell& cell, Store store, double v) {
    if (!(v > kFirstDate && v < kEndDate)) v = 0;
    if (store == Store::DateTime) {
      cell.bits = Bits(v);
      return;
    }
    // Rounded to the millisecond first, so 23:59:59.9996 belongs to the next day.
    const std::int64_t ms = std::llround(v * base::kMSecsPerDay);
    if (store == Store::Date) {
      cell.bits = Bits(static_cast<double>(ms / base::kMSecsPerDay));
    } else {
      cell.bits = Bits((ms < 0 ? -ms : ms) % base::kMSecsPerDay);
    }
  }

  static bool FitsIn(Store store, std::int64_t v) {
    switch (store) {
      case Store::Int16:
        return v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
      case Store::Word:
        return v >= 0 && v <= std::numeric_limits<std::uint16_t>::max();
      case Store::Int32:
        return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
      default:
        return true;
    }
  }

  void PutText(std::size_t col, std::string_view text) {
    RowSet::Cell& cell = CellAt(col);
    if (text.size() == 1 && text[0] == kNullValue) {
      cell.bits = 0;
      cell.null = true;
      return;
    }
    cell.null = false;
    const RowSet::Column& column = rs_.columns_[col];
    switch (column.store) {
      case Store::Text:
        cell.bits = Keep(text.data(), text.size() < column.size ? text.size() : column.size);
        return;
      case Store::Int16:
      case Store::Word:
      case Store::Int32:
      case Store::Int64: {
        std::int64_t v = 0;
        if (!ReadInt64(text, v) || !FitsIn(column.store, v)) v = 0;
        cell.bits = Bits(v);
        return;
      }
      case Store::Boolean:
        cell.bits = text == "1" ? 1 : 0;
        return;
      case Store::Float: {
        double v = 0;
        ReadNumberText(text, v, fs_.decimalSeparator);
        cell.bits = Bits(v);
        return;
      }
      case Store::Date:
      case Store::Time:
      case Store::DateTime: {
        double v = 0;
        ReadNumberText(text, v, fs_.decimalSeparator);
        PutDate(cell, column.store, v);
        return;
      }
      case Store::Bytes:
      case Store::Long: {
        cell.bits = 0;
        if (text.empty()) {
          cell.null = true;
          return;
        }
        std::int32_t index = 0;
        if (!base::TryStrToInt(text, index)) {
          Fail("Field " + rs_.fields_[col].name + " of row " + std::to_string(rowNumber_) + " at offset " +
               std::to_string(tokenOffset_) + " holds no long value number.");
        }
        pending_.push_back({col, index, tokenOffset_});
        return;
      }
      case Store::None:
        cell.bits = 0;
        return;
    }
  }

  void PutChunk(std::size_t col, std::size_t index) {
    const Store store = rs_.columns_[col].store;
    if (store == Store::Bytes || store == Store::Long) {
      RowSet::Cell& cell = CellAt(col);
      cell.bits = 0;
      cell.null = false;
      pending_.push_back({col, static_cast<std::int64_t>(index), tokenOffset_});
      return;
    }
    PutText(col, Decimal(static_cast<std::int64_t>(index)));
  }

  void PutFloat(std::size_t col, double v) {
    RowSet::Cell& cell = CellAt(col);
    cell.null = false;
    const Store store = rs_.columns_[col].store;
    switch (store) {
      case Store::Int16:
      case Store::Word:
      case Store::Int32:
      case Store::Int64: {
        double r = 0;
        if (!FloatTextValue(v, fs_, r)) {
          cell.bits = 0;
          return;
        }
        if (std::fabs(r) >= 1e15) break;  // digits beyond a double's reach: read the text
        const std::int64_t i = static_cast<std::int64_t>(r);
        cell.bits = static_cast<double>(i) == r && FitsIn(store, i) ? Bits(i) : 0;
        return;
      }
      case Store::Boolean: {
        double r = 0;
        FloatTextValue(v, fs_, r);
        cell.bits = r == 1.0 ? 1 : 0;
        return;
      }
      case Store::Float: {
        double r = 0;
        FloatTextValue(v, fs_, r);
        cell.bits = Bits(r);
        return;
      }
      case Store::Date:
      case Store::Time:
      case Store::DateTime: {
        double r = 0;
        FloatTextValue(v, fs_, r);
        PutDate(cell, store, r);
        return;
      }
      case Store::None:
        cell.bits = 0;
        return;
      default:
        break;
    }
    PutText(col, FloatText(v, fs_));
  }

  RowSet& rs_;
  const char* data_;
  std::size_t size_;
  const base::FormatSettings& fs_;
  std::size_t fieldCount_;

  Token token_ = Token::Empty;
  std::size_t plainBegin_ = 0;
  std::size_t plainEnd_ = 0;
  double float_ = 0;
  std::size_t chunk_ = 0;
  std::string scratch_;
  std::size_t tokenOffset_ = 0;

  std::size_t tokens_ = 0;
  std::size_t rowCells_ = 0;
  std::size_t rowArena_ = 0;
  std::size_t rowNumber_ = 1;
  std::vector<Chunk> chunks_;
  std::vector<PendingLong> pending_;
};

RowsDecoded DecodeRows(std::string_view payload, std::int32_t packetArgument, RowSet& rows) {
  RowsDecoded result;
  result.packet = ReadPacketArgument(packetArgument);
  if (result.packet.replace) rows.Clear();
  const std::size_t rowsBefore = rows.RowCount();
  const std::size_t cellsBefore = rows.cells_.size();
  const std::size_t arenaBefore = rows.arena_.size();
  try {
    RowPayloadReader reader(rows, payload);
    result.endMarker = reader.Run();
  } catch (...) {
    rows.cells_.resize(cellsBefore);
    rows.arena_.resize(arenaBefore);
    rows.rowCount_ = rowsBefore;
    throw;
  }
  result.rowsAdded = rows.RowCount() - rowsBefore;
  return result;
}

}  // namespace mero::link
