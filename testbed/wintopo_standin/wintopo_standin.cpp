// Stand-in for WinTopo in the Windows tests: a window that opens the bitmap named on its
// command line and is driven from outside the way the tests need WinTopo driven.
//   - title "WinTopo stand-in - NAME";
//   - F10 (or menu item (1, 0)) vectorises: the outlines of the dark pixels (mean grey below
//     128) become closed polylines, in pixels with Y up from the bitmap's bottom-left corner;
//   - menu item (1, 8) "Save Vector As..." opens the system's save dialog proposing the
//     bitmap's folder and name with ".dxf", and writes the outlines as a DXF file;
//   - menu item (0, 6) reloads the bitmap;
//   - closes on SC_CLOSE.
// Behaviours for the fault tests, chosen by words in the environment variable
// TESNOVA_WINTOPO_STANDIN or by switches before the bitmap:
//   ask     asks before closing while vectors are unsaved (a message box, Yes/No);
//   nosave  "Save Vector As..." opens no dialog;
//   unreadable-menu  for programs that cannot read this window's menu under Wine (below): the
//           identifier such a lookup yields (all bits set) is taken as "Save Vector As...".
// Wine keeps menus inside their process, so another program's GetSubMenu fails there; the
// registered message "TesnovaStandInMenuItemId" (wParam: menu position << 16 | item position)
// answers the identifier that the system would give on Windows.
#include <windows.h>
// after windows.h
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "win32/wide_text.h"

namespace {

constexpr UINT kVectorise = 200;
constexpr UINT kSaveVectorAs = 208;
constexpr UINT kReload = 106;

struct Point {
  double x, y;
};
using Outline = std::vector<Point>;  // closed: the last point joins the first

struct State {
  std::wstring bitmapPath;
  tesnova::Bitmap bitmap;
  bool loaded = false;
  std::vector<Outline> outlines;
  bool vectorised = false;
  bool unsaved = false;
  bool ask = false;
  bool noSave = false;
  bool unreadableMenu = false;
} g;

bool Dark(const tesnova::Bitmap& b, int x, int y) {
  if (x < 0 || y < 0 || x >= b.width || y >= b.height) return false;
  const std::uint8_t* p = b.at(x, y);
  return (p[0] + p[1] + p[2]) / 3 < 128;
}

// Drops the points of an open chain that lie within tolerance of the straight line through
// the points kept around them (Douglas-Peucker); the ends stay.
void Simplify(const std::vector<Point>& in, size_t first, size_t last, double tolerance,
              std::vector<Point>& out) {
  double farthest = 0;
  size_t at = first;
  const Point a = in[first], b = in[last];
  const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
  for (size_t i = first + 1; i < last; ++i) {
    double d = length > 0 ? std::fabs((in[i].x - a.x) * dy - (in[i].y - a.y) * dx) / length
                          : std::hypot(in[i].x - a.x, in[i].y - a.y);
    if (d > farthest) farthest = d, at = i;
  }
  if (farthest > tolerance) {
    Simplify(in, first, at, tolerance, out);
    Simplify(in, at, last, tolerance, out);
  } else {
    out.push_back(b);
  }
}

// The outlines of the dark regions along the pixel edges, in pixels with Y up from the bitmap's
// bottom-left corner. Every corner the tracing keeps is a corner of a dark pixel; staircases are
// straightened to within three quarters of a pixel.
std::vector<Outline> Outlines(const tesnova::Bitmap& b) {
  const int w = b.width, h = b.height;
  // Edges run clockwise around each dark pixel (y down), so that edges between two dark
  // pixels never arise and every outline closes. An edge is keyed by its start corner; a
  // corner where two dark pixels meet diagonally starts two edges.
  auto corner = [&](int x, int y) { return static_cast<size_t>(y) * (w + 1) + x; };
  std::vector<std::array<int, 2>> next(static_cast<size_t>(w + 1) * (h + 1), {-1, -1});
  auto add = [&](int x0, int y0, int x1, int y1) {
    auto& slot = next[corner(x0, y0)];
    slot[slot[0] < 0 ? 0 : 1] = static_cast<int>(corner(x1, y1));
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!Dark(b, x, y)) continue;
      if (!Dark(b, x, y - 1)) add(x, y, x + 1, y);
      if (!Dark(b, x + 1, y)) add(x + 1, y, x + 1, y + 1);
      if (!Dark(b, x, y + 1)) add(x + 1, y + 1, x, y + 1);
      if (!Dark(b, x - 1, y)) add(x, y + 1, x, y);
    }
  std::vector<Outline> outlines;
  for (size_t start = 0; start < next.size(); ++start) {
    while (next[start][0] >= 0) {
      std::vector<Point> corners;
      size_t at = start;
      int dx = 0, dy = 0;
      do {
        auto& slot = next[at];
        int px = static_cast<int>(at % (w + 1)), py = static_cast<int>(at / (w + 1));
        // Where two ways leave a corner, turn right, which keeps diagonal pixels apart.
        int pick = 0;
        if (slot[1] >= 0) {
          int ax = slot[0] % (w + 1) - px, ay = slot[0] / (w + 1) - py;
          if (ax * dy - ay * dx > 0) pick = 1;
        }
        size_t to = static_cast<size_t>(slot[pick]);
        slot[pick] = slot[1 - pick];
        slot[1] = -1;
        int nx = static_cast<int>(to % (w + 1)) - px, ny = static_cast<int>(to / (w + 1)) - py;
        if (nx != dx || ny != dy) corners.push_back({double(px), double(h - py)});
        dx = nx, dy = ny;
        at = to;
      } while (at != start);
      if (corners.size() < 3) continue;
      corners.push_back(corners.front());
      Outline outline{corners.front()};
      Simplify(corners, 0, corners.size() - 1, 0.75, outline);
      outline.pop_back();
      // A speck of a pixel or two keeps its corners.
      if (outline.size() < 3) outline.assign(corners.begin(), corners.end() - 1);
      outlines.push_back(std::move(outline));
    }
  }
  return outlines;
}

