#include "win32/control_ids.h"

#include <gtest/gtest.h>

#include <set>

#include "win32/main_window_layout.h"

namespace tesnova {
namespace {

TEST(ControlIds, NamesAndIdsRoundTripWithoutClashes) {
  struct Case {
    const char* name;
    int id;
  } cases[] = {{"Edit12", 1012},       {"Button15", 2015}, {"CheckBox5", 3005}, {"Memo3", 4003},
               {"Label8", 5008},       {"Shape2", 6002},   {"Image1", 7001},    {"Tab4", 7504},
               {"SpeedButton3", 8003}, {"ListBox1", 8501}};
  for (const Case& c : cases) {
    EXPECT_EQ(ControlId(c.name), c.id) << c.name;
    EXPECT_EQ(ControlName(c.id), c.name);
  }
  for (const char* bad : {"", "Edit", "Edit-1", "Edit1x", "Timer1", "Edit500"})
    EXPECT_EQ(ControlId(bad), 0) << bad;
  EXPECT_EQ(ControlName(9000), "");

  // Every named control of the main window has an id of its own.
  std::set<int> ids;
  for (const ControlLayout& c : MainWindowControls()) {
    if (!c.name) continue;
    int id = ControlId(c.name);
    EXPECT_NE(id, 0) << c.name;
    EXPECT_TRUE(ids.insert(id).second) << c.name;
  }
}

}  // namespace
}  // namespace tesnova
