#include "tools/tracer_command_lines.h"

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
