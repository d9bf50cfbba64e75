#include "process/command_line.h"

namespace tesnova {

std::string BuildCommandLine(std::string_view program, std::string_view arguments) {
  std::string line;
  line.reserve(program.size() + arguments.size() + 3);
  line += '"';
  line += program;
  line += "\" ";
  line += arguments;
  return line;
}

std::vector<std::string> SplitCommandLine(std::string_view s) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = s.size();
  auto blank = [&](size_t k) { return k < n && (s[k] == ' ' || s[k] == '\t'); };

  // The program: no escapes, a quote only groups.
  std::string first;
  if (i < n && s[i] == '"') {
    ++i;
    while (i < n && s[i] != '"') first += s[i++];
    if (i < n) ++i;  // the closing quote
  } else {
    while (i < n && !blank(i)) first += s[i++];
  }
  args.push_back(first);

  while (true) {
    while (blank(i)) ++i;
    if (i >= n) break;
    std::string arg;
    int quotes = 0;  // 1 inside a quoted group
    size_t backslashes = 0;
    while (i < n && (quotes != 0 || !blank(i))) {
      char c = s[i];
      if (c == '\\') {
        ++backslashes;
        arg += c;
        ++i;
        continue;
      }
      if (c != '"') {
        backslashes = 0;
        arg += c;
        ++i;
        continue;
      }
      // A double quote after some backslashes.
      arg.resize(arg.size() - backslashes / 2);
      if (backslashes % 2 == 1) {
        arg.back() = '"';  // the odd backslash becomes the literal quote
        backslashes = 0;
        ++i;
        continue;
      }
      backslashes = 0;
      ++i;
      ++quotes;
      // Further quotes right after this one: every third in a row is a literal quote.
      while (i < n && s[i] == '"') {
        if (++quotes == 3) {
          arg += '"';
          quotes = 0;
        }
        ++i;
      }
      if (quotes == 2) quotes = 0;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string WorkFolderFor(std::string_view program, std::string_view workFolder) {
  if (!workFolder.empty()) return std::string(workFolder);
  size_t cut = program.find_last_of("\\/");
  if (cut == std::string_view::npos) {
    // "C:potrace.exe": the current folder of drive C.
    if (program.size() >= 2 && program[1] == ':') return std::string(program.substr(0, 2));
    return {};
  }
  std::string_view folder = program.substr(0, cut);
  // Keep a root whole: "/" and "C:\".
  if (folder.empty() || (folder.size() == 2 && folder[1] == ':'))
    return std::string(program.substr(0, cut + 1));
  return std::string(folder);
}

}  // namespace tesnova
