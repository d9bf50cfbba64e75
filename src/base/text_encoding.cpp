#include "base/text_encoding.h"

#include <utility>

#include "base/system.h"

namespace tesnova {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The code point starting at s[i] and its length in bytes; length 0 when the bytes there are
// not well-formed UTF-8.
std::pair<char32_t, size_t> NextCodePoint(std::string_view s, size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) return {c, 1};
  size_t n;
  char32_t cp, min;
  if ((c & 0xE0) == 0xC0) {
    n = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return {0, 0};
  }
  if (i + n > s.size()) return {0, 0};
  for (size_t k = 1; k < n; ++k) {
    auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return {0, 0};
    cp = cp << 6 | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return {0, 0};
  return {cp, n};
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) -> char16_t {
    auto b0 = static_cast<unsigned char>(bytes[i]);
    auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? static_cast<char16_t>(b0 << 8 | b1) : static_cast<char16_t>(b1 << 8 | b0);
  };
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
      char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      } else {
        c = 0xFFFD;
      }
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string EncodeUtf16(std::string_view utf8, bool bigEndian) {
  std::string out;
  out.reserve(utf8.size() * 2);
  auto put = [&](char16_t u) {
    char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  for (size_t i = 0; i < utf8.size();) {
    auto [cp, n] = NextCodePoint(utf8, i);
    if (n == 0) {
      put(u'\xFFFD');
      ++i;
      continue;
    }
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(static_cast<char16_t>(0xD800 + (cp >> 10)));
      put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      put(static_cast<char16_t>(cp));
    }
  }
  return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    size_t n = NextCodePoint(bytes, i).second;
    if (n == 0) return false;
    i += n;
  }
  return true;
}

TextEncoding DetectTextEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return TextEncoding::kUtf8Bom;
  if (bytes.starts_with(kUtf16LeMark)) return TextEncoding::kUtf16Le;
  if (bytes.starts_with(kUtf16BeMark)) return TextEncoding::kUtf16Be;
  bool beyondAscii = false;
  for (char c : bytes) beyondAscii |= static_cast<unsigned char>(c) >= 0x80;
  return beyondAscii && IsValidUtf8(bytes) ? TextEncoding::kUtf8 : TextEncoding::kAnsi;
}

std::string DecodeTextAs(std::string_view bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return std::string(bytes);
    case TextEncoding::kUtf8Bom:
      return std::string(bytes.substr(bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0));
    case TextEncoding::kUtf16Le:
      return DecodeUtf16(bytes.substr(bytes.starts_with(kUtf16LeMark) ? 2 : 0), false);
    case TextEncoding::kUtf16Be:
      return DecodeUtf16(bytes.substr(bytes.starts_with(kUtf16BeMark) ? 2 : 0), true);
    case TextEncoding::kAnsi:
      break;
  }
  return AnsiToUtf8(bytes);
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return std::string(utf8);
    case TextEncoding::kUtf8Bom:
      return std::string(kUtf8Mark) + std::string(utf8);
    case TextEncoding::kUtf16Le:
      return std::string(kUtf16LeMark) + EncodeUtf16(utf8, false);
    case TextEncoding::kUtf16Be:
      return std::string(kUtf16BeMark) + EncodeUtf16(utf8, true);
    case TextEncoding::kAnsi:
      break;
  }
  return Utf8ToAnsi(utf8);
}

}  // namespace tesnova
