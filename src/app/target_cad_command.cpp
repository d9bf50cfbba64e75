// Choosing the target CAD program from the main window.
#include "app/commands.h"
#include "app/main_form.h"
#include "ports/target_cad_dialog.h"
#include "ports/view.h"

namespace tesnova {

void Button3Click(AppContext& context, std::string_view) {
  View& view = context.view;
  // The dialog takes over the stay-on-top state so that it shows above the main window.
  view.SetStayOnTop(false);
  std::optional<TargetCadChoice> choice;
  try {
    choice = context.targetCadDialog.ShowModal(context.values.targetProgId);
  } catch (...) {
    view.SetStayOnTop(true);
    throw;
  }
  if (choice) {
    view.SetCaption(ComposeCaption(choice->name));
    context.values.targetCadName = choice->name;
    context.values.targetProgId = choice->progId;
  }
  view.SetStayOnTop(true);
}

}  // namespace tesnova
