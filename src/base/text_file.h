#pragma once
// Text files as lists of lines, and UTF-8 paths.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tesnova {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// Decodes file bytes to UTF-8: a byte-order mark selects UTF-8, UTF-16LE or UTF-16BE; without
// one, valid UTF-8 holding non-ASCII bytes is UTF-8, anything else the system's ANSI code page
// (DetectTextEncoding).
std::string DecodeText(std::string_view bytes);
// The same without a copy where the bytes are UTF-8 already (after a UTF-8 byte-order mark, or
// all ASCII, which every ANSI code page reads alike): a view into bytes, or else into `decoded`,
// which then holds DecodeText's result.
std::string_view DecodeTextView(std::string_view bytes, std::string& decoded);

// Splits at CR LF, a lone LF or a lone CR. A final line ending adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Reads the whole file; raises FileError naming the file when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
std::vector<std::string> ReadTextLines(const std::filesystem::path& path);

// Writes every line followed by CR LF, in one piece, replacing any file of that name through a
// temporary beside it (base/safe_write.h). Raises FileError naming the file when it cannot be
// written; an old file of that name is then left whole.
void WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tesnova
