// Tesnova's stand-in CAD program: a small Windows program that plays the running CAD program
// in the tests and the demo. It shows a drawing of raster images and polylines, registers its
// application object in the running object table under a ProgID, and answers the automation
// members that Tesnova uses, plus test members (names starting with "Test") that fill the pick
// queue, make it busy, make it die and save its view.
//
// Command line: tesnova_cad_standin.exe [--progid ID] [--geometry X,Y,W,H] [--drawing FILE]
// The drawing file holds lines "view CX CY HEIGHT" and "image FILE X Y WIDTH ROTATION_DEG".
#include <windows.h>
// after windows.h
#include <objbase.h>
#include <objidl.h>
#include <oleauto.h>
#include <shellapi.h>
// after objidl.h
#include <gdiplus.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cad_standin_drawing.h"

using namespace standin;

namespace {

constexpr wchar_t kFrameClass[] = L"TesnovaStandInCadFrame";
constexpr wchar_t kViewClass[] = L"TesnovaStandInCadView";
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------
// Program state (one UI thread).

struct Pick {
  bool cancel = false;
  Point point;
};

struct State {
  Drawing drawing;
  HWND frame = nullptr;
  HWND view = nullptr;
  std::wstring progId = L"TesnovaTestCad.Application";
  short osmode = 37;
  short filedia = 1;
  std::deque<Pick> picks;
  DWORD busyUntil = 0;
  int dieAfterCalls = -1;
  std::wstring lastCommand;
  std::wstring log;
  // A pick waiting for the mouse.
  bool picking = false;
  bool pickDone = false;
  Pick pickResult;
} g;

std::wstring Utf8ToWide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

void Log(const std::wstring& line) { g.log += line + L"\n"; }

// ---------------------------------------------------------------------------------------
// View geometry: the view window's client area shows the view centred on its centre.

SIZE ScreenSize() {
  RECT r{};
  GetClientRect(g.view, &r);
  return {r.right - r.left, r.bottom - r.top};
}

double UnitsPerPixel() {
  SIZE s = ScreenSize();
  return s.cy > 0 ? g.drawing.view.height / s.cy : 1;
}

Point ScreenToDrawing(int px, int py) {
  SIZE s = ScreenSize();
  double k = UnitsPerPixel();
  return {g.drawing.view.center.x + (px - s.cx / 2.0) * k,
          g.drawing.view.center.y - (py - s.cy / 2.0) * k};
}

// ---------------------------------------------------------------------------------------
// Rendering with GDI+: world transform from drawing units (Y up) to view pixels.

std::map<std::wstring, std::unique_ptr<Gdiplus::Bitmap>> g_images;

Gdiplus::Bitmap* LoadImageFile(const std::wstring& file) {
  auto found = g_images.find(file);
  if (found != g_images.end()) return found->second.get();
  std::wstring path = file;
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(path.c_str());
  if (bitmap->GetLastStatus() != Gdiplus::Ok || bitmap->GetWidth() == 0) return nullptr;
  return (g_images[file] = std::move(bitmap)).get();
}

void Render(Gdiplus::Graphics& graphics, int width, int height) {
  graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
  if (height <= 0) return;
  double k = g.drawing.view.height / height;
  Gdiplus::Matrix world;
  world.Translate(static_cast<Gdiplus::REAL>(width / 2.0),
                  static_cast<Gdiplus::REAL>(height / 2.0));
  world.Scale(static_cast<Gdiplus::REAL>(1 / k), static_cast<Gdiplus::REAL>(-1 / k));
  world.Translate(static_cast<Gdiplus::REAL>(-g.drawing.view.center.x),
                  static_cast<Gdiplus::REAL>(-g.drawing.view.center.y));
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  for (auto& e : g.drawing.entities) {
    if (e->kind != Entity::Kind::RasterImage) continue;
    Gdiplus::Bitmap* image = LoadImageFile(e->file);
    if (!image) continue;
    Gdiplus::Matrix m;
    m.Multiply(&world);
    m.Translate(static_cast<Gdiplus::REAL>(e->origin.x), static_cast<Gdiplus::REAL>(e->origin.y));
    m.Rotate(static_cast<Gdiplus::REAL>(e->rotation * 180 / kPi));
    graphics.SetTransform(&m);
    double w = e->pixelWidth * e->unitsPerPixel, h = e->pixelHeight * e->unitsPerPixel;
    // Upper-left, upper-right and lower-left corners of the picture in drawing units.
    Gdiplus::PointF corners[3] = {{0, static_cast<Gdiplus::REAL>(h)},
                                  {static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h)},
                                  {0, 0}};
    graphics.DrawImage(image, corners, 3);
  }
  graphics.ResetTransform();
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeNone);
  Gdiplus::Pen pen(Gdiplus::Color(255, 220, 0, 0), 1);
  for (auto& e : g.drawing.entities) {
    if (e->kind != Entity::Kind::Polyline) continue;
    auto outline = e->Outline();
    std::vector<Gdiplus::PointF> points;
    for (auto& p : outline) {
      Gdiplus::PointF q(static_cast<Gdiplus::REAL>(p.x), static_cast<Gdiplus::REAL>(p.y));
      world.TransformPoints(&q, 1);
      points.push_back(q);
    }
    if (points.size() >= 2)
      graphics.DrawLines(&pen, points.data(), static_cast<INT>(points.size()));
  }
}

