#pragma once
// Starting outside programs and waiting for them and their files.
#include <cstdint>
#include <string>

namespace tesnova {

class Processes {
 public:
  virtual ~Processes() = default;

  // Starts "program" with the argument text as given (callers quote paths themselves): the
  // command line is the program in double quotes, one space and the arguments. An empty
  // workFolder means the program's own folder (or the current folder when the program has no
  // folder part). With wait, returns after the program ended, dispatching the caller's pending
  // messages meanwhile so that the window stays alive; the wait also ends when the application
  // is closing. False with errorCode (the system's error number) when the start failed.
  virtual bool RunProcess(const std::string& program, const std::string& arguments,
                          const std::string& workFolder, bool wait, bool waitForIdle,
                          bool minimised, std::uint32_t& errorCode) = 0;

  // Starts the program in the current folder and blocks until it ended. False when the start
  // failed.
  virtual bool RunProcessAndWait(const std::string& program, const std::string& arguments) = 0;

  // Returns once the file exists, looking every 200 ms; raises Error
  // "SVG ファイルの生成がタイムアウトしました: " + fileName after timeoutMs (0: never).
  virtual void WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) = 0;
};

}  // namespace tesnova
