#pragma once
// Typed access to the members of the CAD program's automation model that Tesnova uses.
// Each wrapper holds one late-bound object; every call may raise AutomationError.
#include <optional>
#include <string>

#include "ports/automation.h"
#include "ports/desktop.h"

namespace tesnova {

struct CadPoint {
  double x = 0;
  double y = 0;
  bool operator==(const CadPoint&) const = default;
};

// A new point for the CAD program: X, Y and Z = 0, the three elements every point argument of
// the automation model takes. Points the CAD program returned go back as it returned them.
Variant PointVariant(const CadPoint& point);
// A point's X and Y as the CAD program gives it; nullopt for an empty value (a pick cancelled
// by a program that answers empty rather than raising).
std::optional<CadPoint> PointFrom(const Variant& value);

// Values of the application's WindowState.
inline constexpr int kCadWindowMinimised = 2;
inline constexpr int kCadWindowMaximised = 3;

class CadEntity {
 public:
  explicit CadEntity(AutomationRef object) : object_(std::move(object)) {}
  const AutomationRef& object() const { return object_; }

  std::string ObjectName();
  // The axis-parallel extent in drawing units.
  void GetBoundingBox(CadPoint& lower, CadPoint& upper);
  // Turns the entity about the base point, a point value as the CAD program gave it (its own
  // Origin) or made by PointVariant.
  void Rotate(const Variant& base, double radians);
  // Raster image members.
  std::string ImageFile();
  double Width();
  double Height();
  double Rotation();
  CadPoint Origin();
  Variant OriginValue();  // the Origin untouched

 private:
  AutomationRef object_;
};

class CadUtility {
 public:
  explicit CadUtility(AutomationRef object) : object_(std::move(object)) {}

  // The picked point as the CAD program returned it: Empty when the user cancelled and the
  // program answers so; the programs that raise on a cancel raise AutomationError.
  Variant GetPoint(const std::string& prompt);
  // The opposite corner of first, which goes back exactly as GetPoint returned it.
  std::optional<CadPoint> GetCorner(const Variant& first, const std::string& prompt);
  // The picked entity; raises when nothing was picked or the pick was cancelled.
  CadEntity GetEntity(const std::string& prompt, CadPoint* pickedPoint = nullptr);

 private:
  AutomationRef object_;
};

class CadViewport {
 public:
  explicit CadViewport(AutomationRef object) : object_(std::move(object)) {}
  const AutomationRef& object() const { return object_; }

  // A view's centre is the one two-element point of the automation model.
  void SetCenter(const CadPoint& center);
  void SetHeight(double height);

 private:
  AutomationRef object_;
};

class CadDocument {
 public:
  explicit CadDocument(AutomationRef object) : object_(std::move(object)) {}
  const AutomationRef& object() const { return object_; }

  WindowId Hwnd();
  Variant GetVariable(const std::string& name);
  void SetVariable(const std::string& name, const Variant& value);
  void SendCommand(const std::string& text);
  CadUtility Utility();
  CadViewport ActiveViewport();
  void SetActiveViewport(const CadViewport& viewport);

 private:
  AutomationRef object_;
};

class CadApplication {
 public:
  explicit CadApplication(AutomationRef object) : object_(std::move(object)) {}
  const AutomationRef& object() const { return object_; }

  int WindowState();
  void SetWindowState(int state);
  WindowId Hwnd();
  CadDocument ActiveDocument();

 private:
  AutomationRef object_;
};

// Looks up the running CAD program registered under progId. With bringToFront, a minimised
// CAD window is maximised, brought to the foreground, and the thread pauses 100 ms. False on
// any failure, silently; app may then already hold the object.
bool GetCadApplication(AutomationHost& host, Desktop& desktop, const std::string& progId,
                       AutomationRef& app, bool bringToFront);

}  // namespace tesnova
