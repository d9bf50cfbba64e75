#pragma once
// The centerline bench's own stages, after Potrace has outlined the bitmap: the outlines read
// back as contours, sorted by orientation, and the line midway between the first facing pair,
// written as a DXF. Every stage is announced through the notice.
#include <string>

#include "centerline/centerline_notice.h"

namespace tesnova {

// The message given when one of the two orientation classes has no contour.
std::string NoContourPairMessage(size_t negative, size_t nonNegative);

// Reads Potrace's SVG of a bitmap bitmapHeight pixels high and writes the simplified centerline
// into dxfFileName in the pixel frame of Potrace's own DXF (1 unit = 1 pixel, y up, origin at
// the bitmap's bottom-left corner). True when the DXF was written; false after the notice that
// tells why not. File and number errors are raised.
bool CenterlineFromPotraceSvg(const std::string& svgFileName, int bitmapHeight,
                              const std::string& dxfFileName, const CenterlineNotice& notice);

}  // namespace tesnova
