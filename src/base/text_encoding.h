#pragma once
// The encodings a text file may be in: told apart by the file's bytes, and converted to and
// from the UTF-8 that the program works in.
#include <string>
#include <string_view>

namespace tesnova {

enum class TextEncoding {
  kAnsi,     // the system's ANSI code page, no mark
  kUtf8,     // UTF-8 without a mark, as current editors save it
  kUtf8Bom,  // UTF-8 with its byte-order mark
  kUtf16Le,  // UTF-16 little-endian with its mark
  kUtf16Be,  // UTF-16 big-endian with its mark
};

// A byte-order mark selects UTF-8, UTF-16LE or UTF-16BE. Without one, bytes that are valid
// UTF-8 and hold a byte beyond ASCII are UTF-8; anything else is the ANSI code page (plain
// ASCII reads the same either way).
TextEncoding DetectTextEncoding(std::string_view bytes);

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing
// beyond U+10FFFF, no sequence cut off at the end.
bool IsValidUtf8(std::string_view bytes);

// The bytes of a file in that encoding as UTF-8 text, without the byte-order mark.
std::string DecodeTextAs(std::string_view bytes, TextEncoding encoding);

// UTF-8 text as the bytes of a file in that encoding, with its byte-order mark if it has one.
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

}  // namespace tesnova