void Redraw() {
  if (g.view) {
    InvalidateRect(g.view, nullptr, FALSE);
    UpdateWindow(g.view);
  }
}

bool EncoderClsid(const wchar_t* mime, CLSID& clsid) {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i)
    if (wcscmp(codecs[i].MimeType, mime) == 0) {
      clsid = codecs[i].Clsid;
      return true;
    }
  return false;
}

// Renders the view off screen at its window size and saves it (PNG or BMP by mime type).
bool SaveView(const std::wstring& path, const wchar_t* mime) {
  SIZE s = ScreenSize();
  if (s.cx <= 0 || s.cy <= 0) return false;
  Gdiplus::Bitmap bitmap(s.cx, s.cy, PixelFormat24bppRGB);
  {
    Gdiplus::Graphics graphics(&bitmap);
    Render(graphics, s.cx, s.cy);
  }
  CLSID clsid;
  if (!EncoderClsid(mime, clsid)) return false;
  return bitmap.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

void SetView(const View& view) {
  g.drawing.previousViews.push_back(g.drawing.view);
  g.drawing.view = view;
  Redraw();
}

// ---------------------------------------------------------------------------------------
// Picks: from the queue a test filled, otherwise from the mouse (Escape or right button
// cancels).

Pick NextPick() {
  if (!g.picks.empty()) {
    Pick p = g.picks.front();
    g.picks.pop_front();
    return p;
  }
  g.picking = true;
  g.pickDone = false;
  SetWindowTextW(g.frame, L"Tesnova テスト用 CAD (stand-in) - 指示してください");
  MSG msg;
  while (!g.pickDone) {
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(0);
      g.pickResult = Pick{true, {}};
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    // A test may fill the queue while the pick waits.
    if (!g.pickDone && !g.picks.empty()) {
      g.pickResult = g.picks.front();
      g.picks.pop_front();
      g.pickDone = true;
    }
  }
  g.picking = false;
  SetWindowTextW(g.frame, L"Tesnova テスト用 CAD (stand-in)");
  return g.pickResult;
}

// ---------------------------------------------------------------------------------------
// Command line of the CAD program: CR (and a blank outside quotes) ends an answer, ESC cancels.

std::vector<std::wstring> Tokens(const std::wstring& text) {
  std::vector<std::wstring> tokens;
  std::wstring current;
  bool quoted = false;
  for (wchar_t c : text) {
    if (c == 27) {
      tokens.clear();
      current.clear();
      quoted = false;
    } else if (c == L'"') {
      quoted = !quoted;
      current += c;
    } else if (c == L'\r' || c == L'\n' || (c == L' ' && !quoted)) {
      tokens.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) tokens.push_back(current);
  return tokens;
}

std::wstring Upper(std::wstring s) {
  for (auto& c : s) c = towupper(c);
  return s;
}

std::wstring Unquote(std::wstring s) {
  if (s.size() >= 2 && s.front() == L'"' && s.back() == L'"') s = s.substr(1, s.size() - 2);
  return s;
}

bool ParseNumber(const std::wstring& w, double& value) {
  std::string s(w.begin(), w.end());
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

bool ParsePoint(const std::wstring& text, Point& p) {
  size_t comma = text.find(L',');
  if (comma == std::wstring::npos) return false;
  return ParseNumber(text.substr(0, comma), p.x) && ParseNumber(text.substr(comma + 1), p.y);
}

void RunCommands(const std::wstring& text) {
  auto tokens = Tokens(text);
  size_t i = 0;
  auto next = [&]() -> std::wstring { return i < tokens.size() ? tokens[i++] : std::wstring(); };
  while (i < tokens.size()) {
    std::wstring command = Upper(next());
    if (command.empty()) continue;
    if (command == L"-INSERT" || command == L"_-INSERT") {
      std::wstring block = Unquote(next());
      std::wstring token = next();
      if (Upper(token) == L"NON" || Upper(token) == L"_NON") token = next();
      Point base;
      double scale = 1, rotation = 0;
      if (block.empty() || block[0] != L'*' || !ParsePoint(token, base) ||
          !ParseNumber(next(), scale) || !ParseNumber(next(), rotation)) {
        Log(L"-INSERT: 無効な入力です");
        return;
      }
      try {
        int n = InsertDxf(g.drawing, block.substr(1), base, scale, rotation);
        Log(L"-INSERT: " + std::to_wstring(n) + L" 個の図形を挿入");
      } catch (const std::exception&) {
        Log(L"-INSERT: ファイルを読めません: " + block.substr(1));
      }
      Redraw();
    } else if (command == L"_BMPOUT" || command == L"BMPOUT") {
      if (g.filedia != 0) {
        Log(L"BMPOUT: ダイアログ表示 (FILEDIA=1)");
        return;
      }
      std::wstring file = Unquote(next());
      next();  // selection: Enter takes the whole view
      Log(SaveView(file, L"image/bmp") ? L"BMPOUT: " + file : L"BMPOUT: 失敗");
    } else if (command == L"SETVAR" || command == L"_SETVAR") {
      std::wstring name = Upper(next());
      double value = 0;
      if (!ParseNumber(next(), value)) return;
      if (name == L"OSMODE") g.osmode = static_cast<short>(value);
      if (name == L"FILEDIA") g.filedia = static_cast<short>(value);
    } else if (command == L"ZOOM" || command == L"_ZOOM") {
      std::wstring option = Upper(next());
      if ((option == L"PRE" || option == L"P" || option == L"_P") &&
          !g.drawing.previousViews.empty()) {
        g.drawing.view = g.drawing.previousViews.back();
        g.drawing.previousViews.pop_back();
        Redraw();
      }
    } else {
      Log(L"不明なコマンド: " + command);
    }
  }
}

// ---------------------------------------------------------------------------------------
// Automation objects: IDispatch by hand, members by name.

struct Failure {
  HRESULT hr;
  std::wstring text;
};

[[noreturn]] void Fail(const std::wstring& text, HRESULT hr = E_FAIL) { throw Failure{hr, text}; }

VARIANT* Arg(DISPPARAMS* p, UINT index) {
  if (index >= p->cArgs) Fail(L"引数が足りません", DISP_E_BADPARAMCOUNT);
  VARIANT* v = &p->rgvarg[p->cArgs - 1 - index];
  while (v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;
  return v;
}

bool IsEmptyArg(DISPPARAMS* p, UINT index) {
  if (index >= p->cArgs) return true;
  VARIANT* v = Arg(p, index);
  return v->vt == VT_EMPTY || v->vt == VT_ERROR || v->vt == VT_NULL;
}

double DoubleArg(DISPPARAMS* p, UINT index) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, Arg(p, index), 0, VT_R8)))
    Fail(L"数値が必要です", DISP_E_TYPEMISMATCH);
  return converted.dblVal;
}

