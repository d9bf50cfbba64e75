#include "tools/tracer_command_lines.h"

#include <algorithm>

namespace tesnova {
namespace {

std::string Quoted(std::string_view path) {
  std::string s = "\"";
  s += path;
  s += '"';
  return s;
}

}  // namespace

std::string TrimField(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return std::string(text.substr(b, e - b));
}

std::string PotraceArguments(std::string_view bmp, std::string_view options) {
  return Quoted(bmp) + " " + TrimField(options);
}

bool PotraceOptionsSetBlackLevel(std::string_view options) {
  std::size_t at = 0;
  while (at < options.size()) {
    const std::size_t end = std::min(options.find_first_of(" \t", at), options.size());
    const std::string_view word = options.substr(at, end - at);
    at = end + 1;
    if (word.starts_with("--")) {
      // Long options may be shortened to any prefix that names one option.
      const std::string_view name = word.substr(0, word.find('='));
      if (name.size() > 3 && std::string_view("--blacklevel").starts_with(name)) return true;
    } else if (word.starts_with("-") && word.find('k') != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

std::string PotraceSvgArguments(std::string_view pbm, std::string_view svg) {
  return Quoted(pbm) + " -s -o " + Quoted(svg);
}

std::string VTracerArguments(std::string_view options, std::string_view bmp, std::string_view svg) {
  std::string front = TrimField(options);
  if (!front.empty()) front += ' ';
  return front + "-i " + Quoted(bmp) + " -o " + Quoted(svg);
}

std::string WinTopoArguments(std::string_view bmp) { return Quoted(bmp); }

}  // namespace tesnova
