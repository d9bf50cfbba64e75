#include "cad/cad_command_support.h"

#include "base/text_file.h"
#include "vector/dxf_check.h"

namespace tesnova {

void SendEscapeToCad(Desktop& desktop, WindowId cadWindow) {
  constexpr std::uint8_t kVkEscape = 27;
  constexpr std::uint8_t kEscapeScanCode = 1;
  desktop.BringToFront(cadWindow);
  if (desktop.ForegroundWindow() != cadWindow) return;
  desktop.KeyEvent(kVkEscape, kEscapeScanCode, false);
  desktop.Sleep(5);
  desktop.KeyEvent(kVkEscape, kEscapeScanCode, true);
  desktop.Sleep(100);
}

bool DxfReadyToInsert(CommandSink& sink, const std::string& dxf) {
  if (SummariseDxfFile(PathFromUtf8(dxf)).complete) return true;
  sink.Message(dxf + "\nは途中で切れています (EOF がありません). 挿入しません.");
  StatusAndDispatch(sink, "DXF ファイルが不完全です ...");
  return false;
}

}  // namespace tesnova
