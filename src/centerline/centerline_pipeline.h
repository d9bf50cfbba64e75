#pragma once
// The centerline bench: the bitmap to PBM, Potrace's outlines as SVG, the outlines back as
// contours, sorted by orientation, and the line midway between the first facing pair,
// written as a DXF. Every stage is announced in a message box through the view.
#include <string>

#include "ports/processes.h"
#include "ports/view.h"

namespace tesnova {

// The file name with the text from the last "." of its last component on replaced by
// extension, or with extension appended when it has none.
std::string WithExtension(const std::string& fileName, const std::string& extension);

// The message shown when one of the two orientation classes has no contour.
std::string NoContourPairMessage(size_t negative, size_t nonNegative);

// Runs the stages on bitmapFileName (a BMP file), next to which the ".pbm" and ".svg" files
// are written, and writes the simplified centerline into dxfFileName in the pixel frame of
// Potrace's own DXF (1 unit = 1 pixel, y up, origin at the bitmap's bottom-left corner).
// True when the DXF was written; false after the message box telling why not. File and
// number errors are raised.
bool RunCenterlinePipeline(const std::string& potraceExe, const std::string& bitmapFileName,
                           const std::string& dxfFileName, View& view, Processes& processes);

}  // namespace tesnova
