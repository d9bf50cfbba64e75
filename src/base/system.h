#pragma once
// Facts about the running system that the core cannot know portably; the platform library
// (src/win32 or src/posix) defines them.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tesnova {

// Text in the system's ANSI code page, as files without a byte-order mark hold it, to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to the system's ANSI code page, for files written without a byte-order mark.
std::string Utf8ToAnsi(std::string_view utf8);

// True when the file can be opened with no sharing at all: no other program has it open, as a
// program still writing it would.
bool CanOpenExclusively(const std::filesystem::path& file);

// The running executable's own file, and the folder that holds it: work files and settings
// live there.
std::filesystem::path ExecutablePath();
std::filesystem::path ExecutableFolder();

// The folders of the search path (PATH), in order, empty entries left out.
std::vector<std::string> SearchPathFolders();

// The file name of the program of that name: "potrace", "potrace.exe" on Windows (where a name
// that ends in ".exe" already stays as it is).
std::string ProgramFileName(const std::string& name);

// True when standard error goes to a terminal (a console), where progress may be shown.
bool StandardErrorIsTerminal();

}  // namespace tesnova
