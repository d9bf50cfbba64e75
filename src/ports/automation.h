#pragma once
// Late-bound automation objects: members reached by name, values carried in a Variant.
// The CAD program is driven through this port; the Windows adapter speaks IDispatch.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/error.h"

namespace tesnova {

class AutomationObject;
using AutomationRef = std::shared_ptr<AutomationObject>;

// A failed automation call: no such member, a refused call, a server that went away.
// code is the platform's failure code (an HRESULT on Windows), 0 when there is none.
class AutomationError : public Error {
 public:
  AutomationError(const std::string& message, std::int32_t code) : Error(message), code_(code) {}
  std::int32_t code() const { return code_; }

 private:
  std::int32_t code_;
};

// One value passed to or returned by a member. A point is a DoubleArray with X at [0], Y at [1]
// and, as the CAD programs give and take it, Z at [2]; an array keeps its element count both
// ways.
class Variant {
 public:
  enum class Kind { Empty, Integer, Double, Boolean, Text, DoubleArray, Object };

  Variant() = default;
  Variant(int value) : value_(std::int64_t{value}) {}
  Variant(std::int64_t value) : value_(value) {}
  Variant(double value) : value_(value) {}
  Variant(bool value) : value_(value) {}
  Variant(const char* value) : value_(std::string(value)) {}
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(std::vector<double> value) : value_(std::move(value)) {}
  Variant(AutomationRef value) : value_(std::move(value)) {}

  Kind kind() const { return static_cast<Kind>(value_.index()); }
  bool IsEmpty() const { return kind() == Kind::Empty; }

  // Conversions as a late-bound caller expects them: numbers convert among themselves
  // (a double to an integer rounds to nearest); anything else raises AutomationError.
  std::int64_t AsInteger() const;
  double AsDouble() const;
  bool AsBool() const;
  // Text as it stands; numbers and Booleans in their plain decimal form.
  std::string AsText() const;
  const std::vector<double>& AsDoubles() const;
  // A point's X and Y: an array of at least two elements, or AutomationError.
  double X() const { return Element(0); }
  double Y() const { return Element(1); }
  const AutomationRef& AsObject() const;

  bool operator==(const Variant&) const = default;

 private:
  double Element(std::size_t index) const;

  std::variant<std::monostate, std::int64_t, double, bool, std::string, std::vector<double>,
               AutomationRef>
      value_;
};

// An argument of Call. An out argument is passed by reference: the member writes its result
// into value. An out object is an out argument that the member declares as an object (the
// picked entity of GetEntity); a missing argument is an optional one left out.
struct Argument {
  enum class Pass { In, Out, OutObject, Missing };
  Variant value;
  Pass pass = Pass::In;
  bool out() const { return pass == Pass::Out || pass == Pass::OutObject; }
};
inline Argument In(Variant value) { return Argument{std::move(value), Argument::Pass::In}; }
inline Argument Out() { return Argument{Variant(), Argument::Pass::Out}; }
inline Argument OutObject() { return Argument{Variant(), Argument::Pass::OutObject}; }
inline Argument Missing() { return Argument{Variant(), Argument::Pass::Missing}; }

class AutomationObject {
 public:
  virtual ~AutomationObject() = default;

  virtual Variant Get(std::string_view member) = 0;
  virtual void Put(std::string_view member, const Variant& value) = 0;
  // Calls a method with the arguments in order; out arguments receive their results.
  virtual Variant Call(std::string_view member, std::span<Argument> arguments) = 0;

  // In arguments only; results of out arguments are not needed.
  Variant Call(std::string_view member, std::initializer_list<Argument> arguments = {}) {
    std::vector<Argument> copy(arguments);
    return Call(member, std::span<Argument>(copy));
  }
};

// Reaches automation objects that other programs have registered as running.
class AutomationHost {
 public:
  virtual ~AutomationHost() = default;
  // The running object registered under the ProgID; raises AutomationError when there is none.
  virtual AutomationRef GetActiveObject(const std::string& progId) = 0;
};

}  // namespace tesnova
