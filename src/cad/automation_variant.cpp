#include <cmath>
#include <limits>

#include "ports/automation.h"

namespace tesnova {

namespace {

[[noreturn]] void Mismatch(const char* wanted) {
  throw AutomationError(std::string("オートメーションの値を ") + wanted + " に変換できません", 0);
}

}  // namespace

std::int64_t Variant::AsInteger() const {
  switch (kind()) {
    case Kind::Integer:
      return std::get<std::int64_t>(value_);
    case Kind::Boolean:
      return std::get<bool>(value_) ? -1 : 0;
    case Kind::Double: {
      double d = std::get<double>(value_);
      if (!std::isfinite(d) || std::fabs(d) > 9.2e18) Mismatch("integer");
      return std::llround(d);
    }
    default:
      Mismatch("integer");
  }
}

double Variant::AsDouble() const {
  switch (kind()) {
    case Kind::Double:
      return std::get<double>(value_);
    case Kind::Integer:
      return static_cast<double>(std::get<std::int64_t>(value_));
    case Kind::Boolean:
      return std::get<bool>(value_) ? -1.0 : 0.0;
    default:
      Mismatch("double");
  }
}

bool Variant::AsBool() const {
  switch (kind()) {
    case Kind::Boolean:
      return std::get<bool>(value_);
    case Kind::Integer:
      return std::get<std::int64_t>(value_) != 0;
    case Kind::Double:
      return std::get<double>(value_) != 0;
    default:
      Mismatch("boolean");
  }
}

std::string Variant::AsText() const {
  switch (kind()) {
    case Kind::Text:
      return std::get<std::string>(value_);
    case Kind::Empty:
      return {};
    case Kind::Integer:
      return std::to_string(std::get<std::int64_t>(value_));
    case Kind::Boolean:
      return std::get<bool>(value_) ? "True" : "False";
    default:
      Mismatch("text");
  }
}

const std::vector<double>& Variant::AsDoubles() const {
  if (kind() != Kind::DoubleArray) Mismatch("double array");
  return std::get<std::vector<double>>(value_);
}

double Variant::Element(std::size_t index) const {
  const auto& values = AsDoubles();
  if (values.size() < 2 || index >= values.size()) Mismatch("point");
  return values[index];
}

const AutomationRef& Variant::AsObject() const {
  if (kind() != Kind::Object || !std::get<AutomationRef>(value_)) Mismatch("object");
  return std::get<AutomationRef>(value_);
}

}  // namespace tesnova
