#pragma once
// The centerline bench: the bitmap to PBM, Potrace's outlines as SVG, and the centerline
// between the first facing pair of them as a DXF. Every stage is announced through the notice.
#include <cstdint>
#include <string>

#include "centerline/centerline_notice.h"
#include "ports/processes.h"

namespace tesnova {

// The file name with the text from the last "." of its last component on replaced by
// extension, or with extension appended when it has none.
std::string WithExtension(const std::string& fileName, const std::string& extension);

// How Potrace's run is judged. The window waits for it as long as it takes and reads whatever it
// left; tesnova-cli ends it after a time-out and takes a failed run for a failure.
struct PotraceRunRules {
  std::uint32_t timeoutMs = 0;    // Potrace still running then is ended, with all it started
  bool exitStatusCounts = false;  // a non-zero exit status or a signal stops the bench
};

// Runs the stages on bitmapFileName (a BMP file) and writes the simplified centerline into
// dxfFileName in the pixel frame of Potrace's own DXF. Potrace runs minimised in its own folder
// while the window stays alive. True when the DXF was written; false after the notice telling why
// not (Potrace did not start, ran past the time-out or failed, or the outlines hold no pair);
// potraceRun, when given, then tells how Potrace's run went. File and number errors are raised.
// The ".pbm" and ".svg" files are workStem with those extensions, or lie next to the bitmap when
// workStem is empty.
bool RunCenterlinePipeline(const std::string& potraceExe, const std::string& bitmapFileName,
                           const std::string& dxfFileName, const CenterlineNotice& notice,
                           Processes& processes, const std::string& workStem = {},
                           const PotraceRunRules& rules = {}, ProcessResult* potraceRun = nullptr);

}  // namespace tesnova
