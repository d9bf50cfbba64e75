#include "app/target_cad_list.h"

#include <algorithm>
#include <cctype>
#include <system_error>

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
  encoding_ = DetectTextEncoding(bytes);
  items_ = SplitLines(DecodeTextAs(bytes, encoding_));
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

void TargetCadList::Save() {
  std::string text;
  for (const std::string& item : items_) text += item + "\r\n";
  std::string bytes = EncodeText(text, encoding_);
  if (encoding_ == TextEncoding::kAnsi && DecodeTextAs(bytes, encoding_) != text) {
    encoding_ = TextEncoding::kUtf8Bom;
    bytes = EncodeText(text, encoding_);
  }
  WriteFileBytes(file_, bytes);
}

}  // namespace tesnova