std::wstring TextArg(DISPPARAMS* p, UINT index) {
  VARIANT* v = Arg(p, index);
  if (v->vt != VT_BSTR) Fail(L"文字列が必要です", DISP_E_TYPEMISMATCH);
  return v->bstrVal ? std::wstring(v->bstrVal, SysStringLen(v->bstrVal)) : std::wstring();
}

Point PointArg(DISPPARAMS* p, UINT index) {
  VARIANT* v = Arg(p, index);
  SAFEARRAY* array = nullptr;
  if (v->vt == (VT_ARRAY | VT_R8)) array = v->parray;
  if (v->vt == (VT_BYREF | VT_ARRAY | VT_R8)) array = *v->pparray;
  if (!array || SafeArrayGetDim(array) != 1) Fail(L"座標の配列が必要です", DISP_E_TYPEMISMATCH);
  LONG low = 0, high = -1;
  SafeArrayGetLBound(array, 1, &low);
  SafeArrayGetUBound(array, 1, &high);
  if (high - low < 1) Fail(L"座標の要素が足りません", DISP_E_TYPEMISMATCH);
  Point point;
  LONG i = low;
  SafeArrayGetElement(array, &i, &point.x);
  ++i;
  SafeArrayGetElement(array, &i, &point.y);
  return point;
}

