#include "app/window_placement.h"

#include <algorithm>
#include <cstdint>

#include "app/settings.h"

namespace tesnova {

WindowOrigin PlaceWindow(int left, int top, int width, int height,
                         const std::vector<ScreenArea>& monitors, const ScreenArea& primary) {
  // In 64 bits: a saved corner may lie anywhere in the 32-bit range.
  const std::int64_t l = left, t = top;
  const std::int64_t captionBottom = t + std::min(height, kVisibleCaption);
  const std::int64_t needed = std::min(width, kVisibleCaption);
  for (const ScreenArea& m : monitors) {
    const std::int64_t across =
        std::min<std::int64_t>(l + width, m.right) - std::max<std::int64_t>(l, m.left);
    const bool rowOnScreen = t >= m.top && t < m.bottom && captionBottom > m.top;
    if (rowOnScreen && across >= needed) return {left, top};
  }
  return {primary.left + CentredOrigin(primary.right - primary.left, width),
          primary.top + CentredOrigin(primary.bottom - primary.top, height)};
}

}  // namespace tesnova
