#include "cad/cad_automation.h"

namespace tesnova {

Variant PointVariant(const CadPoint& point) {
  return Variant(std::vector<double>{point.x, point.y, 0.0});
}

std::optional<CadPoint> PointFrom(const Variant& value) {
  if (value.IsEmpty()) return std::nullopt;
  return CadPoint{value.X(), value.Y()};
}

namespace {

CadPoint RequirePoint(const Variant& value) {
  auto point = PointFrom(value);
  if (!point) throw AutomationError("CAD から座標が返されませんでした", 0);
  return *point;
}

WindowId HandleFrom(const Variant& value) { return static_cast<WindowId>(value.AsInteger()); }

}  // namespace

std::string CadEntity::ObjectName() { return object_->Get("ObjectName").AsText(); }

void CadEntity::GetBoundingBox(CadPoint& lower, CadPoint& upper) {
  std::vector<Argument> args{Out(), Out()};
  object_->Call("GetBoundingBox", args);
  lower = RequirePoint(args[0].value);
  upper = RequirePoint(args[1].value);
}

void CadEntity::Rotate(const Variant& base, double radians) {
  object_->Call("Rotate", {In(base), In(radians)});
}

std::string CadEntity::ImageFile() { return object_->Get("ImageFile").AsText(); }
double CadEntity::Width() { return object_->Get("Width").AsDouble(); }
double CadEntity::Height() { return object_->Get("Height").AsDouble(); }
double CadEntity::Rotation() { return object_->Get("Rotation").AsDouble(); }
CadPoint CadEntity::Origin() { return RequirePoint(object_->Get("Origin")); }
Variant CadEntity::OriginValue() { return object_->Get("Origin"); }

Variant CadUtility::GetPoint(const std::string& prompt) {
  // No base point: the optional argument is left out, not passed empty.
  return object_->Call("GetPoint", {Missing(), In(prompt)});
}

std::optional<CadPoint> CadUtility::GetCorner(const Variant& first, const std::string& prompt) {
  return PointFrom(object_->Call("GetCorner", {In(first), In(prompt)}));
}

CadEntity CadUtility::GetEntity(const std::string& prompt, CadPoint* pickedPoint) {
  std::vector<Argument> args{OutObject(), Out(), In(prompt)};
  object_->Call("GetEntity", args);
  if (args[0].value.kind() != Variant::Kind::Object)
    throw AutomationError("CAD で図形が選択されませんでした", 0);
  if (pickedPoint) {
    if (auto p = PointFrom(args[1].value)) *pickedPoint = *p;
  }
  return CadEntity(args[0].value.AsObject());
}

void CadViewport::SetCenter(const CadPoint& center) {
  object_->Put("Center", Variant(std::vector<double>{center.x, center.y}));
}
void CadViewport::SetHeight(double height) { object_->Put("Height", height); }

WindowId CadDocument::Hwnd() { return HandleFrom(object_->Get("HWND")); }

Variant CadDocument::GetVariable(const std::string& name) {
  return object_->Call("GetVariable", {In(name)});
}

void CadDocument::SetVariable(const std::string& name, const Variant& value) {
  object_->Call("SetVariable", {In(name), In(value)});
}

void CadDocument::SendCommand(const std::string& text) { object_->Call("SendCommand", {In(text)}); }

CadUtility CadDocument::Utility() { return CadUtility(object_->Get("Utility").AsObject()); }

CadViewport CadDocument::ActiveViewport() {
  return CadViewport(object_->Get("ActiveViewport").AsObject());
}

void CadDocument::SetActiveViewport(const CadViewport& viewport) {
  object_->Put("ActiveViewport", Variant(viewport.object()));
}

int CadApplication::WindowState() {
  return static_cast<int>(object_->Get("WindowState").AsInteger());
}
void CadApplication::SetWindowState(int state) { object_->Put("WindowState", state); }
WindowId CadApplication::Hwnd() { return HandleFrom(object_->Get("HWND")); }

CadDocument CadApplication::ActiveDocument() {
  return CadDocument(object_->Get("ActiveDocument").AsObject());
}

bool GetCadApplication(AutomationHost& host, Desktop& desktop, const std::string& progId,
                       AutomationRef& app, bool bringToFront) {
  try {
    app = host.GetActiveObject(progId);
    if (!app) return false;
    if (bringToFront) {
      CadApplication cad(app);
      if (cad.WindowState() == kCadWindowMinimised) cad.SetWindowState(kCadWindowMaximised);
      desktop.BringToFront(cad.Hwnd());
      desktop.Sleep(100);
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace tesnova
