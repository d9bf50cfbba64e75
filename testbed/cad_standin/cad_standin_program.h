#pragma once
// The running stand-in CAD program: its one drawing, windows, system variables, pick queue and
// command line, shared by the window code, the automation objects and the command line. Every
// part runs on the program's one UI thread.
#include <windows.h>

#include <deque>
#include <map>
#include <string>

#include "cad_standin_drawing.h"

namespace Gdiplus {
class Bitmap;
}

namespace standin {

struct Pick {
  bool cancel = false;
  Point point;
};

// How a command typed through SendCommand runs: it starts startMs after the call that typed it
// (on the program's own message loop, never inside the call) and keeps the program busy for
// runMs.
struct CommandTiming {
  DWORD startMs = 0;
  DWORD runMs = 200;
};

struct Program {
  Drawing drawing;
  HWND frame = nullptr;
  HWND view = nullptr;
  std::wstring progId = L"TesnovaTestCad.Application";
  // Integer system variables, kept as the 16-bit integers the real programs keep them as. The
  // unit settings start as on a metric installation: a drawing in millimetres, and content
  // without units taken as inches (the programs' initial INSUNITSDEFSOURCE).
  std::map<std::wstring, short> variables{{L"OSMODE", 37},
                                          {L"FILEDIA", 1},
                                          {L"INSUNITS", 4},
                                          {L"INSUNITSDEFSOURCE", 1},
                                          {L"INSUNITSDEFTARGET", 1}};
  std::deque<Pick> picks;
  DWORD busyUntil = 0;
  int dieAfterCalls = -1;
  long refusedCalls = 0;
  CommandTiming timing;
  std::wstring lastCommand;
  std::wstring log;
  // A pick waiting for the mouse.
  bool picking = false;
  bool pickDone = false;
  Pick pickResult;
};

extern Program program;

void Log(const std::wstring& line);
std::wstring Upper(std::wstring s);

// The view: the view window's client area shows the drawing centred on the view's centre.
SIZE ScreenSize();
double UnitsPerPixel();
Point ScreenToDrawing(int px, int py);
void Redraw();
void SetView(const View& view);
// A picture file, loaded once; null when it cannot be read.
Gdiplus::Bitmap* LoadImageFile(const std::wstring& file);
// The view rendered off screen at its window size, encoded as BMP or PNG (by mime type).
bool EncodeView(const wchar_t* mime, std::string& bytes);

// The next pick: from the queue a test filled, otherwise from the mouse (Escape or the right
// button cancels). Runs the message loop while it waits.
Pick NextPick();

// The command line. SendCommand types text into it; the commands run later, on the message
// loop. Busy while a command runs or a test made the program busy.
void TypeCommandText(const std::wstring& text);
void CancelCommand();  // the Escape key
bool Busy();
// The timer messages of the command line, sent to the frame window.
void OnCommandTimer(UINT_PTR id);

}  // namespace standin
