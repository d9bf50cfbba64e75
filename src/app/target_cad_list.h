#pragma once
// The user's list of target CAD programs, one "name<TAB>ProgID" line each, kept in
// "TargetCAD_APIVersion.txt" beside the executable. Every change is saved at once.
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tesnova {

inline constexpr const char* kTargetCadListFile = "TargetCAD_APIVersion.txt";

// The display name (before the first tab) and the ProgID (everything after it). A line
// without a tab is all ProgID.
std::pair<std::string, std::string> SplitTargetCadEntry(std::string_view line);

class TargetCadList {
 public:
  explicit TargetCadList(std::filesystem::path file);

  // Replaces the list by the file's lines, sorted; false (list unchanged) when there is no
  // file. The selection is cleared.
  bool Load();

  // Selects the first entry whose text holds a tab followed by progId; -1 when none does.
  int Preselect(std::string_view progId);

  const std::vector<std::string>& Items() const { return items_; }
  int Selected() const { return selected_; }
  void Select(int index);

  // Inserts "name<TAB>progId" at its sorted place, selects the first entry equal to it
  // regardless of case, and saves.
  void Add(std::string_view name, std::string_view progId);

  // Removes the selected entry and selects the one now at its place, else the one before;
  // saves. False (nothing changed) without a selection.
  bool Delete();

  // Replaces the selected entry in place (no re-sorting) and saves. False without a selection.
  bool Change(std::string_view name, std::string_view progId);

  // Writes every entry with CR LF, in the encoding the file was last read in.
  void Save() const;

 private:
  enum class Encoding { kAnsi, kUtf8Bom, kUtf16Le, kUtf16Be };

  std::filesystem::path file_;
  std::vector<std::string> items_;
  int selected_ = -1;
  Encoding encoding_ = Encoding::kAnsi;
};

}  // namespace tesnova
