// The CAD commands: region cut, insertion, image pick. They arrive with the CAD automation.
// Until then each does nothing; their real bodies replace this file.
#include "app/commands.h"

namespace tesnova {

void Button4Click(AppContext&, std::string_view) {}
void Button11Click(AppContext&, std::string_view) {}
void Button20Click(AppContext&, std::string_view) {}
void Button21Click(AppContext&, std::string_view) {}
void Button23Click(AppContext&, std::string_view) {}

}  // namespace tesnova
