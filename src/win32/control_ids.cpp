#include "win32/control_ids.h"

#include <array>
#include <charconv>

namespace tesnova {
namespace {

struct Kind {
  std::string_view prefix;
  int base;
};

// Longer prefixes first: "SpeedButton" before "Button". "Tab" are the page tabs by page index.
constexpr std::array<Kind, 10> kKinds = {{{"SpeedButton", 8000},
                                          {"CheckBox", 3000},
                                          {"ListBox", 8500},
                                          {"Button", 2000},
                                          {"Label", 5000},
                                          {"Shape", 6000},
                                          {"Image", 7000},
                                          {"Edit", 1000},
                                          {"Memo", 4000},
                                          {"Tab", 7500}}};

}  // namespace

int ControlId(std::string_view name) {
  for (const Kind& kind : kKinds) {
    if (!name.starts_with(kind.prefix)) continue;
    std::string_view digits = name.substr(kind.prefix.size());
    int number = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || number < 0 ||
        number >= 500)
      return 0;
    return kind.base + number;
  }
  return 0;
}

std::string ControlName(int id) {
  for (const Kind& kind : kKinds)
    if (id >= kind.base && id < kind.base + 500)
      return std::string(kind.prefix) + std::to_string(id - kind.base);
  return {};
}

}  // namespace tesnova