void SetDouble(VARIANT* r, double value) {
  if (!r) return;
  r->vt = VT_R8;
  r->dblVal = value;
}

void SetText(VARIANT* r, const std::wstring& text) {
  if (!r) return;
  r->vt = VT_BSTR;
  r->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void SetDoubles(VARIANT* r, const std::vector<double>& values) {
  if (!r) return;
  SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
  for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i)
    SafeArrayPutElement(array, &i, const_cast<double*>(&values[i]));
  r->vt = VT_ARRAY | VT_R8;
  r->parray = array;
}

void SetPoint(VARIANT* r, const Point& p) { SetDoubles(r, {p.x, p.y, 0.0}); }

void SetObject(VARIANT* r, IDispatch* object) {
  if (!r) {
    object->Release();
    return;
  }
  r->vt = VT_DISPATCH;
  r->pdispVal = object;  // takes the reference
}

// Writes into an out argument passed as VT_BYREF|VT_VARIANT.
VARIANT* OutArg(DISPPARAMS* p, UINT index) {
  if (index >= p->cArgs) Fail(L"引数が足りません", DISP_E_BADPARAMCOUNT);
  VARIANT* v = &p->rgvarg[p->cArgs - 1 - index];
  if (v->vt != (VT_BYREF | VT_VARIANT)) Fail(L"出力引数は VARIANT の参照で", DISP_E_TYPEMISMATCH);
  VariantClear(v->pvarVal);
  return v->pvarVal;
}

class Dispatch : public IDispatch {
 public:
  explicit Dispatch(std::vector<std::wstring> members) : members_(std::move(members)) {}
  virtual ~Dispatch() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    HRESULT hr = S_OK;
    for (UINT n = 0; n < count; ++n) {
      ids[n] = DISPID_UNKNOWN;
      for (size_t i = 0; i < members_.size(); ++i)
        if (_wcsicmp(members_[i].c_str(), names[n]) == 0) ids[n] = static_cast<DISPID>(i + 1);
      if (ids[n] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* info, UINT*) override {
    if (g.dieAfterCalls == 0) ExitProcess(3);
    if (g.dieAfterCalls > 0) --g.dieAfterCalls;
    if (g.busyUntil && static_cast<LONG>(g.busyUntil - GetTickCount()) > 0)
      return RPC_E_CALL_REJECTED;
    if (id < 1 || id > static_cast<DISPID>(members_.size())) return DISP_E_MEMBERNOTFOUND;
    if (result) VariantInit(result);
    try {
      bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
      Member(members_[id - 1], put, params, result);
      return S_OK;
    } catch (const Failure& f) {
      if (f.hr != E_FAIL && f.hr != DISP_E_EXCEPTION) return f.hr;
      if (info) {
        *info = EXCEPINFO{};
        info->bstrSource = SysAllocString(L"TesnovaTestCad");
        info->bstrDescription = SysAllocString(f.text.c_str());
        info->scode = E_FAIL;
      }
      return DISP_E_EXCEPTION;
    }
  }

 protected:
  // Runs the member; put is true for a property write, whose value is argument 0.
  virtual void Member(const std::wstring& name, bool put, DISPPARAMS* p, VARIANT* r) = 0;

 private:
  std::vector<std::wstring> members_;
  ULONG refs_ = 1;
};

class EntityObject : public Dispatch {
 public:
  explicit EntityObject(std::shared_ptr<Entity> e)
      : Dispatch({L"ObjectName", L"GetBoundingBox", L"Rotate", L"ImageFile", L"Width", L"Height",
                  L"Rotation", L"Origin", L"Coordinates", L"TestOutline"}),
        e_(std::move(e)) {}

