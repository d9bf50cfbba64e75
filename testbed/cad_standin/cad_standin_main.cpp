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

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cad_standin_objects.h"
#include "cad_standin_program.h"

namespace standin {

Program program;

namespace {

constexpr wchar_t kFrameClass[] = L"TesnovaStandInCadFrame";
constexpr wchar_t kViewClass[] = L"TesnovaStandInCadView";
constexpr double kPi = 3.14159265358979323846;

std::wstring Utf8ToWide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::map<std::wstring, std::unique_ptr<Gdiplus::Bitmap>> g_images;

}  // namespace

void Log(const std::wstring& line) { program.log += line + L"\n"; }

std::wstring Upper(std::wstring s) {
  for (auto& c : s) c = towupper(c);
  return s;
}

// ---------------------------------------------------------------------------------------
// View geometry: the view window's client area shows the view centred on its centre.

SIZE ScreenSize() {
  RECT r{};
  GetClientRect(program.view, &r);
  return {r.right - r.left, r.bottom - r.top};
}

double UnitsPerPixel() {
  SIZE s = ScreenSize();
  return s.cy > 0 ? program.drawing.view.height / s.cy : 1;
}

Point ScreenToDrawing(int px, int py) {
  // The point under the middle of the pixel.
  SIZE s = ScreenSize();
  double k = UnitsPerPixel();
  return {program.drawing.view.center.x + (px + 0.5 - s.cx / 2.0) * k,
          program.drawing.view.center.y - (py + 0.5 - s.cy / 2.0) * k};
}

// ---------------------------------------------------------------------------------------
// Rendering with GDI+: world transform from drawing units (Y up) to view pixels.

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
  double k = program.drawing.view.height / height;
  Gdiplus::Matrix world;
  world.Translate(static_cast<Gdiplus::REAL>(width / 2.0),
                  static_cast<Gdiplus::REAL>(height / 2.0));
  world.Scale(static_cast<Gdiplus::REAL>(1 / k), static_cast<Gdiplus::REAL>(-1 / k));
  world.Translate(static_cast<Gdiplus::REAL>(-program.drawing.view.center.x),
                  static_cast<Gdiplus::REAL>(-program.drawing.view.center.y));
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  for (auto& e : program.drawing.entities) {
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
  for (auto& e : program.drawing.entities) {
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
  if (program.view) {
    InvalidateRect(program.view, nullptr, FALSE);
    UpdateWindow(program.view);
  }
}

namespace {

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

}  // namespace

bool EncodeView(const wchar_t* mime, std::string& bytes) {
  SIZE s = ScreenSize();
  if (s.cx <= 0 || s.cy <= 0) return false;
  Gdiplus::Bitmap bitmap(s.cx, s.cy, PixelFormat24bppRGB);
  {
    Gdiplus::Graphics graphics(&bitmap);
    Render(graphics, s.cx, s.cy);
  }
  CLSID clsid;
  IStream* stream = nullptr;
  if (!EncoderClsid(mime, clsid) || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
    return false;
  bool saved = bitmap.Save(stream, &clsid, nullptr) == Gdiplus::Ok;
  HGLOBAL memory = nullptr;
  if (saved && SUCCEEDED(GetHGlobalFromStream(stream, &memory))) {
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    const char* data = static_cast<const char*>(GlobalLock(memory));
    bytes.assign(data, data + stat.cbSize.QuadPart);
    GlobalUnlock(memory);
  }
  stream->Release();
  return saved;
}

void SetView(const View& view) {
  program.drawing.previousViews.push_back(program.drawing.view);
  program.drawing.view = view;
  Redraw();
}

// ---------------------------------------------------------------------------------------
// Picks: from the queue a test filled, otherwise from the mouse (Escape or right button
// cancels).

Pick NextPick() {
  if (!program.picks.empty()) {
    Pick p = program.picks.front();
    program.picks.pop_front();
    return p;
  }
  program.picking = true;
  program.pickDone = false;
  SetWindowTextW(program.frame, L"Tesnova テスト用 CAD (stand-in) - 指示してください");
  MSG msg;
  while (!program.pickDone) {
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(0);
      program.pickResult = Pick{true, {}};
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    // A test may fill the queue while the pick waits.
    if (!program.pickDone && !program.picks.empty()) {
      program.pickResult = program.picks.front();
      program.picks.pop_front();
      program.pickDone = true;
    }
  }
  program.picking = false;
  SetWindowTextW(program.frame, L"Tesnova テスト用 CAD (stand-in)");
  return program.pickResult;
}

namespace {

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

// Escape cancels a pick, or else the command waiting for input.
void EscapeKey(WPARAM key) {
  if (key != VK_ESCAPE) return;
  if (program.picking) {
    program.pickResult = Pick{true, {}};
    program.pickDone = true;
  } else {
    CancelCommand();
  }
}

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
      if (program.picking) {
        program.pickResult = Pick{
            false, ScreenToDrawing(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)))};
        program.pickDone = true;
      }
      return 0;
    case WM_RBUTTONDOWN:
      if (program.picking) {
        program.pickResult = Pick{true, {}};
        program.pickDone = true;
      }
      return 0;
    case WM_KEYDOWN:
      EscapeKey(wp);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      if (program.view) MoveWindow(program.view, 0, 0, rc.right, rc.bottom, TRUE);
      return 0;
    }
    case WM_KEYDOWN:
      EscapeKey(wp);
      return 0;
    case WM_TIMER:
      OnCommandTimer(wp);
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
      program.drawing.view = v;
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
      program.drawing.entities.push_back(e);
    }
  }
}

