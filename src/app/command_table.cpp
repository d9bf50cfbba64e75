#include <array>

#include "app/commands.h"

namespace tesnova {
namespace {

struct Binding {
  std::string_view button;
  CommandHandler handler;
};

constexpr std::array<Binding, 24> kBindings = {{
    {"Button1", Button1Click},   {"Button2", Button2Click},   {"Button3", Button3Click},
    {"Button4", Button4Click},   {"Button5", Button1Click},   {"Button6", Button2Click},
    {"Button7", Button7Click},   {"Button8", Button8Click},   {"Button9", Button4Click},
    {"Button10", Button4Click},  {"Button11", Button11Click}, {"Button12", Button12Click},
    {"Button13", Button3Click},  {"Button14", Button3Click},  {"Button15", Button15Click},
    {"Button16", Button4Click},  {"Button17", Button2Click},  {"Button18", Button18Click},
    {"Button19", Button19Click}, {"Button20", Button20Click}, {"Button21", Button21Click},
    {"Button22", Button22Click}, {"Button23", Button23Click}, {"Button24", Button24Click},
}};

}  // namespace

CommandHandler CommandForButton(std::string_view button) {
  for (const Binding& b : kBindings)
    if (b.button == button) return b.handler;
  return nullptr;
}

}  // namespace tesnova
