#include "app/form_options.h"

#include "app/form_controls.h"
#include "base/integer_text.h"
#include "ports/view.h"
#include "raster/threshold.h"

namespace tesnova {

TracerSettings ReadTracerSettings(const View& view) {
  TracerSettings t;
  t.potrace = view.Text(form::kPotraceProgram);
  t.vtracer = view.Text(form::kVTracerProgram);
  t.winTopo = view.Text(form::kWinTopoProgram);
  t.potraceOptions = view.Text(form::kPotraceOptions);
  t.vtracerOptions = view.Text(form::kVTracerOptions);
  t.divisions = IntegerOrDefault(view.Text(form::kCurveDivisions), 2);
  t.dxfWaitMs = IntegerOrDefault(view.Text(form::kDxfWait), 1000);
  return t;
}

PrepareOptions ReadPrepareOptions(const View& view) {
  PrepareOptions p;
  p.median = view.Checked(form::kMedian);
  p.gaussian = view.Checked(form::kGaussian);
  p.monochrome = view.Checked(form::kMonochrome);
  p.otsu = view.Checked(form::kOtsu);
  p.threshold = ThresholdFromText(view.Text(form::kThreshold));
  return p;
}

CutOptions ReadCutOptions(const View& view, CutTool tool) {
  // The centerline tracer takes over from the page's tool, not from the centerline bench.
  if (view.Checked(form::kCenterlineTrace) && tool != CutTool::kCenterline)
    tool = CutTool::kCenterlineTracer;
  return {tool, ReadPrepareOptions(view), ReadTracerSettings(view)};
}

PickOptions ReadPickOptions(const View& view) {
  PickOptions p;
  p.deskew = view.Checked(form::kDeskew);
  p.prepare.monochrome = view.Checked(form::kMonochrome);
  p.prepare.otsu = view.Checked(form::kOtsu);
  p.prepare.threshold = ThresholdFromText(view.Text(form::kThreshold));
  p.winTopo = view.Text(form::kWinTopoProgram);
  p.centerline = view.Checked(form::kCenterlineTrace);
  return p;
}

}  // namespace tesnova
