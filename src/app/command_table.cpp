#include <array>

#include "app/commands.h"
#include "app/form_controls.h"

namespace tesnova {
namespace {

struct Binding {
  form::Name button;
  CommandHandler handler;
};

constexpr std::array<Binding, 24> kBindings = {{
    {form::kDirectTrace, Button1Click},          {form::kDirectTraceVTracerPage, Button1Click},
    {form::kTestBitmapFolder, Button2Click},     {form::kVTracerWorkFolder, Button2Click},
    {form::kBenchWorkFolder, Button2Click},      {form::kTargetCadPotracePage, Button3Click},
    {form::kTargetCadWinTopoPage, Button3Click}, {form::kTargetCadVTracerPage, Button3Click},
    {form::kPotraceCut, Button4Click},           {form::kVTracerCut, Button4Click},
    {form::kWinTopoCut, Button4Click},           {form::kCenterlineCut, Button4Click},
    {form::kPotraceWorkFolder, Button7Click},    {form::kStartPotrace, Button8Click},
    {form::kInsertWorkDxf, Button11Click},       {form::kWinTopoWorkFolder, Button12Click},
    {form::kProbeButton, Button15Click},         {form::kVectoriseInWinTopo, Button18Click},
    {form::kSaveWinTopoDxf, Button19Click},      {form::kPickImage, Button20Click},
    {form::kInsertImageDxf, Button21Click},      {form::kImageFolder, Button22Click},
    {form::kOleFrameSnapshot, Button23Click},    {form::kTestWinTopoMenus, Button24Click},
}};

}  // namespace

CommandHandler CommandForButton(std::string_view button) {
  for (const Binding& b : kBindings)
    if (b.button == button) return b.handler;
  return nullptr;
}

}  // namespace tesnova