 protected:
  void Member(const std::wstring& name, bool put, DISPPARAMS* p, VARIANT* r) override {
    bool image = e_->kind == Entity::Kind::RasterImage;
    if (put) Fail(L"読み取り専用です", DISP_E_MEMBERNOTFOUND);
    if (name == L"ObjectName") {
      SetText(r, image ? L"AcDbRasterImage" : L"AcDbPolyline");
    } else if (name == L"GetBoundingBox") {
      auto outline = e_->Outline();
      Point lo{1e300, 1e300}, hi{-1e300, -1e300};
      for (auto& q : outline) {
        lo = {std::min(lo.x, q.x), std::min(lo.y, q.y)};
        hi = {std::max(hi.x, q.x), std::max(hi.y, q.y)};
      }
      SetPoint(OutArg(p, 0), lo);
      SetPoint(OutArg(p, 1), hi);
    } else if (name == L"Rotate") {
      e_->Rotate(PointArg(p, 0), DoubleArg(p, 1));
      Redraw();
    } else if (name == L"TestOutline" || name == L"Coordinates") {
      std::vector<double> values;
      for (auto& q : name == L"Coordinates" ? e_->vertices : e_->Outline()) {
        values.push_back(q.x);
        values.push_back(q.y);
      }
      SetDoubles(r, values);
    } else if (!image) {
      Fail(L"ラスターイメージのメンバーです", DISP_E_MEMBERNOTFOUND);
    } else if (name == L"ImageFile") {
      SetText(r, e_->file);
    } else if (name == L"Width") {
      SetDouble(r, e_->pixelWidth);
    } else if (name == L"Height") {
      SetDouble(r, e_->pixelHeight);
    } else if (name == L"Rotation") {
      SetDouble(r, e_->rotation);
    } else if (name == L"Origin") {
      SetPoint(r, e_->origin);
    }
  }

 private:
  std::shared_ptr<Entity> e_;
};

class ViewportObject : public Dispatch {
 public:
  explicit ViewportObject(View v) : Dispatch({L"Center", L"Height"}), view(v) {}
  View view;

 protected:
  void Member(const std::wstring& name, bool put, DISPPARAMS* p, VARIANT* r) override {
    if (name == L"Center") {
      if (put)
        view.center = PointArg(p, 0);
      else
        SetPoint(r, view.center);
    } else if (name == L"Height") {
      if (put)
        view.height = DoubleArg(p, 0);
      else
        SetDouble(r, view.height);
    }
  }
};

class UtilityObject : public Dispatch {
 public:
  UtilityObject() : Dispatch({L"GetPoint", L"GetCorner", L"GetEntity"}) {}

 protected:
  void Member(const std::wstring& name, bool, DISPPARAMS* p, VARIANT* r) override {
    if (name == L"GetPoint" || name == L"GetCorner") {
      Log(name + L" " + (p->cArgs >= 2 ? TextArg(p, 1) : L""));
      Pick pick = NextPick();
      if (pick.cancel) return;  // empty answer
      SetPoint(r, pick.point);
    } else if (name == L"GetEntity") {
      VARIANT* entityOut = OutArg(p, 0);
      VARIANT* pointOut = OutArg(p, 1);
      Pick pick = NextPick();
      if (pick.cancel) Fail(L"選択がキャンセルされました");
      auto entity = g.drawing.EntityAt(pick.point, 3 * UnitsPerPixel());
      if (!entity) Fail(L"図形が選択されませんでした");
      SetObject(entityOut, new EntityObject(entity));
      SetPoint(pointOut, pick.point);
    }
  }
};

class DocumentObject : public Dispatch {
 public:
  DocumentObject()
      : Dispatch({L"HWND", L"GetVariable", L"SetVariable", L"SendCommand", L"Utility",
                  L"ActiveViewport"}) {}

