#include "app/colour_probe.h"

#include <cstdio>

#include "app/commands.h"
#include "app/form_controls.h"
#include "base/integer_text.h"
#include "ports/screen.h"
#include "ports/view.h"

namespace tesnova {

ColourReading ReadColour(std::uint32_t rgb, std::string_view thresholdText) {
  int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  int y = (30 * r + 59 * g + 11 * b) / 100;
  char text[64];
  std::snprintf(text, sizeof text, "輝度値=%d [R=%d G=%d B=%d]", y, r, g, b);
  int threshold = IntegerOrDefault(thresholdText, 0);
  // The binarisation turns a pixel whose luminance equals the threshold white; so does this.
  return {text, rgb & 0xFFFFFFu, y >= threshold ? 0xFFFFFFu : 0u};
}

void Button15Click(AppContext& context, std::string_view) {
  View& view = context.view;
  if (view.Text(form::kProbeButton).find("ON") != std::string::npos) {
    view.SetTimerEnabled(form::kProbeTimer, true);
    view.SetText(form::kProbeButton, "色取得 OFF");
  } else {
    view.SetTimerEnabled(form::kProbeTimer, false);
    view.SetText(form::kProbeButton, "色取得 ON");
  }
}

void Timer1Timer(AppContext& context) {
  int x = 0, y = 0;
  std::uint32_t rgb = 0;
  // A position or pixel that cannot be read keeps the previous display.
  if (!context.screen.CursorPosition(x, y) || !context.screen.PixelAt(x, y, rgb)) return;
  View& view = context.view;
  ColourReading reading = ReadColour(rgb, view.Text(form::kThreshold));
  if (view.Text(form::kProbeText) != reading.text) view.SetText(form::kProbeText, reading.text);
  if (view.Fill(form::kProbeColour) != reading.colour)
    view.SetFill(form::kProbeColour, reading.colour);
  if (view.Fill(form::kProbeBinarised) != reading.binarised)
    view.SetFill(form::kProbeBinarised, reading.binarised);
}

}  // namespace tesnova
