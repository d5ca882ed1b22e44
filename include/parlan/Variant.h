// A small automation value: empty, Boolean, 16-bit Integer, Long, Double or String.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace parlan {

class Variant {
 public:
  enum class Type { Empty, Boolean, Integer, Long, Double, String };

  Variant() = default;
  Variant(bool v) : value_(v) {}
  Variant(int16_t v) : value_(v) {}
  Variant(int32_t v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(std::u16string v) : value_(std::move(v)) {}
  Variant(const char16_t* v) : value_(std::u16string(v)) {}

  Type type() const { return static_cast<Type>(value_.index()); }
  bool IsEmpty() const { return type() == Type::Empty; }

  bool AsBool() const { return std::get<bool>(value_); }
  int16_t AsInteger() const { return std::get<int16_t>(value_); }
  int32_t AsLong() const { return std::get<int32_t>(value_); }
  double AsDouble() const { return std::get<double>(value_); }
  const std::u16string& AsString() const { return std::get<std::u16string>(value_); }

  // Numeric value of a Boolean, Integer, Long or Double (a Boolean true is -1, the automation
  // convention). False for empty, text, or a Double that is not a whole number.
  bool ToInt64(int64_t& out) const;

  bool operator==(const Variant& other) const = default;

 private:
  std::variant<std::monostate, bool, int16_t, int32_t, double, std::u16string> value_;
};

}  // namespace parlan