std::string DxfOf(const std::vector<Outline>& outlines) {
  std::string s;
  auto pair = [&](const char* code, const std::string& value) {
    s += code;
    s += "\r\n";
    s += value;
    s += "\r\n";
  };
  auto num = [](double v) {
    char b[32];
    snprintf(b, sizeof b, "%.3f", v);
    return std::string(b);
  };
  pair("  0", "SECTION");
  pair("  2", "ENTITIES");
  for (const Outline& outline : outlines) {
    pair("  0", "POLYLINE");
    pair("  8", "0");
    pair(" 66", "1");
    pair(" 70", "1");
    for (const Point& p : outline) {
      pair("  0", "VERTEX");
      pair("  8", "0");
      pair(" 10", num(p.x));
      pair(" 20", num(p.y));
      pair(" 30", "0.0");
    }
    pair("  0", "SEQEND");
  }
  pair("  0", "ENDSEC");
  pair("  0", "EOF");
  return s;
}

void Load(HWND hwnd) {
  g.loaded = false;
  g.outlines.clear();
  g.vectorised = g.unsaved = false;
  std::wstring title = L"WinTopo stand-in";
  if (!g.bitmapPath.empty()) {
    title += L" - " + std::filesystem::path(g.bitmapPath).filename().wstring();
    try {
      g.bitmap = tesnova::ReadBmp(std::filesystem::path(g.bitmapPath));
      g.loaded = true;
    } catch (const std::exception&) {
    }
  }
  SetWindowTextW(hwnd, title.c_str());
  InvalidateRect(hwnd, nullptr, TRUE);
}

void SaveVectorAs(HWND hwnd) {
  if (g.noSave) return;
  std::filesystem::path bmp(g.bitmapPath);
  std::wstring folder = bmp.parent_path().wstring();
  std::wstring name = bmp.stem().wstring() + L".dxf";
  std::vector<wchar_t> file(32768, L'\0');
  std::copy(name.begin(), name.end(), file.begin());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd;
  ofn.lpstrFilter = L"DXF (*.dxf)\0*.dxf\0";
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrDefExt = L"dxf";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&ofn)) {
    if (DWORD error = CommDlgExtendedError()) {
      std::wstring text = L"GetSaveFileNameW: " + std::to_wstring(error);
      MessageBoxW(hwnd, text.c_str(), L"WinTopo stand-in", MB_OK);
    }
    return;
  }
  try {
    tesnova::WriteFileBytes(std::filesystem::path(file.data()), DxfOf(g.outlines));
    g.unsaved = false;
  } catch (const std::exception& e) {
    MessageBoxW(hwnd, tesnova::Utf8ToWide(e.what()).c_str(), L"WinTopo stand-in", MB_OK);
  }
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (g.loaded && !g.bitmap.empty()) {
    const tesnova::Bitmap& b = g.bitmap;
    const int stride = (b.width * 3 + 3) & ~3;
    std::vector<std::uint8_t> rows(static_cast<size_t>(stride) * b.height);
    for (int y = 0; y < b.height; ++y)
      std::copy(b.row(y), b.row(y) + b.stride(), rows.data() + static_cast<size_t>(y) * stride);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = b.width;
    bi.bmiHeader.biHeight = -b.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    double scale = std::min(double(rc.right) / b.width, double(rc.bottom) / b.height);
    int w = int(b.width * scale), h = int(b.height * scale);
    StretchDIBits(dc, 0, 0, w, h, 0, 0, b.width, b.height, rows.data(), &bi, DIB_RGB_COLORS,
                  SRCCOPY);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dc, pen);
    for (const Outline& outline : g.outlines) {
      const Point& last = outline.back();
      MoveToEx(dc, int(last.x * scale), int((b.height - last.y) * scale), nullptr);
      for (const Point& p : outline) LineTo(dc, int(p.x * scale), int((b.height - p.y) * scale));
    }
    SelectObject(dc, old);
    DeleteObject(pen);
  } else {
    const wchar_t* text = L"画像を開けません";
    TextOutW(dc, 8, 8, text, static_cast<int>(wcslen(text)));
  }
  EndPaint(hwnd, &ps);
}