 protected:
  void Member(const std::wstring& name, bool put, DISPPARAMS* p, VARIANT* r) override {
    if (name == L"HWND") {
      if (r) {
        r->vt = VT_I8;
        r->llVal = reinterpret_cast<LONG_PTR>(g.view);
      }
    } else if (name == L"GetVariable") {
      std::wstring var = Upper(TextArg(p, 0));
      SIZE s = ScreenSize();
      if (var == L"OSMODE") {
        r->vt = VT_I2;
        r->iVal = g.osmode;
      } else if (var == L"FILEDIA") {
        r->vt = VT_I2;
        r->iVal = g.filedia;
      } else if (var == L"VIEWSIZE") {
        SetDouble(r, g.drawing.view.height);
      } else if (var == L"VIEWCTR") {
        SetPoint(r, g.drawing.view.center);
      } else if (var == L"SCREENSIZE") {
        SetDoubles(r, {static_cast<double>(s.cx), static_cast<double>(s.cy)});
      } else {
        Fail(L"不明なシステム変数: " + var);
      }
    } else if (name == L"SetVariable") {
      std::wstring var = Upper(TextArg(p, 0));
      VARIANT* v = Arg(p, 1);
      // Integer system variables take 16-bit integers only, as in the programs this plays.
      if (v->vt != VT_I2) Fail(L"システム変数の型が違います: " + var);
      if (var == L"OSMODE")
        g.osmode = v->iVal;
      else if (var == L"FILEDIA")
        g.filedia = v->iVal;
      else
        Fail(L"不明なシステム変数: " + var);
    } else if (name == L"SendCommand") {
      g.lastCommand = TextArg(p, 0);
      RunCommands(g.lastCommand);
    } else if (name == L"Utility") {
      SetObject(r, new UtilityObject());
    } else if (name == L"ActiveViewport") {
      if (put) {
        VARIANT* v = Arg(p, 0);
        if (v->vt != VT_DISPATCH || !v->pdispVal) Fail(L"ビューポートが必要です");
        // Only our own viewports come back here; read their values through IDispatch.
        auto* mine = dynamic_cast<ViewportObject*>(static_cast<Dispatch*>(v->pdispVal));
        if (mine) {
          SetView(mine->view);
        } else {
          Fail(L"ビューポートが違います");
        }
      } else {
        SetObject(r, new ViewportObject(g.drawing.view));
      }
    }
  }
};

class ApplicationObject : public Dispatch {
 public:
  ApplicationObject()
      : Dispatch({L"WindowState", L"HWND", L"ActiveDocument", L"TestAddImage", L"TestQueuePick",
                  L"TestQueueCancel", L"TestBusy", L"TestDieAfterCalls", L"TestSaveView",
                  L"TestEntityCount", L"TestEntity", L"TestLastCommand", L"TestLog",
                  L"TestVariable", L"TestClearPicks", L"TestSetView"}) {}

