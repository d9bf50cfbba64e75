#pragma once
// The outside tracers as the commands are given them.
#include <string>

namespace tesnova {

// The tracers' programs and options as the user registered them, and the settings of what
// follows a trace.
struct TracerSettings {
  std::string potrace;  // program paths
  std::string vtracer;
  std::string winTopo;
  std::string potraceOptions;  // option texts, put on the command lines as typed
  std::string vtracerOptions;
  int divisions = 2;     // pieces per curve segment when VTracer's SVG becomes DXF
  int dxfWaitMs = 1000;  // pause after a tracer ended, before its output is looked for
};

}  // namespace tesnova
