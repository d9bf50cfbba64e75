#pragma once
// The general number format: the text form of every real number the program writes (DXF
// coordinates, numbers in CAD command texts). The exact value is rounded to at most 15
// significant digits (an exact tie rounds away from zero), trailing zeros are dropped, fixed
// notation is used for decimal exponents -4 to 14 and scientific notation ("1.5E-7", "2E15")
// otherwise; non-finite values are "INF", "-INF", "NAN". The decimal separator is always a full
// stop, whatever the regional settings, so that DXF readers and CAD command lines understand it.
#include <cstddef>
#include <string>

namespace tesnova {

// Room that WriteGeneralNumber may need, terminating zero not included.
inline constexpr std::size_t kGeneralNumberMaxLength = 24;

// Writes the text of value at out (no terminating zero) and returns the end of it.
char* WriteGeneralNumber(double value, char* out);

std::string FormatGeneralNumber(double value);

// The same text made by exact big-number arithmetic alone, without the fast integer paths.
std::string FormatGeneralNumberExact(double value);

}  // namespace tesnova