 protected:
  void Member(const std::wstring& name, bool put, DISPPARAMS* p, VARIANT* r) override {
    if (name == L"WindowState") {
      if (put) {
        int state = static_cast<int>(DoubleArg(p, 0));
        ShowWindow(g.frame, state == 2 ? SW_MINIMIZE : state == 3 ? SW_MAXIMIZE : SW_RESTORE);
      } else if (r) {
        r->vt = VT_I4;
        r->lVal = IsIconic(g.frame) ? 2 : IsZoomed(g.frame) ? 3 : 1;
      }
    } else if (name == L"HWND") {
      if (r) {
        r->vt = VT_I8;
        r->llVal = reinterpret_cast<LONG_PTR>(g.frame);
      }
    } else if (name == L"ActiveDocument") {
      SetObject(r, new DocumentObject());
    } else if (name == L"TestAddImage") {
      // (file, origin point, width in drawing units, rotation in radians) -> entity
      auto e = std::make_shared<Entity>();
      e->kind = Entity::Kind::RasterImage;
      e->file = TextArg(p, 0);
      Gdiplus::Bitmap* image = LoadImageFile(e->file);
      if (!image) Fail(L"画像を読めません: " + e->file);
      e->pixelWidth = static_cast<int>(image->GetWidth());
      e->pixelHeight = static_cast<int>(image->GetHeight());
      e->origin = PointArg(p, 1);
      e->unitsPerPixel = DoubleArg(p, 2) / e->pixelWidth;
      e->rotation = DoubleArg(p, 3);
      g.drawing.entities.push_back(e);
      Redraw();
      SetObject(r, new EntityObject(e));
    } else if (name == L"TestQueuePick") {
      g.picks.push_back(Pick{false, PointArg(p, 0)});
    } else if (name == L"TestQueueCancel") {
      g.picks.push_back(Pick{true, {}});
    } else if (name == L"TestClearPicks") {
      g.picks.clear();
    } else if (name == L"TestBusy") {
      // Every call from now on is rejected as busy for the given milliseconds.
      g.busyUntil = GetTickCount() + static_cast<DWORD>(DoubleArg(p, 0));
      if (g.busyUntil == 0) g.busyUntil = 1;
    } else if (name == L"TestDieAfterCalls") {
      // The process ends, without answering, on the n-th call after this one.
      g.dieAfterCalls = static_cast<int>(DoubleArg(p, 0));
    } else if (name == L"TestSaveView") {
      if (!SaveView(TextArg(p, 0), L"image/png")) Fail(L"保存できません");
    } else if (name == L"TestEntityCount") {
      r->vt = VT_I4;
      r->lVal = static_cast<LONG>(g.drawing.entities.size());
    } else if (name == L"TestEntity") {
      size_t index = static_cast<size_t>(DoubleArg(p, 0));
      if (index >= g.drawing.entities.size()) Fail(L"番号が範囲外です", DISP_E_BADINDEX);
      SetObject(r, new EntityObject(g.drawing.entities[index]));
    } else if (name == L"TestLastCommand") {
      SetText(r, g.lastCommand);
    } else if (name == L"TestLog") {
      SetText(r, g.log);
    } else if (name == L"TestVariable") {
      std::wstring var = Upper(TextArg(p, 0));
      r->vt = VT_I4;
      r->lVal = var == L"OSMODE" ? g.osmode : var == L"FILEDIA" ? g.filedia : -1;
    } else if (name == L"TestSetView") {
      // (centre point, height): sets the view without touching the zoom history.
      g.drawing.view = View{PointArg(p, 0), DoubleArg(p, 1)};
      Redraw();
    }
  }
};

// ---------------------------------------------------------------------------------------
// Registration: ProgID -> CLSID in the classes root, the application object in the running
// object table.

CLSID ClsidFor(const std::wstring& progId) {
  // A fixed base with the ProgID's hash in the last bytes, so that each ProgID has its own.
  CLSID clsid = {0x5e3a7c10, 0x4b1d, 0x4e55, {0x9a, 0x31, 0, 0, 0, 0, 0, 0}};
  unsigned long long hash = 1469598103934665603ull;
  for (wchar_t c : Upper(progId)) hash = (hash ^ c) * 1099511628211ull;
  for (int i = 2; i < 8; ++i) clsid.Data4[i] = static_cast<unsigned char>(hash >> (8 * i));
  return clsid;
}

bool SetKey(const std::wstring& key, const std::wstring& value) {
  HKEY h;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                      nullptr) != ERROR_SUCCESS)
    return false;
  RegSetValueExW(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
  return true;
}

std::wstring ClsidText(const CLSID& clsid) {
  wchar_t text[64];
  StringFromGUID2(clsid, text, 64);
  return text;
}

void RegisterProgId(const std::wstring& progId, const CLSID& clsid) {
  std::wstring c = ClsidText(clsid);
  SetKey(progId, L"Tesnova テスト用 CAD (stand-in)");
  SetKey(progId + L"\\CLSID", c);
  SetKey(L"CLSID\\" + c, L"Tesnova テスト用 CAD (stand-in)");
  SetKey(L"CLSID\\" + c + L"\\ProgID", progId);
}

