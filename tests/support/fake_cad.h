#pragma once
// A CAD program in memory behind the automation port, for the command tests: one drawing
// with one raster image, a pick queue, system variables, and a log of every member called.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ports/automation.h"
#include "ports/desktop.h"

namespace tesnova::testing {

struct FakeCad {
  bool running = true;
  WindowId mainWindow = 100;
  WindowId drawingWindow = 101;
  int windowState = 1;
  std::map<std::string, Variant> variables{{"osmode", Variant(37)},
                                           {"viewsize", Variant(200.0)},
                                           {"viewctr", Variant(std::vector<double>{500, 400, 0})},
                                           {"screensize", Variant(std::vector<double>{1000, 800})},
                                           {"FILEDIA", Variant(1)}};
  // Answers of GetPoint, GetCorner and GetEntity in order; an empty Variant is a cancel.
  std::deque<Variant> picks;
  // The entity every GetEntity answers with.
  std::string objectName = "AcDbRasterImage";
  std::string imageFile;
  double imageWidth = 2000;  // pixels
  double imageHeight = 1000;
  double unitsPerPixel = 0.2;
  double rotation = 0;  // radians
  std::vector<double> origin{10, 20, 0};
  // A cancelled pick raises, as in the CAD programs; some answer an empty value instead.
  bool cancelAnswersEmpty = false;
  // A member named here raises AutomationError, as a refused call or a lost program does.
  std::string failingMember;
  // From the n-th logged call on every call raises (the program died); -1 never.
  int dieAtCall = -1;
  std::function<void(const std::string& text)> onSendCommand;
  std::vector<std::string> log;  // "GetVariable osmode", "SetVariable osmode 0", ...
  std::vector<std::string> commands;
  // Every array passed to a method, as "Member (x,y,z)".
  std::vector<std::string> pointArguments;

  void Record(const std::string& entry);
};

class FakeAutomationHost : public AutomationHost {
 public:
  explicit FakeAutomationHost(FakeCad& cad) : cad_(cad) {}
  AutomationRef GetActiveObject(const std::string& progId) override;

 private:
  FakeCad& cad_;
};

}  // namespace tesnova::testing
