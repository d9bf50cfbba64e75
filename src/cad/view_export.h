#pragma once
// The wait for the CAD program's own export of its view ("_BMPOUT").
#include <filesystem>

#include "ports/desktop.h"

namespace tesnova {

// How long the export may take to arrive and be complete, and how often it is looked at.
inline constexpr std::uint32_t kViewExportWaitMs = 20000;
inline constexpr std::uint32_t kViewExportPollMs = 200;

// Waits (first 500 ms, then every kViewExportPollMs, kViewExportWaitMs at most) until the BMP
// file is whole: present, as long as its header says, no longer growing and no longer open in
// another program. The CAD program writes it after SendCommand has returned, possibly much
// later and slowly; a partial file must never be taken. False when it did not come whole.
bool WaitForViewExport(Desktop& desktop, const std::filesystem::path& file);

}  // namespace tesnova
