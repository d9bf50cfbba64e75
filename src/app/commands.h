#pragma once
// The main window's commands: one function per button handler, written against the ports.
// The window calls them through CommandForButton(); a handler shared by several buttons tells
// them apart by the sender, the clicked control's name (form_controls.h). Each reads the form
// into the options of its command and hands them on with a sink for what the command shows.
#include <filesystem>
#include <string>
#include <string_view>

#include "app/program_values.h"
#include "cad/cad_commands.h"

namespace tesnova {

class View;
class Screen;
class TargetCadDialog;

// Everything a command may reach. The program fills it once at start; the ports of further
// commands join here.
struct AppContext {
  View& view;
  ProgramValues& values;
  Shell& shell;
  Screen& screen;
  TargetCadDialog& targetCadDialog;
  Processes& processes;              // starting the tracers and waiting for them
  Desktop& desktop;                  // WinTopo's window and other programs' windows
  AutomationHost& automation;        // the CAD program
  ScreenCapture& screenCapture;      // the CAD program's drawing window as shown
  std::filesystem::path folder;      // the executable's folder: work files, settings, lists
  std::filesystem::path exportFile;  // the executable's path with ".bmp" (the CAD's view export)
};

using CommandHandler = void (*)(AppContext& context, std::string_view sender);

// The handler a button's click is bound to; nullptr for a name that is no command button.
CommandHandler CommandForButton(std::string_view button);

// Direct trace of the test bitmap (Button1, Button5).
void Button1Click(AppContext& context, std::string_view sender);
// Select the test bitmap or the work bitmap in the file browser (Button2, Button6, Button17).
void Button2Click(AppContext& context, std::string_view sender);
// Choose the target CAD program (Button3, Button13, Button14).
void Button3Click(AppContext& context, std::string_view sender);
// Region cut and its tool stage (Button4, Button9, Button10, Button16).
void Button4Click(AppContext& context, std::string_view sender);
// Work folder (Button7).
void Button7Click(AppContext& context, std::string_view sender);
// Potrace start (Button8).
void Button8Click(AppContext& context, std::string_view sender);
// Close WinTopo and insert the DXF (Button11).
void Button11Click(AppContext& context, std::string_view sender);
// Work folder, naming the file in the status line (Button12).
void Button12Click(AppContext& context, std::string_view sender);
// Colour probe on/off (Button15).
void Button15Click(AppContext& context, std::string_view sender);
// WinTopo vectorisation and saving (Button18, Button19) and its test command (Button24).
void Button18Click(AppContext& context, std::string_view sender);
void Button19Click(AppContext& context, std::string_view sender);
void Button24Click(AppContext& context, std::string_view sender);
// Image pick (Button20), insertion of the image's own DXF (Button21), OLE frame snapshot
// (Button23).
void Button20Click(AppContext& context, std::string_view sender);
void Button21Click(AppContext& context, std::string_view sender);
void Button23Click(AppContext& context, std::string_view sender);
// Folder of the picked image (Button22).
void Button22Click(AppContext& context, std::string_view sender);

// The colour probe's tick (Timer1).
void Timer1Timer(AppContext& context);

}  // namespace tesnova
