#pragma once
// How the centerline code tells its caller where it is: one text per stage reached (a message
// box in the window, nothing or a last reason on the command line).
#include <functional>
#include <string_view>

namespace tesnova {

using CenterlineNotice = std::function<void(std::string_view text)>;

}  // namespace tesnova