// ---------------------------------------------------------------------------------------
// Windows.

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      // Draw off screen first so that a screen copy never sees half a picture.
      HDC memory = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
      HGDIOBJ old = SelectObject(memory, bitmap);
      {
        Gdiplus::Graphics graphics(memory);
        Render(graphics, rc.right, rc.bottom);
      }
      BitBlt(dc, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      if (g.picking) {
        g.pickResult = Pick{
            false, ScreenToDrawing(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)))};
        g.pickDone = true;
      }
      return 0;
    case WM_RBUTTONDOWN:
      if (g.picking) {
        g.pickResult = Pick{true, {}};
        g.pickDone = true;
      }
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      if (g.view) MoveWindow(g.view, 0, 0, rc.right, rc.bottom, TRUE);
      return 0;
    }
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE && g.picking) {
        g.pickResult = Pick{true, {}};
        g.pickDone = true;
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void LoadDrawingFile(const std::wstring& path) {
  std::ifstream in{std::filesystem::path(path)};
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    words.imbue(std::locale::classic());
    std::string kind;
    words >> kind;
    if (kind == "view") {
      View v;
      words >> v.center.x >> v.center.y >> v.height;
      g.drawing.view = v;
    } else if (kind == "image") {
      std::string file;
      double x, y, width, degrees;
      words >> std::quoted(file) >> x >> y >> width >> degrees;
      auto e = std::make_shared<Entity>();
      e->kind = Entity::Kind::RasterImage;
      e->file = Utf8ToWide(file);
      Gdiplus::Bitmap* image = LoadImageFile(e->file);
      if (!image) continue;
      e->pixelWidth = static_cast<int>(image->GetWidth());
      e->pixelHeight = static_cast<int>(image->GetHeight());
      e->origin = {x, y};
      e->unitsPerPixel = width / e->pixelWidth;
      e->rotation = degrees * kPi / 180;
      g.drawing.entities.push_back(e);
    }
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RECT place{0, 0, 720, 620};
  std::wstring drawingFile;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i + 1 < argc; ++i) {
    std::wstring a = argv[i];
    if (a == L"--progid") g.progId = argv[++i];
    if (a == L"--drawing") drawingFile = argv[++i];
    if (a == L"--geometry") {
      int x, y, w, h;
      if (swscanf(argv[++i], L"%d,%d,%d,%d", &x, &y, &w, &h) == 4) place = {x, y, x + w, y + h};
    }
  }
  LocalFree(argv);

  if (FAILED(OleInitialize(nullptr))) return 1;
  Gdiplus::GdiplusStartupInput gdiplusInput;
  ULONG_PTR gdiplusToken;
  Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
  if (!drawingFile.empty()) LoadDrawingFile(drawingFile);

  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = FrameProc;
  frameClass.hInstance = instance;
  frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  frameClass.lpszClassName = kFrameClass;
  RegisterClassW(&frameClass);
  WNDCLASSW viewClass = frameClass;
  viewClass.lpfnWndProc = ViewProc;
  viewClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
  viewClass.lpszClassName = kViewClass;
  RegisterClassW(&viewClass);

  g.frame = CreateWindowExW(0, kFrameClass, L"Tesnova テスト用 CAD (stand-in)", WS_OVERLAPPEDWINDOW,
                            place.left, place.top, place.right - place.left,
                            place.bottom - place.top, nullptr, nullptr, instance, nullptr);
  g.view = CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, g.frame,
                           nullptr, instance, nullptr);
  ShowWindow(g.frame, SW_SHOWNORMAL);
  SendMessageW(g.frame, WM_SIZE, 0, 0);
  UpdateWindow(g.frame);

  CLSID clsid = ClsidFor(g.progId);
  RegisterProgId(g.progId, clsid);
  auto* application = new ApplicationObject();
  DWORD cookie = 0;
  HRESULT hr = RegisterActiveObject(application, clsid, ACTIVEOBJECT_STRONG, &cookie);
  if (FAILED(hr)) {
    // No message box: a test waiting for the registration must not hang on it. The exit
    // code carries the failure.
    return static_cast<int>(hr);
  }

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  RevokeActiveObject(cookie, nullptr);
  application->Release();
  g_images.clear();
  Gdiplus::GdiplusShutdown(gdiplusToken);
  OleUninitialize();
  return 0;
}
