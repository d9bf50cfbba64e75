// The tool commands: direct trace, Potrace start, WinTopo. They arrive with the process launch.
// Until then each does nothing; their real bodies replace this file.
#include "app/commands.h"

namespace tesnova {

void Button1Click(AppContext&, std::string_view) {}
void Button8Click(AppContext&, std::string_view) {}
void Button18Click(AppContext&, std::string_view) {}
void Button19Click(AppContext&, std::string_view) {}
void Button24Click(AppContext&, std::string_view) {}

}  // namespace tesnova
