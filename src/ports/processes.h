#pragma once
// Starting outside programs and waiting for them and their files.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tesnova {

// How the caller waits for a started program.
enum class ProcessWait {
  kNone,  // returns once the program has started
  // Until the program ends, dispatching the caller's pending messages meanwhile so that the
  // window stays alive; the wait also ends when the application is closing (the program runs
  // on).
  kDispatching,
  kBlocking,  // until the program ends; nothing is dispatched
};

struct ProcessOptions {
  std::string program;
  // The argument text exactly as given: the command line is the program in double quotes, one
  // space and this text. Callers quote paths themselves.
  std::string arguments;
  // The folder the program starts in; empty means the program's own folder (or the current
  // folder when the program has no folder part).
  std::string workFolder;
  bool inCurrentFolder = false;  // the caller's current folder instead, whatever workFolder says
  ProcessWait wait = ProcessWait::kDispatching;
  bool waitForIdle = false;  // first waits until the program is ready for input (Windows)
  bool minimised = false;    // the program's first window shown minimised (Windows)
  // A waiting call ends the program, with every program it started, once it has run this long
  // (0: no limit). The program runs in a group of its own (a process group, a job object) so
  // that none of them is left behind.
  std::uint32_t timeoutMs = 0;
};

struct ProcessResult {
  bool started = false;
  std::uint32_t errorCode = 0;  // the system's error number when the start failed
  bool ended = false;           // the program ended while it was waited for
  std::uint32_t exitCode = 0;   // its exit code, once it ended by itself
  int signal = 0;               // the signal that ended it (POSIX); 0 when it exited
  bool timedOut = false;        // ended by the caller because it ran past timeoutMs

  // Ended by itself with exit status 0.
  bool Succeeded() const { return started && ended && !timedOut && signal == 0 && exitCode == 0; }
};

class Processes {
 public:
  virtual ~Processes() = default;

  virtual ProcessResult RunProcess(const ProcessOptions& options) = 0;

  // Returns once the file exists, looking every 200 ms; raises Error
  // "SVG ファイルの生成がタイムアウトしました: " + fileName after timeoutMs (0: never).
  virtual void WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) = 0;
};

// The platform's processes (src/win32 or src/posix). dispatch, when given, handles the
// caller's pending messages during a dispatching wait.
std::unique_ptr<Processes> MakePlatformProcesses(std::function<void()> dispatch = {});

}  // namespace tesnova
