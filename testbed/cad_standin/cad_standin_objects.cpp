// The automation objects of the stand-in CAD program. Each implements a dual interface of the
// embedded type library and answers IDispatch through that library (DispGetIDsOfNames,
// DispInvoke), as servers built on ATL do: the argument count, the types, [optional] arguments
// and [out] parameters are checked by the system's type machinery before a member is entered.
// What that machinery does not check, the members check as the real programs do: a point is an
// array of exactly three doubles (two for a view's centre), an omitted optional argument is
// "missing" and not empty, a cancelled pick raises an error.
#include "cad_standin_objects.h"

#include <windows.h>
// after windows.h
#include <gdiplus.h>
#include <oleauto.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cad_standin_program.h"
#include "cad_standin_tlb.h"

namespace standin {

namespace {

ITypeLib* g_typeLibrary = nullptr;

ITypeInfo* TypeInfoOf(REFIID iid) {
  static std::map<GUID, ITypeInfo*, bool (*)(const GUID&, const GUID&)> infos(
      [](const GUID& a, const GUID& b) { return memcmp(&a, &b, sizeof(GUID)) < 0; });
  auto found = infos.find(iid);
  if (found != infos.end()) return found->second;
  ITypeInfo* info = nullptr;
  if (!g_typeLibrary || FAILED(g_typeLibrary->GetTypeInfoOfGuid(iid, &info))) return nullptr;
  infos[iid] = info;
  return info;
}

// An error raised by a member: its code and the description the client sees.
struct Failure {
  HRESULT hr;
  std::wstring text;
};

[[noreturn]] void Fail(const std::wstring& text, HRESULT hr = E_FAIL) { throw Failure{hr, text}; }
[[noreturn]] void InvalidArgument(const wchar_t* argument, const wchar_t* method) {
  Fail(std::wstring(L"Invalid argument ") + argument + L" in " + method, E_INVALIDARG);
}

// Runs a member; an error it raises goes to the caller as the member's failure with an error
// object, which the type machinery hands on in EXCEPINFO.
template <class F>
HRESULT Member(F&& body) {
  try {
    body();
    return S_OK;
  } catch (const Failure& f) {
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
      create->SetSource(const_cast<LPOLESTR>(L"TesnovaStandInCad"));
      create->SetDescription(const_cast<LPOLESTR>(f.text.c_str()));
      IErrorInfo* info = nullptr;
      if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
      }
      create->Release();
    }
    return f.hr;
  }
}

// [in] VARIANTs may come by reference.
const VARIANT& Deref(const VARIANT& v) {
  const VARIANT* p = &v;
  while (p->vt == (VT_BYREF | VT_VARIANT) && p->pvarVal) p = p->pvarVal;
  return *p;
}

bool IsMissing(const VARIANT& v) {
  const VARIANT& d = Deref(v);
  return d.vt == VT_ERROR && d.scode == DISP_E_PARAMNOTFOUND;
}

// A point: an array of doubles with exactly the given count of elements, or E_INVALIDARG.
Point PointArg(const VARIANT& value, const wchar_t* argument, const wchar_t* method,
               LONG elements = 3) {
  const VARIANT& v = Deref(value);
  SAFEARRAY* array = nullptr;
  if (v.vt == (VT_ARRAY | VT_R8)) array = v.parray;
  if (v.vt == (VT_BYREF | VT_ARRAY | VT_R8) && v.pparray) array = *v.pparray;
  LONG low = 0, high = -1;
  if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &low)) ||
      FAILED(SafeArrayGetUBound(array, 1, &high)) || high - low + 1 != elements)
    InvalidArgument(argument, method);
  Point point;
  LONG i = low;
  SafeArrayGetElement(array, &i, &point.x);
  ++i;
  SafeArrayGetElement(array, &i, &point.y);
  return point;
}

// An optional prompt: missing, or a text.
std::wstring PromptArg(const VARIANT& value, const wchar_t* method) {
  if (IsMissing(value)) return {};
  const VARIANT& v = Deref(value);
  if (v.vt != VT_BSTR) InvalidArgument(L"Prompt", method);
  return v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
}