// ---------------------------------------------------------------------------------------
// The message filter: while a command runs (or a test made the program busy), incoming calls
// are refused, as the real programs refuse them while a command or a dialog is active. They
// answer "retry later"; Wine does not implement that answer (it runs the call anyway), so
// under Wine the filter answers "rejected", which Wine does pass on to the caller.

class BusyFilter : public IMessageFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
      *object = static_cast<IMessageFilter*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    if (!Busy()) return SERVERCALL_ISHANDLED;
    ++program.refusedCalls;
    return refusal_;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
    return static_cast<DWORD>(-1);
  }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
    return PENDINGMSG_WAITDEFPROCESS;
  }

 private:
  static bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }
  DWORD refusal_ = UnderWine() ? SERVERCALL_REJECTED : SERVERCALL_RETRYLATER;
};

BusyFilter g_filter;

}  // namespace

}  // namespace standin

using namespace standin;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RECT place{0, 0, 720, 620};
  std::wstring drawingFile;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i + 1 < argc; ++i) {
    std::wstring a = argv[i];
    if (a == L"--progid") program.progId = argv[++i];
    if (a == L"--drawing") drawingFile = argv[++i];
    if (a == L"--geometry") {
      int x, y, w, h;
      if (swscanf(argv[++i], L"%d,%d,%d,%d", &x, &y, &w, &h) == 4) place = {x, y, x + w, y + h};
    }
  }
  LocalFree(argv);

  if (FAILED(OleInitialize(nullptr))) return 1;
  // Without its type library the program cannot answer a single call; the exit code says so.
  if (!LoadTypeLibrary()) return 2;
  IMessageFilter* previousFilter = nullptr;
  CoRegisterMessageFilter(&g_filter, &previousFilter);
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

  program.frame =
      CreateWindowExW(0, kFrameClass, L"Tesnova テスト用 CAD (stand-in)", WS_OVERLAPPEDWINDOW,
                      place.left, place.top, place.right - place.left, place.bottom - place.top,
                      nullptr, nullptr, instance, nullptr);
  program.view = CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                 program.frame, nullptr, instance, nullptr);
  ShowWindow(program.frame, SW_SHOWNORMAL);
  SendMessageW(program.frame, WM_SIZE, 0, 0);
  UpdateWindow(program.frame);

  CLSID clsid = ClsidFor(program.progId);
  RegisterProgId(program.progId, clsid);
  IDispatch* application = NewApplicationObject();
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
