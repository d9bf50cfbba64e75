#pragma once
// The modal dialog in which the user chooses the target CAD program.
#include <optional>
#include <string>
#include <string_view>

namespace tesnova {

struct TargetCadChoice {
  std::string name;    // display name, shown in the window caption
  std::string progId;  // the ProgID the running CAD program is looked up by
};

class TargetCadDialog {
 public:
  virtual ~TargetCadDialog() = default;

  // Shows the dialog above every other window with the entry of preselectProgId selected;
  // the choice on OK, nothing on cancel.
  virtual std::optional<TargetCadChoice> ShowModal(std::string_view preselectProgId) = 0;
};

}  // namespace tesnova
