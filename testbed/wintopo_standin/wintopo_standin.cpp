// Stand-in for WinTopo in the Windows tests: a window that opens the bitmap named on its
// command line and is driven from outside the way the tests need WinTopo driven.
//   - title "WinTopo stand-in - NAME";
//   - F10 (or menu item (1, 0)) vectorises: the outlines of the dark pixels (mean grey below
//     128) become lines, in pixels with Y up from the bitmap's bottom-left corner;
//   - menu item (1, 8) "Save Vector As..." opens the system's save dialog proposing the
//     bitmap's folder and name with ".dxf", and writes the lines as a DXF file;
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

struct Line {
  double x1, y1, x2, y2;
};

struct State {
  std::wstring bitmapPath;
  tesnova::Bitmap bitmap;
  bool loaded = false;
  std::vector<Line> lines;
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

// Pixel edges between dark and light, merged into the longest straight pieces.
std::vector<Line> Outlines(const tesnova::Bitmap& b) {
  std::vector<Line> lines;
  const double h = b.height;
  for (int y = 0; y <= b.height; ++y) {  // horizontal edges above row y
    for (int x = 0; x < b.width;) {
      auto edge = [&](int xx) { return Dark(b, xx, y - 1) != Dark(b, xx, y); };
      if (!edge(x)) {
        ++x;
        continue;
      }
      int x0 = x;
      bool below = Dark(b, x, y);
      while (x < b.width && edge(x) && Dark(b, x, y) == below) ++x;
      lines.push_back({double(x0), h - y, double(x), h - y});
    }
  }
  for (int x = 0; x <= b.width; ++x) {  // vertical edges left of column x
    for (int y = 0; y < b.height;) {
      auto edge = [&](int yy) { return Dark(b, x - 1, yy) != Dark(b, x, yy); };
      if (!edge(y)) {
        ++y;
        continue;
      }
      int y0 = y;
      bool right = Dark(b, x, y);
      while (y < b.height && edge(y) && Dark(b, x, y) == right) ++y;
      lines.push_back({double(x), h - y0, double(x), h - y});
    }
  }
  return lines;
}

std::string DxfOf(const std::vector<Line>& lines) {
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
  for (const Line& l : lines) {
    pair("  0", "LINE");
    pair("  8", "0");
    pair(" 10", num(l.x1));
    pair(" 20", num(l.y1));
    pair(" 30", "0.0");
    pair(" 11", num(l.x2));
    pair(" 21", num(l.y2));
    pair(" 31", "0.0");
  }
  pair("  0", "ENDSEC");
  pair("  0", "EOF");
  return s;
}

void Load(HWND hwnd) {
  g.loaded = false;
  g.lines.clear();
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
    tesnova::WriteFileBytes(std::filesystem::path(file.data()), DxfOf(g.lines));
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
    for (const Line& l : g.lines) {
      MoveToEx(dc, int(l.x1 * scale), int((b.height - l.y1) * scale), nullptr);
      LineTo(dc, int(l.x2 * scale), int((b.height - l.y2) * scale));
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
  g.lines = Outlines(g.bitmap);
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
