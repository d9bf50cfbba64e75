#pragma once
// The main window's controls as designed: kind, name, page, place at 96 dpi, text and hint.
#include <span>

namespace tesnova {

enum class ControlKind { kLabel, kEdit, kMemo, kButton, kCheckBox, kShape, kImage, kTab };

enum ControlFlags : unsigned {
  kHiddenControl = 1,  // never shown
  kReadOnly = 2,
  kDigitsOnly = 4,
  kCentred = 8,
  kTicked = 16,
};

// Pages of PageControl1 by index; the shared area below the pages has page kSharedArea.
inline constexpr int kPageCount = 6;
inline constexpr int kSharedArea = -1;

struct ControlLayout {
  ControlKind kind;
  const char* name;  // designer name; nullptr for captions of other controls
  int page;
  int x, y, width, height;
  const char* text;
  const char* hint;
  unsigned flags;
};

struct PageLayout {
  const char* caption;
  bool tabVisible;
};

std::span<const ControlLayout> MainWindowControls();
std::span<const PageLayout> MainWindowPages();

// The page that Ctrl+Tab (step +1) or Ctrl+Shift+Tab (step -1) shows after the given one: the
// next page with a tab in that direction, round from the last to the first. From a page
// without a tab, or from none (-1), the nearest tabbed page in that direction.
int NextTabPage(int current, int step);

inline constexpr int kClientWidth = 531;
inline constexpr int kClientHeight = 427;
// The frame around the active page's controls, below the tabs.
inline constexpr int kPageTop = 30;
inline constexpr int kPageBottom = 226;

}  // namespace tesnova
