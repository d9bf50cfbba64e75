#pragma once
// Starts the stand-in CAD program for a test and stops it again.
#include <string>

#include "ports/automation.h"

namespace tesnova::testing {

class StandInCad {
 public:
  // Starts the program registered under progId and waits until its application object is in
  // the running object table. geometry is "X,Y,W,H" of its main window.
  explicit StandInCad(AutomationHost& host, std::string progId = "TesnovaTestCad.Application",
                      std::string geometry = "0,0,720,620");
  ~StandInCad();
  StandInCad(const StandInCad&) = delete;
  StandInCad& operator=(const StandInCad&) = delete;

  const AutomationRef& app() const { return app_; }
  const std::string& progId() const { return progId_; }
  // Waits until the process has ended (after a test made it die); false after the timeout.
  bool WaitForExit(unsigned milliseconds);

 private:
  std::string progId_;
  void* process_ = nullptr;
  AutomationRef app_;
};

// A 24-bit BMP file of the given size: white, with black pixels where dark(x, y) holds
// (y counted from the top).
void WriteTestBmp(const std::string& path, int width, int height, bool (*dark)(int x, int y));

}  // namespace tesnova::testing
