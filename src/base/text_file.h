#pragma once
// Text files as lists of lines, and UTF-8 paths.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tesnova {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// Decodes file bytes to UTF-8: a byte-order mark selects UTF-8, UTF-16LE or UTF-16BE,
// otherwise the system's ANSI code page applies.
std::string DecodeText(std::string_view bytes);

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
