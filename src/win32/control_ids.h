#pragma once
// Window ids of the controls, derived from their designer names ("Edit12" -> 1012), so that
// the program and the programs that drive it from outside agree without a shared table.
#include <string>
#include <string_view>

namespace tesnova {

// 0 for a name of no known kind or without a number.
int ControlId(std::string_view name);

// The designer name of a control id; empty for ids of no known kind.
std::string ControlName(int id);

}  // namespace tesnova
