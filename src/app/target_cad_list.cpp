#include "app/target_cad_list.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "base/system.h"
#include "base/text_file.h"

namespace tesnova {
namespace {

// The list box's order: text compared without regard to case.
int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = std::tolower(static_cast<unsigned char>(a[i]));
    int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    size_t n;
    if (c < 0x80) {
      cp = c, n = 1;
    } else if ((c >> 5) == 6) {
      cp = c & 0x1F, n = 2;
    } else if ((c >> 4) == 14) {
      cp = c & 0x0F, n = 3;
    } else if ((c >> 3) == 30) {
      cp = c & 0x07, n = 4;
    } else {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    if (i + n > s.size()) {
      out += u'\xFFFD';
      break;
    }
    for (size_t k = 1; k < n; ++k) cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t u : text) {
    char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

}  // namespace

std::pair<std::string, std::string> SplitTargetCadEntry(std::string_view line) {
  size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return {std::string(), std::string(line)};
  return {std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))};
}

TargetCadList::TargetCadList(std::filesystem::path file) : file_(std::move(file)) {}

bool TargetCadList::Load() {
  std::error_code ec;
  if (!std::filesystem::exists(file_, ec)) return false;
  std::string bytes = ReadFileBytes(file_);
  if (bytes.starts_with("\xEF\xBB\xBF"))
    encoding_ = Encoding::kUtf8Bom;
  else if (bytes.starts_with("\xFF\xFE"))
    encoding_ = Encoding::kUtf16Le;
  else if (bytes.starts_with("\xFE\xFF"))
    encoding_ = Encoding::kUtf16Be;
  else
    encoding_ = Encoding::kAnsi;
  items_ = SplitLines(DecodeText(bytes));
  std::stable_sort(items_.begin(), items_.end(), [](const std::string& a, const std::string& b) {
    return CompareNoCase(a, b) < 0;
  });
  selected_ = -1;
  return true;
}

int TargetCadList::Preselect(std::string_view progId) {
  std::string needle = "\t" + std::string(progId);
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].find(needle) != std::string::npos) {
      selected_ = static_cast<int>(i);
      return selected_;
    }
  }
  return -1;
}

void TargetCadList::Select(int index) {
  selected_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
}

void TargetCadList::Add(std::string_view name, std::string_view progId) {
  std::string line = std::string(name) + "\t" + std::string(progId);
  auto at = std::find_if(items_.begin(), items_.end(),
                         [&](const std::string& item) { return CompareNoCase(line, item) < 0; });
  items_.insert(at, line);
  for (size_t i = 0; i < items_.size(); ++i) {
    if (CompareNoCase(items_[i], line) == 0) {
      selected_ = static_cast<int>(i);
      break;
    }
  }
  Save();
}

bool TargetCadList::Delete() {
  if (selected_ < 0) return false;
  int i = selected_;
  items_.erase(items_.begin() + i);
  if (i < static_cast<int>(items_.size()))
    selected_ = i;
  else
    selected_ = i > 0 ? i - 1 : -1;
  Save();
  return true;
}

bool TargetCadList::Change(std::string_view name, std::string_view progId) {
  if (selected_ < 0) return false;
  items_[selected_] = std::string(name) + "\t" + std::string(progId);
  Save();
  return true;
}

void TargetCadList::Save() const {
  std::string text;
  for (const std::string& item : items_) text += item + "\r\n";
  switch (encoding_) {
    case Encoding::kUtf8Bom:
      WriteFileBytes(file_, "\xEF\xBB\xBF" + text);
      break;
    case Encoding::kUtf16Le:
      WriteFileBytes(file_, "\xFF\xFE" + Utf16Bytes(Utf8ToUtf16(text), false));
      break;
    case Encoding::kUtf16Be:
      WriteFileBytes(file_, "\xFE\xFF" + Utf16Bytes(Utf8ToUtf16(text), true));
      break;
    case Encoding::kAnsi:
      WriteFileBytes(file_, Utf8ToAnsi(text));
      break;
  }
}

}  // namespace tesnova