void Vectorise(HWND hwnd) {
  if (!g.loaded) return;
  g.outlines = Outlines(g.bitmap);
  g.vectorised = true;
  g.unsaved = true;
  InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  static const UINT menuQuery = RegisterWindowMessageW(L"TesnovaStandInMenuItemId");
  if (msg == menuQuery)
    return static_cast<LRESULT>(GetMenuItemID(GetSubMenu(GetMenu(hwnd), HIWORD(wp)), LOWORD(wp)));
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (wp == VK_F10) {
        Vectorise(hwnd);
        return 0;
      }
      break;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kVectorise:
          Vectorise(hwnd);
          return 0;
        case kSaveVectorAs:
          SaveVectorAs(hwnd);
          return 0;
        case kReload:
          Load(hwnd);
          return 0;
        case 0xFFFF:
          if (g.unreadableMenu) SaveVectorAs(hwnd);
          return 0;
        case IDCANCEL:
          PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
          return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE && g.ask && g.unsaved &&
          MessageBoxW(hwnd, L"ベクトルが保存されていません。終了しますか？", L"WinTopo stand-in",
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
      break;
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HMENU BuildMenu() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  const wchar_t* fileItems[] = {L"Open Image...", L"Save Image As...", L"Print...",
                                L"Image Info",    L"Recent",           L"Clear Vectors",
                                L"Reload Image"};
  for (UINT i = 0; i < 7; ++i) AppendMenuW(file, MF_STRING, 100 + i, fileItems[i]);
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, IDCANCEL, L"Exit");
  HMENU vector = CreatePopupMenu();
  const wchar_t* vectorItems[] = {L"One-touch Vectorisation\tF10",
                                  L"Thinning",
                                  L"Outline",
                                  L"Smoothing",
                                  L"Reduce Points",
                                  L"Vector Info",
                                  L"Clear",
                                  L"Load Vectors...",
                                  L"Save Vector As..."};
  for (UINT i = 0; i < 9; ++i) AppendMenuW(vector, MF_STRING, 200 + i, vectorItems[i]);
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(vector), L"Vector");
  return bar;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> words;
  wchar_t env[256];
  DWORD n = GetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", env, 256);
  std::wstring behaviours = n > 0 && n < 256 ? env : L"";
  int i = 1;
  for (; i < argc && argv[i][0] == L'/'; ++i) behaviours += L" " + std::wstring(argv[i] + 1);
  g.ask = behaviours.find(L"ask") != std::wstring::npos;
  g.noSave = behaviours.find(L"nosave") != std::wstring::npos;
  g.unreadableMenu = behaviours.find(L"unreadable-menu") != std::wstring::npos;
  // The bitmap: the rest of the command line, also when its path came unquoted.
  for (; i < argc; ++i) g.bitmapPath += (g.bitmapPath.empty() ? L"" : L" ") + std::wstring(argv[i]);
  LocalFree(argv);

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"TWinTopoStandIn";
  RegisterClassW(&wc);
  HWND hwnd =
      CreateWindowW(wc.lpszClassName, L"WinTopo stand-in", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                    CW_USEDEFAULT, 640, 480, nullptr, BuildMenu(), instance, nullptr);
  Load(hwnd);
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
