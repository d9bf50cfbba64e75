#include "base/text_file.h"

#include <cstdio>

#include "base/error.h"
#include "base/files.h"
#include "base/safe_write.h"
#include "base/system.h"
#include "base/text_encoding.h"

namespace tesnova {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

std::string DecodeText(std::string_view bytes) {
  return DecodeTextAs(bytes, DetectTextEncoding(bytes));
}

std::string_view DecodeTextView(std::string_view bytes, std::string& decoded) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
  unsigned char any = 0;  // every byte's bits, for the top bit of any
  for (char c : bytes) any |= static_cast<unsigned char>(c);
  const bool ascii = (any & 0x80) == 0;
  if (ascii) return bytes;
  decoded = DecodeText(bytes);
  return decoded;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  // A folder, a device or a pipe is no file to read: refused before it is opened.
  RequireRegularFile(path);
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
  if (!file) throw FileError(PathToUtf8(path), "を開けません");
  std::string bytes;
  char chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw FileError(PathToUtf8(path), "を読み込めません");
  return bytes;
}

std::vector<std::string> ReadTextLines(const std::filesystem::path& path) {
  return SplitLines(DecodeText(ReadFileBytes(path)));
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  WriteFileSafely(path, bytes);
}

void WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const auto& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  WriteFileBytes(path, bytes);
}

}  // namespace tesnova
