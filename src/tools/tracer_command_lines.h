#pragma once
// The argument text of every tracer start. Every path is passed in double quotes, so that a
// folder name with blanks stays one argument; option texts are trimmed here, once.
#include <string>
#include <string_view>

namespace tesnova {

// Removes blanks and control characters at both ends, as the option fields are read.
std::string TrimField(std::string_view text);

// Potrace on the work bitmap with the options of its page ("-b dxf" writes the DXF beside it).
std::string PotraceArguments(std::string_view bmp, std::string_view options);

// Whether Potrace's options set its black level (-k, --blacklevel), the grey at which a 24-bit
// picture's pixels turn black. Errs towards yes: any cluster of short options with a k in it.
bool PotraceOptionsSetBlackLevel(std::string_view options);

// Potrace's SVG back end on the centerline bench's PBM.
std::string PotraceSvgArguments(std::string_view pbm, std::string_view svg);

// VTracer: the options and one blank when there are any, then -i and -o.
std::string VTracerArguments(std::string_view options, std::string_view bmp, std::string_view svg);

// WinTopo opened on the work bitmap.
std::string WinTopoArguments(std::string_view bmp);

}  // namespace tesnova
