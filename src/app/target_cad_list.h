#pragma once
// The user's list of target CAD programs, one "name<TAB>ProgID" line each, kept in
// "TargetCAD_APIVersion.txt" beside the executable. Every change is saved at once.
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text_encoding.h"

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

  // Writes every entry with CR LF, in the encoding the file was last read in; a file that was
  // never read is created as UTF-16LE with its mark, which holds every character. A file read
  // in the ANSI code page that can no longer hold the entries (a name in another script) is
  // written as UTF-8 with its mark from then on, rather than losing characters.
  void Save();

  TextEncoding Encoding() const { return encoding_; }

 private:
  std::filesystem::path file_;
  std::vector<std::string> items_;
  int selected_ = -1;
  TextEncoding encoding_ = TextEncoding::kUtf16Le;
};

}  // namespace tesnova
