#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "base/date_time.h"

namespace mero::base {

// A value as parameters and fields carry it. Text and bytes hold windows-1253
// or raw bytes; a date holds a date-time number.
class Variant {
 public:
  enum class Kind : std::uint8_t { Empty, Null, Integer, Int64, Double, Date, Boolean, Text, Bytes };

  Variant() = default;
  static Variant Null() { return Variant(Kind::Null); }
  static Variant Integer(std::int32_t v) {
    Variant r(Kind::Integer);
    r.int_ = v;
    return r;
  }
  static Variant Int64(std::int64_t v) {
    Variant r(Kind::Int64);
    r.int_ = v;
    return r;
  }
  static Variant Double(double v) {
    Variant r(Kind::Double);
    r.double_ = v;
    return r;
  }
  static Variant Date(TDateTime v) {
    Variant r(Kind::Date);
    r.double_ = v;
    return r;
  }
  static Variant Boolean(bool v) {
    Variant r(Kind::Boolean);
    r.int_ = v ? 1 : 0;
    return r;
  }
  static Variant Text(std::string v) {
    Variant r(Kind::Text);
    r.text_ = std::move(v);
    return r;
  }
  static Variant Bytes(std::string v) {
    Variant r(Kind::Bytes);
    r.text_ = std::move(v);
    return r;
  }

  Kind kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == Kind::Empty; }
  bool IsNull() const { return kind_ == Kind::Null; }

  // Raw accessors: the value as stored for its kind (0 / empty otherwise).
  std::int32_t AsInteger() const { return static_cast<std::int32_t>(int_); }
  std::int64_t AsInt64() const { return int_; }
  double AsDouble() const { return double_; }
  bool AsBoolean() const { return int_ != 0; }
  const std::string& AsText() const { return text_; }

  friend bool operator==(const Variant& a, const Variant& b) {
    return a.kind_ == b.kind_ && a.int_ == b.int_ && a.double_ == b.double_ && a.text_ == b.text_;
  }

 private:
  explicit Variant(Kind k) : kind_(k) {}

  Kind kind_ = Kind::Empty;
  std::int64_t int_ = 0;
  double double_ = 0;
  std::string text_;
};

}  // namespace mero::base
