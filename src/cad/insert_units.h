#pragma once
// The unit scaling of "-INSERT". A CAD program scales an inserted drawing from its units into
// the drawing's: the source units are the inserted file's $INSUNITS, or INSUNITSDEFSOURCE when
// the file declares none; the target units are the drawing's INSUNITS, or INSUNITSDEFTARGET when
// that is 0; nothing is scaled when either side stays without units. Traced DXF files are in
// pixels and declare no units, so a CAD program set up for inches-to-millimetres would insert
// them 25.4 times too large unless the typed scale makes up for it.
#include <filesystem>

#include "cad/cad_automation.h"

namespace tesnova {

// Metres per unit of an INSUNITS code (1 inches ... 20 parsecs); 0 for "no units" and for codes
// outside the table.
double MetresPerInsertUnit(int code);

// The factor the CAD program applies to an inserted file for units; 1 when it applies none.
double InsertUnitFactor(int fileUnits, int insUnits, int defaultSource, int defaultTarget);

// The $INSUNITS the DXF file declares in its header; 0 when it declares none or cannot be read.
int DxfHeaderInsertUnits(const std::filesystem::path& dxf);

// The scale to type for the DXF so that one of its units becomes scale drawing units whatever
// the CAD program's unit settings are. A unit variable the CAD program does not know counts as
// "no units".
double UnitFreeInsertScale(CadDocument& doc, const std::filesystem::path& dxf, double scale);

}  // namespace tesnova
