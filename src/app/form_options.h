#pragma once
// The form's fields and switches read into the options the commands take.
#include "cad/cad_commands.h"
#include "raster/prepare.h"
#include "tools/tracers.h"

namespace tesnova {

class View;

// The registered tracers with their options, the curve divisions (2 when the field holds no
// integer) and the DXF wait (1000 ms when it holds none).
TracerSettings ReadTracerSettings(const View& view);

// The filters and the monochrome step of the shared area, as the region cut applies them.
PrepareOptions ReadPrepareOptions(const View& view);

CutOptions ReadCutOptions(const View& view, CutTool tool);

// The deskew switch and the monochrome step, as the image pick applies them.
PickOptions ReadPickOptions(const View& view);

}  // namespace tesnova
