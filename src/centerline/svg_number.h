#pragma once
// Decimal numbers as the outline tracer's SVG writes them.
#include <string>
#include <string_view>
#include <vector>

namespace tesnova {

// The whole text as a decimal number: optional sign, digits with an optional fraction
// (a point as separator), optional exponent. Anything else raises ConversionError with
// the message "'<text>' は浮動小数点数ではありません".
double ConvertSvgNumber(std::string_view text);

// Splits at every character from U+0001 to U+0020; runs of separators give no empty tokens.
std::vector<std::string> SplitSvgTokens(std::string_view text);

}  // namespace tesnova
