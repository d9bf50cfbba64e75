#pragma once
// The centerline bench: the bitmap to PBM, Potrace's outlines as SVG, and the centerline
// between the first facing pair of them as a DXF. Every stage is announced through the notice.
#include <string>

#include "centerline/centerline_notice.h"
#include "ports/processes.h"

namespace tesnova {

// The file name with the text from the last "." of its last component on replaced by
// extension, or with extension appended when it has none.
std::string WithExtension(const std::string& fileName, const std::string& extension);

// Runs the stages on bitmapFileName (a BMP file) and writes the simplified centerline into
// dxfFileName in the pixel frame of Potrace's own DXF. Potrace runs minimised in its own folder
// while the window stays alive. True when the DXF was written; false after the notice telling why
// not. File and number errors are raised. The ".pbm" and ".svg" files are workStem with those
// extensions, or lie next to the bitmap when workStem is empty.
bool RunCenterlinePipeline(const std::string& potraceExe, const std::string& bitmapFileName,
                           const std::string& dxfFileName, const CenterlineNotice& notice,
                           Processes& processes, const std::string& workStem = {});

}  // namespace tesnova
