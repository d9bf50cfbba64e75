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

Variant PointVariant(const CadPoint& point);
// A point as the CAD program gives it; nullopt for an empty value (a cancelled pick).
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
  void Rotate(const CadPoint& base, double radians);
  // Raster image members.
  std::string ImageFile();
  double Width();
  double Height();
  double Rotation();
  CadPoint Origin();

 private:
  AutomationRef object_;
};

class CadUtility {
 public:
  explicit CadUtility(AutomationRef object) : object_(std::move(object)) {}

  // The picked point, nullopt when the user cancelled with an empty answer.
  std::optional<CadPoint> GetPoint(const std::string& prompt);
  std::optional<CadPoint> GetCorner(const CadPoint& first, const std::string& prompt);
  // The picked entity; raises when nothing was picked.
  CadEntity GetEntity(const std::string& prompt, CadPoint* pickedPoint = nullptr);

 private:
  AutomationRef object_;
};

class CadViewport {
 public:
  explicit CadViewport(AutomationRef object) : object_(std::move(object)) {}
  const AutomationRef& object() const { return object_; }

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