std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : L""; }

void PutDoubles(VARIANT* out, const std::vector<double>& values) {
  VariantInit(out);
  SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
  for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i)
    SafeArrayPutElement(array, &i, const_cast<double*>(&values[i]));
  out->vt = VT_ARRAY | VT_R8;
  out->parray = array;
}

void PutPoint(VARIANT* out, const Point& p) { PutDoubles(out, {p.x, p.y, 0.0}); }

BSTR NewText(const std::wstring& text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// IUnknown and IDispatch of a dual interface, IDispatch answered through the type library.
template <class Interface>
class Automated : public Interface {
 public:
  Automated(const IID& iid, std::vector<IID> also = {}) : iid_(iid), also_(std::move(also)) {}
  virtual ~Automated() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
                 IsEqualIID(riid, iid_) ||
                 std::any_of(also_.begin(), also_.end(),
                             [&](const IID& i) { return IsEqualIID(riid, i) != 0; });
    if (!known) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<Interface*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ITypeInfo* mine = TypeInfoOf(iid_);
    if (!mine) return E_FAIL;
    mine->AddRef();
    *info = mine;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* mine = TypeInfoOf(iid_);
    return mine ? DispGetIDsOfNames(mine, names, count, ids) : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* badArgument) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (program.dieAfterCalls == 0) ExitProcess(3);
    if (program.dieAfterCalls > 0) --program.dieAfterCalls;
    ITypeInfo* mine = TypeInfoOf(iid_);
    if (!mine) return E_FAIL;
    return DispInvoke(static_cast<Interface*>(this), mine, id, flags, params, result, exception,
                      badArgument);
  }

 private:
  IID iid_;
  std::vector<IID> also_;
  ULONG refs_ = 1;
};

// ---------------------------------------------------------------------------------------------
// Entities: raster images and the polylines that insertions add.

Point BoxCorner(const Entity& e, bool upper) {
  Point lo{1e300, 1e300}, hi{-1e300, -1e300};
  for (auto& q : e.Outline()) {
    lo = {std::min(lo.x, q.x), std::min(lo.y, q.y)};
    hi = {std::max(hi.x, q.x), std::max(hi.y, q.y)};
  }
  return upper ? hi : lo;
}

template <class Interface>
class EntityBase : public Automated<Interface> {
 public:
  EntityBase(const IID& iid, std::shared_ptr<Entity> e)
      : Automated<Interface>(iid, {IID_ICadEntity}), e_(std::move(e)) {}

  HRESULT STDMETHODCALLTYPE get_ObjectName(BSTR* name) override {
    *name = NewText(e_->kind == Entity::Kind::RasterImage ? L"AcDbRasterImage" : e_->objectName);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBoundingBox(VARIANT* minPoint, VARIANT* maxPoint) override {
    return Member([&] {
      if (!minPoint || !maxPoint) InvalidArgument(L"MinPoint", L"GetBoundingBox");
      VariantClear(minPoint);
      VariantClear(maxPoint);
      PutPoint(minPoint, BoxCorner(*e_, false));
      PutPoint(maxPoint, BoxCorner(*e_, true));
    });
  }
  HRESULT STDMETHODCALLTYPE Rotate(VARIANT basePoint, double angle) override {
    return Member([&] {
      e_->Rotate(PointArg(basePoint, L"BasePoint", L"Rotate"), angle);
      Redraw();
    });
  }

 protected:
  std::shared_ptr<Entity> e_;
};

class RasterImageObject : public EntityBase<ICadRasterImage> {
 public:
  explicit RasterImageObject(std::shared_ptr<Entity> e)
      : EntityBase(IID_ICadRasterImage, std::move(e)) {}

