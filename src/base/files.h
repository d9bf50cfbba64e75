#pragma once
// Files as the commands look at them: there or not, stale outputs out of the way, and the kind
// a name says.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tesnova {

// True for a regular file (not a folder) of that name.
bool FileExists(const std::filesystem::path& path);

// Raises FileError naming the file when it is missing, or is no regular file (a folder, a
// device, a pipe): what a reader refuses before it opens anything.
void RequireRegularFile(const std::filesystem::path& path);

// Deletes an output left from an earlier run, if there is one, so that it cannot pass for this
// run's. False when a file of that name is still there afterwards (another program holds it).
bool RemoveStaleFile(const std::filesystem::path& path);

// The folders of a list such as PATH, separated by separator, in order; empty entries skipped.
std::vector<std::string> SplitFolderList(std::string_view folders, char separator);

// From the last full stop of the file name part, full stop included, in upper case; "" when
// the name has none. Both '\' and '/' separate folders, whatever the platform.
std::string UpperExtension(std::string_view path);

}  // namespace tesnova
