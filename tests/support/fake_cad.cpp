#include "support/fake_cad.h"

#include <algorithm>
#include <cmath>

namespace tesnova::testing {

void FakeCad::Record(const std::string& entry) {
  log.push_back(entry);
  if (dieAtCall >= 0 && static_cast<int>(log.size()) > dieAtCall)
    throw AutomationError("RPC server unavailable", static_cast<std::int32_t>(0x800706BA));
}

namespace {

std::string Describe(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return "empty";
    case Variant::Kind::DoubleArray: {
      std::string s;
      for (double d : v.AsDoubles()) s += (s.empty() ? "" : ",") + std::to_string(d);
      return "(" + s + ")";
    }
    case Variant::Kind::Object:
      return "object";
    case Variant::Kind::Double:
      return std::to_string(v.AsDouble());
    default:
      return v.AsText();
  }
}

class FakeObject : public AutomationObject {
 public:
  enum class Kind { App, Document, Utility, Entity, Viewport };
  FakeObject(FakeCad& cad, Kind kind) : cad_(cad), kind_(kind) {}

  Variant Get(std::string_view member) override {
    Enter(std::string(member));
    std::string m(member);
    switch (kind_) {
      case Kind::App:
        if (m == "WindowState") return cad_.windowState;
        if (m == "HWND") return static_cast<std::int64_t>(cad_.mainWindow);
        if (m == "ActiveDocument") return Make(Kind::Document);
        break;
      case Kind::Document:
        if (m == "HWND") return static_cast<std::int64_t>(cad_.drawingWindow);
        if (m == "Utility") return Make(Kind::Utility);
        if (m == "ActiveViewport") return Make(Kind::Viewport);
        break;
      case Kind::Entity:
        if (m == "ObjectName") return cad_.objectName;
        if (m == "ImageFile") return cad_.imageFile;
        if (m == "Width") return cad_.imageWidth;
        if (m == "Height") return cad_.imageHeight;
        if (m == "Rotation") return cad_.rotation;
        if (m == "Origin") return cad_.origin;
        break;
      default:
        break;
    }
    throw AutomationError("unknown member " + m, 0);
  }

  void Put(std::string_view member, const Variant& value) override {
    Enter(std::string(member) + " := " + Describe(value));
    if (kind_ == Kind::App && member == "WindowState") cad_.windowState = value.AsInteger();
  }

  Variant Call(std::string_view member, std::span<Argument> args) override {
    std::string m(member);
    std::string entry = m;
    for (auto& a : args) {
      if (a.pass == Argument::Pass::Missing) entry += " missing";
      if (a.pass == Argument::Pass::In) entry += " " + Describe(a.value);
    }
    Enter(entry);
    // Every point a method takes is three doubles, as in the CAD programs' automation model.
    for (auto& a : args)
      if (a.pass == Argument::Pass::In && a.value.kind() == Variant::Kind::DoubleArray) {
        cad_.pointArguments.push_back(m + " " + Describe(a.value));
        if (a.value.AsDoubles().size() != 3)
          throw AutomationError("Invalid argument in " + m, static_cast<std::int32_t>(0x80070057));
      }
    if (kind_ == Kind::Document) {
      if (m == "GetVariable") {
        auto it = cad_.variables.find(args[0].value.AsText());
        if (it == cad_.variables.end()) throw AutomationError("no variable", 0);
        return it->second;
      }
      if (m == "SetVariable") {
        cad_.variables[args[0].value.AsText()] = args[1].value;
        return {};
      }
      if (m == "SendCommand") {
        cad_.commands.push_back(args[0].value.AsText());
        if (cad_.onSendCommand) cad_.onSendCommand(args[0].value.AsText());
        return {};
      }
    }
    if (kind_ == Kind::Utility) {
      if (cad_.picks.empty()) throw AutomationError("no pick queued", 0);
      Variant pick = cad_.picks.front();
      cad_.picks.pop_front();
      if (pick.IsEmpty() && (m == "GetEntity" || !cad_.cancelAnswersEmpty))
        throw AutomationError("user cancelled the pick", static_cast<std::int32_t>(0x80004005));
      if (m == "GetEntity") {
        if (args.size() != 3 || args[0].pass != Argument::Pass::OutObject)
          throw AutomationError("GetEntity: type mismatch", static_cast<std::int32_t>(0x80020005));
        args[0].value = Make(Kind::Entity);
        args[1].value = pick;
        return {};
      }
      return pick;
    }
    if (kind_ == Kind::Entity) {
      if (m == "Rotate") {
        double a = args[1].value.AsDouble();
        double bx = args[0].value.X(), by = args[0].value.Y();
        double dx = cad_.origin[0] - bx, dy = cad_.origin[1] - by;
        cad_.origin = {bx + dx * std::cos(a) - dy * std::sin(a),
                       by + dx * std::sin(a) + dy * std::cos(a), 0};
        cad_.rotation += a;
        return {};
      }
      if (m == "GetBoundingBox") {
        double w = cad_.imageWidth * cad_.unitsPerPixel, h = cad_.imageHeight * cad_.unitsPerPixel;
        double c = std::cos(cad_.rotation), s = std::sin(cad_.rotation);
        double lx = 1e300, ly = 1e300, ux = -1e300, uy = -1e300;
        for (auto [x, y] : {std::pair{0.0, 0.0}, {w, 0.0}, {w, h}, {0.0, h}}) {
          double px = cad_.origin[0] + x * c - y * s, py = cad_.origin[1] + x * s + y * c;
          lx = std::min(lx, px), ly = std::min(ly, py), ux = std::max(ux, px),
          uy = std::max(uy, py);
        }
        args[0].value = std::vector<double>{lx, ly, 0};
        args[1].value = std::vector<double>{ux, uy, 0};
        return {};
      }
    }
    throw AutomationError("unknown method " + m, 0);
  }

 private:
  void Enter(const std::string& entry) {
    cad_.Record(entry);
    if (!cad_.failingMember.empty() && entry.rfind(cad_.failingMember, 0) == 0)
      throw AutomationError("call refused: " + entry, 0);
  }
  Variant Make(Kind kind) { return Variant(std::make_shared<FakeObject>(cad_, kind)); }

  FakeCad& cad_;
  Kind kind_;
};

}  // namespace

AutomationRef FakeAutomationHost::GetActiveObject(const std::string& progId) {
  if (!cad_.running) throw AutomationError("no running object for " + progId, 0);
  return std::make_shared<FakeObject>(cad_, FakeObject::Kind::App);
}

}  // namespace tesnova::testing