  HRESULT STDMETHODCALLTYPE get_ImageFile(BSTR* file) override {
    *file = NewText(e_->file);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Width(double* pixels) override {
    *pixels = e_->pixelWidth;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Height(double* pixels) override {
    *pixels = e_->pixelHeight;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Rotation(double* radians) override {
    *radians = e_->rotation;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Origin(VARIANT* origin) override {
    PutPoint(origin, e_->origin);
    return S_OK;
  }
};

class PolylineObject : public EntityBase<ICadPolyline> {
 public:
  explicit PolylineObject(std::shared_ptr<Entity> e) : EntityBase(IID_ICadPolyline, std::move(e)) {}

  HRESULT STDMETHODCALLTYPE get_Coordinates(VARIANT* coordinates) override {
    std::vector<double> values;
    for (auto& q : e_->vertices) {
      values.push_back(q.x);
      values.push_back(q.y);
    }
    PutDoubles(coordinates, values);
    return S_OK;
  }
};

IDispatch* NewEntityObject(const std::shared_ptr<Entity>& e) {
  if (e->kind == Entity::Kind::RasterImage) return new RasterImageObject(e);
  return new PolylineObject(e);
}

// ---------------------------------------------------------------------------------------------

class ViewportObject : public Automated<ICadViewport> {
 public:
  explicit ViewportObject(View v) : Automated(IID_ICadViewport), view(v) {}
  View view;

  HRESULT STDMETHODCALLTYPE get_Center(VARIANT* center) override {
    PutDoubles(center, {view.center.x, view.center.y});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Center(VARIANT center) override {
    return Member([&] { view.center = PointArg(center, L"Center", L"Center", 2); });
  }
  HRESULT STDMETHODCALLTYPE get_Height(double* height) override {
    *height = view.height;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Height(double height) override {
    return Member([&] {
      if (!(height > 0)) InvalidArgument(L"Height", L"Height");
      view.height = height;
    });
  }
};

// A picked point under the running object snaps: with "endpoint" on (OSMODE bit 1, unless bit
// 16384 suspends them all) it moves to the nearest end or corner of an entity within the
// aperture of ten pixels, as the real programs do it to the user's picks.
Point Snapped(const Point& picked) {
  short osmode = program.variables[L"OSMODE"];
  if (!(osmode & 1) || (osmode & 16384)) return picked;
  double best = 10 * UnitsPerPixel();
  Point snapped = picked;
  for (const auto& e : program.drawing.entities)
    for (const Point& q : e->kind == Entity::Kind::RasterImage ? e->Outline() : e->vertices) {
      double d = std::hypot(q.x - picked.x, q.y - picked.y);
      if (d <= best) {
        best = d;
        snapped = q;
      }
    }
  return snapped;
}

class UtilityObject : public Automated<ICadUtility> {
 public:
  UtilityObject() : Automated(IID_ICadUtility) {}

  HRESULT STDMETHODCALLTYPE GetPoint(VARIANT point, VARIANT prompt, VARIANT* result) override {
    return Member([&] {
      if (!IsMissing(point)) PointArg(point, L"Point", L"GetPoint");
      Log(L"GetPoint " + PromptArg(prompt, L"GetPoint"));
      Pick pick = NextPick();
      if (pick.cancel) Fail(L"ユーザーが入力をキャンセルしました");
      PutPoint(result, Snapped(pick.point));
    });
  }
  HRESULT STDMETHODCALLTYPE GetCorner(VARIANT point, VARIANT prompt, VARIANT* result) override {
    return Member([&] {
      PointArg(point, L"Point", L"GetCorner");
      Log(L"GetCorner " + PromptArg(prompt, L"GetCorner"));
      Pick pick = NextPick();
      if (pick.cancel) Fail(L"ユーザーが入力をキャンセルしました");
      PutPoint(result, Snapped(pick.point));
    });
  }
  HRESULT STDMETHODCALLTYPE GetEntity(IDispatch** object, VARIANT* pickedPoint,
                                      VARIANT prompt) override {
    return Member([&] {
      if (!object || !pickedPoint) InvalidArgument(L"Object", L"GetEntity");
      Log(L"GetEntity " + PromptArg(prompt, L"GetEntity"));
      Pick pick = NextPick();
      if (pick.cancel) Fail(L"ユーザーが入力をキャンセルしました");
      auto entity = program.drawing.EntityAt(pick.point, 3 * UnitsPerPixel());
      if (!entity) Fail(L"図形が選択されませんでした");
      *object = NewEntityObject(entity);
      VariantClear(pickedPoint);
      PutPoint(pickedPoint, pick.point);
    });
  }
};

// A system variable's value in the type the program keeps it as.
void GetVariableValue(const std::wstring& name, VARIANT* value) {
  auto found = program.variables.find(name);
  if (found != program.variables.end()) {
    value->vt = VT_I2;
    value->iVal = found->second;
  } else if (name == L"VIEWSIZE") {
    value->vt = VT_R8;
    value->dblVal = program.drawing.view.height;
  } else if (name == L"VIEWCTR") {
    PutPoint(value, program.drawing.view.center);
  } else if (name == L"SCREENSIZE") {
    SIZE s = ScreenSize();
    PutDoubles(value, {static_cast<double>(s.cx), static_cast<double>(s.cy)});
  } else {
    Fail(L"不明なシステム変数: " + name, E_INVALIDARG);
  }
}

class DocumentObject : public Automated<ICadDocument> {
 public:
  DocumentObject() : Automated(IID_ICadDocument) {}

  HRESULT STDMETHODCALLTYPE get_HWND(INT64* window) override {
    *window = reinterpret_cast<INT64>(program.view);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, VARIANT* value) override {
    return Member([&] { GetVariableValue(Upper(Text(name)), value); });
  }
  HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, VARIANT value) override {
    return Member([&] {
      std::wstring var = Upper(Text(name));
      auto found = program.variables.find(var);
      if (found == program.variables.end()) Fail(L"不明なシステム変数: " + var, E_INVALIDARG);
      // Integer system variables take 16-bit integers only, as in the programs this plays.
      const VARIANT& v = Deref(value);
      if (v.vt != VT_I2) InvalidArgument(L"Value", L"SetVariable");
      found->second = v.iVal;
    });
  }
  HRESULT STDMETHODCALLTYPE SendCommand(BSTR command) override {
    program.lastCommand = Text(command);
    TypeCommandText(program.lastCommand);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Utility(ICadUtility** utility) override {
    *utility = new UtilityObject();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ActiveViewport(ICadViewport** viewport) override {
    *viewport = new ViewportObject(program.drawing.view);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_ActiveViewport(ICadViewport* viewport) override {
    return Member([&] {
      // The type machinery hands over the interface of one of this program's own viewports.
      if (!viewport) InvalidArgument(L"Viewport", L"ActiveViewport");
      SetView(static_cast<ViewportObject*>(viewport)->view);
    });
  }
};

class ApplicationObject : public Automated<ICadApplication> {
 public:
  ApplicationObject() : Automated(IID_ICadApplication) {}

  HRESULT STDMETHODCALLTYPE get_WindowState(CadWindowState* state) override {
    *state = IsIconic(program.frame) ? cadMin : IsZoomed(program.frame) ? cadMax : cadNorm;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_WindowState(CadWindowState state) override {
    return Member([&] {
      if (state != cadNorm && state != cadMin && state != cadMax)
        InvalidArgument(L"WindowState", L"WindowState");
      ShowWindow(program.frame, state == cadMin   ? SW_MINIMIZE
                                : state == cadMax ? SW_MAXIMIZE
                                                  : SW_RESTORE);
    });
  }
  HRESULT STDMETHODCALLTYPE get_HWND(INT64* window) override {
    *window = reinterpret_cast<INT64>(program.frame);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ActiveDocument(ICadDocument** document) override {
    *document = new DocumentObject();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE TestAddImage(BSTR file, VARIANT origin, double width, double rotation,
                                         IDispatch** image) override {
    return Member([&] {
      auto e = std::make_shared<Entity>();
      e->kind = Entity::Kind::RasterImage;
      e->file = Text(file);
      Gdiplus::Bitmap* picture = LoadImageFile(e->file);
      if (!picture) Fail(L"画像を読めません: " + e->file);
      e->pixelWidth = static_cast<int>(picture->GetWidth());
      e->pixelHeight = static_cast<int>(picture->GetHeight());
      e->origin = PointArg(origin, L"origin", L"TestAddImage");
      e->unitsPerPixel = width / e->pixelWidth;
      e->rotation = rotation;
      program.drawing.entities.push_back(e);
      Redraw();
      *image = NewEntityObject(e);
    });
  }
  HRESULT STDMETHODCALLTYPE TestQueuePick(VARIANT point) override {
    return Member([&] {
      program.picks.push_back(Pick{false, PointArg(point, L"point", L"TestQueuePick")});
    });
  }
  HRESULT STDMETHODCALLTYPE TestQueueCancel() override {
    program.picks.push_back(Pick{true, {}});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TestClearPicks() override {
    program.picks.clear();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TestBusy(LONG milliseconds) override {
    program.busyUntil = GetTickCount() + static_cast<DWORD>(milliseconds);
    if (program.busyUntil == 0) program.busyUntil = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TestDieAfterCalls(LONG calls) override {
    program.dieAfterCalls = calls;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TestSaveView(BSTR file) override {
    return Member([&] {
      std::string bytes;
      if (!EncodeView(L"image/png", bytes)) Fail(L"保存できません");
      HANDLE h = CreateFileW(Text(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h == INVALID_HANDLE_VALUE) Fail(L"保存できません: " + Text(file));
      DWORD written = 0;
      WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      CloseHandle(h);
    });
  }
  HRESULT STDMETHODCALLTYPE get_TestEntityCount(LONG* count) override {
    *count = static_cast<LONG>(program.drawing.entities.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TestEntity(LONG index, IDispatch** entity) override {
    return Member([&] {
      if (index < 0 || static_cast<size_t>(index) >= program.drawing.entities.size())
        Fail(L"番号が範囲外です", DISP_E_BADINDEX);
      *entity = NewEntityObject(program.drawing.entities[static_cast<size_t>(index)]);
    });
  }
  HRESULT STDMETHODCALLTYPE TestEntityOutline(LONG index, VARIANT* coordinates) override {
    return Member([&] {
      if (index < 0 || static_cast<size_t>(index) >= program.drawing.entities.size())
        Fail(L"番号が範囲外です", DISP_E_BADINDEX);
      std::vector<double> values;
      for (const Point& q : program.drawing.entities[static_cast<size_t>(index)]->Outline()) {
        values.push_back(q.x);
        values.push_back(q.y);
      }
      PutDoubles(coordinates, values);
    });
  }
  HRESULT STDMETHODCALLTYPE get_TestLastCommand(BSTR* text) override {
    *text = NewText(program.lastCommand);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_TestLog(BSTR* text) override {
    *text = NewText(program.log);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TestVariable(BSTR name, LONG* value) override {
    auto found = program.variables.find(Upper(Text(name)));
    *value = found != program.variables.end() ? found->second : -1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TestSetView(VARIANT center, double height) override {
    return Member([&] {
      program.drawing.view = View{PointArg(center, L"center", L"TestSetView"), height};
      Redraw();
    });
  }
  HRESULT STDMETHODCALLTYPE TestCommandTiming(LONG startMs, LONG runMs) override {
    program.timing = CommandTiming{static_cast<DWORD>(std::max(startMs, 0L)),
                                   static_cast<DWORD>(std::max(runMs, 0L))};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_TestRefusedCalls(LONG* count) override {
    *count = program.refusedCalls;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TestSetVariable(BSTR name, LONG value) override {
    return Member([&] {
      auto found = program.variables.find(Upper(Text(name)));
      if (found == program.variables.end()) Fail(L"不明なシステム変数", E_INVALIDARG);
      found->second = static_cast<short>(value);
    });
  }
};

}  // namespace

bool LoadTypeLibrary() {
  wchar_t path[MAX_PATH];
  if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return false;
  return SUCCEEDED(LoadTypeLibEx(path, REGKIND_NONE, &g_typeLibrary)) &&
         TypeInfoOf(IID_ICadApplication) != nullptr;
}

IDispatch* NewApplicationObject() { return new ApplicationObject(); }

}  // namespace standin
