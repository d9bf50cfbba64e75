#include "win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

#include "app/main_form.h"
#include "app/settings.h"
#include "app/window_placement.h"
#include "base/error.h"
#include "raster/bitmap.h"
#include "win32/control_ids.h"
#include "win32/dark_style.h"
#include "win32/error_box.h"
#include "win32/main_window_layout.h"
#include "win32/message_filter.h"
#include "win32/profile_store_win32.h"
#include "win32/wide_text.h"
#include "win32/win32_processes.h"
#include "win32/window_keys.h"
#include "win32/window_text.h"

namespace tesnova {
namespace {

constexpr wchar_t kClassName[] = L"TForm102";
constexpr UINT_PTR kTimer1 = 1;

const ControlLayout* LayoutOf(std::string_view name) {
  for (const ControlLayout& c : MainWindowControls())
    if (c.name && name == c.name) return &c;
  return nullptr;
}

bool IsEditClass(HWND control) {
  wchar_t name[16];
  return GetClassNameW(control, name, 16) && lstrcmpiW(name, L"Edit") == 0;
}

// Memos need CR LF between lines.
std::wstring WithCrLf(std::wstring_view text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);

  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);

  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
  RECT r{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  hwnd_ = CreateWindowExW(exStyle, kClassName, Utf8ToWide(kApplicationTitle).c_str(), style,
                          CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr,
                          nullptr, instance, this);
  if (!hwnd_) throw Error("メインウィンドウを作成できません");
  CreateControls();
}

MainWindow::~MainWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void MainWindow::CreateControls() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  HFONT font = dark::UiFont(dpi_);
  // The hints' window is topmost on its own and owned by no window: an owned popup would take
  // the main window's place when the main window is made topmost again.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, nullptr, nullptr,
                             instance, nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Scale(400));
  int labelId = 9000;
  for (const ControlLayout& c : MainWindowControls()) {
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
    switch (c.kind) {
      case ControlKind::kLabel:
        style |= SS_LEFT | SS_NOPREFIX;
        break;
      case ControlKind::kEdit:
        cls = L"EDIT";
        style |= WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        if (c.flags & kReadOnly) style |= ES_READONLY;
        if (c.flags & kDigitsOnly) style |= ES_NUMBER;
        if (c.flags & kCentred) style |= ES_CENTER;
        break;
      case ControlKind::kMemo:
        cls = L"EDIT";
        style |= WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
        break;
      case ControlKind::kButton:
      case ControlKind::kTab:
        cls = L"BUTTON";
        style |= BS_OWNERDRAW | WS_TABSTOP;
        break;
      case ControlKind::kCheckBox:
        cls = L"BUTTON";
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
      case ControlKind::kShape:
      case ControlKind::kImage:
        style |= SS_OWNERDRAW | SS_NOTIFY;
        break;
    }
    int id = c.name ? ControlId(c.name) : labelId++;
    HWND control =
        CreateWindowExW(exStyle, cls, Utf8ToWide(c.text).c_str(), style, Scale(c.x), Scale(c.y),
                        Scale(c.width), Scale(c.height), hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (c.kind == ControlKind::kCheckBox) {
      dark::Unthemed(control);
      SendMessageW(control, BM_SETCHECK, (c.flags & kTicked) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (c.kind == ControlKind::kMemo) dark::DarkScrollBars(control);
    if (c.kind == ControlKind::kEdit || c.kind == ControlKind::kMemo)
      SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                   MAKELPARAM(Scale(3), Scale(3)));
    if (c.flags & kHiddenControl) hidden_.insert(control);
    if (c.page >= 0)
      pages_[control] = c.page;
    else if (!(c.flags & kHiddenControl))
      ShowWindow(control, SW_SHOW);
    if (c.name) controls_[c.name] = control;
    if (c.kind == ControlKind::kShape) fills_[c.name] = 0xFFFFFF;
    if (c.hint) {
      std::wstring hint = Utf8ToWide(c.hint);
      TTTOOLINFOW ti{};
      ti.cbSize = sizeof ti;
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(control);
      ti.lpszText = hint.data();
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
}

namespace {

ScreenArea AreaOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info))
    reinterpret_cast<std::vector<ScreenArea>*>(areas)->push_back(AreaOf(info.rcWork));
  return TRUE;
}

// The work areas of the monitors, and the primary monitor's.
std::vector<ScreenArea> MonitorAreas() {
  std::vector<ScreenArea> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

ScreenArea PrimaryArea() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info))
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return AreaOf(info.rcWork);
}

}  // namespace

HWND MainWindow::Control(std::string_view name) const {
  auto it = controls_.find(name);
  if (it == controls_.end()) throw Error("コントロール " + std::string(name) + " はありません");
  return it->second;
}

void MainWindow::FormCreate(const std::wstring& settingsFile) {
  settingsFile_ = settingsFile;
  AppContext& context = *context_;
  // Double buffering: the window paints its background through a memory bitmap (Paint).
  PrepareForm(context);
  DragAcceptFiles(hwnd_, TRUE);

  RECT outer;
  GetWindowRect(hwnd_, &outer);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  ProfileFile profile(settingsFile_);
  Settings settings = ReadSettings(profile, CentredOrigin(GetSystemMetrics(SM_CXSCREEN), width),
                                   CentredOrigin(GetSystemMetrics(SM_CYSCREEN), height));
  const WindowOrigin origin =
      PlaceWindow(settings.left, settings.top, width, height, MonitorAreas(), PrimaryArea());
  SetWindowPos(hwnd_, nullptr, origin.left, origin.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ApplySettings(settings, *this, context.values);

  SetCaption(ComposeCaption(context.values.targetCadName));
  RunShowingErrors(hwnd_, [&] { LoadHelpTexts(context); });

  filter_ = new TMessageFilter();
  filter_->RegisterFilter();
}

void MainWindow::SaveSettings() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  RECT r;
  GetWindowRect(hwnd_, &r);
  // A minimised window is saved where it will be restored, not off the screen.
  if (IsIconic(hwnd_) && GetWindowPlacement(hwnd_, &placement)) r = placement.rcNormalPosition;
  const Settings settings = CollectSettings(*this, context_->values, r.left, r.top);
  RewriteProfileFile(settingsFile_, [&](ProfileStore& store) {
    WriteSettings(store, settings, WideToUtf8(settingsFile_));
  });
  settingsSettled_ = true;
}

bool MainWindow::FormCloseQuery() {
  if (!context_) return true;
  for (;;) {
    try {
      SaveSettings();
      return true;
    } catch (const std::exception& e) {
      // Told while the window is still there; the user may free the file and try again.
      const std::wstring text =
          Utf8ToWide(ErrorBoxText(e) +
                     "\n\n設定を保存できませんでした。[再試行] でもう一度保存します。"
                     "[キャンセル] で保存せずに終了します。");
      if (MessageBoxW(hwnd_, text.c_str(), Utf8ToWide(kApplicationTitle).c_str(),
                      MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY) {
        settingsSettled_ = true;  // closed without saving, as the user chose
        return true;
      }
    }
  }
}

void MainWindow::FormDestroy() {
  if (!context_) return;
  RunShowingErrors(hwnd_, [&] {
    // Closed without the close request (the window destroyed directly): saved here instead.
    if (!settingsSettled_) SaveSettings();
    if (filter_) filter_->RevokeFilter();
    filter_ = nullptr;
  });
  context_ = nullptr;
}

std::string MainWindow::Text(std::string_view control) const {
  return WindowText(Control(control));
}

void MainWindow::SetText(std::string_view control, std::string_view text) {
  HWND h = Control(control);
  std::wstring wide = Utf8ToWide(text);
  const ControlLayout* layout = LayoutOf(control);
  if (layout && layout->kind == ControlKind::kMemo) wide = WithCrLf(wide);
  SetWindowTextW(h, wide.c_str());
  if (layout && (layout->kind == ControlKind::kLabel || layout->kind == ControlKind::kButton))
    InvalidateRect(h, nullptr, TRUE);
}

bool MainWindow::Checked(std::string_view control) const {
  return SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetChecked(std::string_view control, bool checked) {
  SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::AppendLine(std::string_view memo, std::string_view line) {
  HWND h = Control(memo);
  int end = GetWindowTextLengthW(h);
  std::wstring text = (end > 0 ? L"\r\n" : L"") + WithCrLf(Utf8ToWide(line));
  SendMessageW(h, EM_SETSEL, end, end);
  SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(h, EM_SCROLLCARET, 0, 0);
}

void MainWindow::SetCaption(std::string_view caption) {
  SetWindowTextW(hwnd_, Utf8ToWide(caption).c_str());
}

void MainWindow::SetActivePage(int index) {
  page_ = index >= 0 && index < kPageCount ? index : -1;
  for (auto [control, page] : pages_)
    ShowWindow(control, page == page_ && !hidden_.contains(control) ? SW_SHOWNA : SW_HIDE);
  for (int i = 0; i < kPageCount; ++i)
    if (auto it = controls_.find("Tab" + std::to_string(i)); it != controls_.end())
      InvalidateRect(it->second, nullptr, FALSE);
}

std::uint32_t MainWindow::Fill(std::string_view shape) const {
  auto it = fills_.find(shape);
  if (it == fills_.end()) throw Error("図形 " + std::string(shape) + " はありません");
  return it->second;
}

void MainWindow::SetFill(std::string_view shape, std::uint32_t rgb) {
  auto it = fills_.find(shape);
  if (it == fills_.end()) throw Error("図形 " + std::string(shape) + " はありません");
  it->second = rgb & 0xFFFFFF;
  InvalidateRect(Control(shape), nullptr, FALSE);
}

void MainWindow::SetTimerEnabled(std::string_view timer, bool enabled) {
  if (timer != "Timer1") throw Error("タイマー " + std::string(timer) + " はありません");
  if (enabled)
    SetTimer(hwnd_, kTimer1, 250, nullptr);
  else
    KillTimer(hwnd_, kTimer1);
}

void MainWindow::ShowPicture(const Bitmap& bitmap) {
  size_t stride = (static_cast<size_t>(bitmap.width) * 3 + 3) & ~size_t{3};
  picturePixels_.assign(stride * bitmap.height, 0);
  for (int y = 0; y < bitmap.height; ++y)
    std::copy(bitmap.row(y), bitmap.row(y) + bitmap.stride(), picturePixels_.data() + y * stride);
  pictureHeader_ = BITMAPINFOHEADER{};
  pictureHeader_.biSize = sizeof(BITMAPINFOHEADER);
  pictureHeader_.biWidth = bitmap.width;
  pictureHeader_.biHeight = -bitmap.height;  // rows from the top
  pictureHeader_.biPlanes = 1;
  pictureHeader_.biBitCount = 24;
  pictureHeader_.biCompression = BI_RGB;
  InvalidateRect(Control("Image1"), nullptr, FALSE);
}

void MainWindow::SetStayOnTop(bool onTop) {
  SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void MainWindow::Minimise() { ShowWindow(hwnd_, SW_MINIMIZE); }

void MainWindow::Restore() { ShowWindow(hwnd_, SW_RESTORE); }
void MainWindow::BringToFront() { SetForegroundWindow(hwnd_); }

void MainWindow::ShowMessage(std::string_view text) {
  MessageBoxW(hwnd_, Utf8ToWide(text).c_str(), Utf8ToWide(kApplicationTitle).c_str(), MB_OK);
}

void MainWindow::ProcessMessages() { DispatchPendingMessages(); }

void MainWindow::SetEnabled(std::string_view control, bool enabled) {
  EnableWindow(Control(control), enabled);
}

bool MainWindow::TranslateKey(const MSG& msg) {
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  if (int step = PageStepOf(msg)) {
    SetActivePage(NextTabPage(page_, step));
    // The focus goes with the page, to its tab, as on a tab control.
    if (auto it = controls_.find("Tab" + std::to_string(page_)); it != controls_.end())
      SetFocus(it->second);
    return true;
  }
  if (IsEnterOnPushButton(msg)) {
    PressButton(msg.hwnd);
    return true;
  }
  return false;
}

void MainWindow::RunCommand(const std::string& sender) {
  CommandHandler handler = CommandForButton(sender);
  if (handler && context_) RunShowingErrors(hwnd_, [&] { handler(*context_, sender); });
}

void MainWindow::OnDropFiles(HDROP drop) {
  std::vector<std::string> paths;
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    // The whole path, however long; only the first file counts.
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    length = DragQueryFileW(drop, 0, path.data(), length + 1);
    path.resize(length);
    paths.push_back(WideToUtf8(path));
  }
  DragFinish(drop);
  if (context_) RunShowingErrors(hwnd_, [&] { DropFiles(*context_, paths); });
}

void MainWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP buffer = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, buffer);
  FillRect(memory, &client, dark::BackgroundBrush());
  RECT frame{Scale(4), Scale(kPageTop), client.right - Scale(4), Scale(kPageBottom)};
  HBRUSH border = CreateSolidBrush(dark::kBorder);
  FrameRect(memory, &frame, border);
  DeleteObject(border);
  RECT line{Scale(4), Scale(kPageTop) - Scale(2), client.right - Scale(4), Scale(kPageTop)};
  HBRUSH accent = CreateSolidBrush(dark::kAccent);
  FillRect(memory, &line, accent);
  DeleteObject(accent);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(buffer);
  DeleteDC(memory);
  EndPaint(hwnd_, &ps);
}

void MainWindow::DrawPicture(const DRAWITEMSTRUCT& item) {
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, dark::FieldBrush());
  int w = pictureHeader_.biWidth, h = -pictureHeader_.biHeight;
  if (w > 0 && h > 0) {
    int boxW = r.right - r.left, boxH = r.bottom - r.top;
    // Proportional: the whole picture fits, centred in the box.
    int drawW = boxW, drawH = MulDiv(h, boxW, w);
    if (drawH > boxH) drawH = boxH, drawW = MulDiv(w, boxH, h);
    drawW = std::max(drawW, 1), drawH = std::max(drawH, 1);
    SetStretchBltMode(item.hDC, HALFTONE);
    StretchDIBits(item.hDC, r.left + (boxW - drawW) / 2, r.top + (boxH - drawH) / 2, drawW, drawH,
                  0, 0, w, h, picturePixels_.data(),
                  reinterpret_cast<const BITMAPINFO*>(&pictureHeader_), DIB_RGB_COLORS, SRCCOPY);
  }
  HBRUSH border = CreateSolidBrush(dark::kBorder);
  FrameRect(item.hDC, &r, border);
  DeleteObject(border);
}

void MainWindow::DrawItem(const DRAWITEMSTRUCT& item) {
  std::string name = ControlName(static_cast<int>(item.CtlID));
  if (name.starts_with("Tab")) {
    dark::PaintButton(item, name == "Tab" + std::to_string(page_));
  } else if (name.starts_with("Shape")) {
    HBRUSH brush = CreateSolidBrush(fills_[name]);
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
    HBRUSH border = CreateSolidBrush(dark::kBorder);
    FrameRect(item.hDC, &item.rcItem, border);
    DeleteObject(border);
  } else if (name == "Image1") {
    DrawPicture(item);
  } else {
    dark::PaintButton(item, false);
  }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, w, l);
  return self->Handle(message, w, l);
}

LRESULT MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the background is painted with everything else in WM_PAINT
    case WM_PAINT:
      Paint();
      return 0;
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
      return TRUE;
    case WM_CTLCOLOREDIT:
      return reinterpret_cast<LRESULT>(dark::ColourControl(reinterpret_cast<HDC>(w), true));
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(l);
      bool field = IsEditClass(control);
      return reinterpret_cast<LRESULT>(dark::ColourControl(reinterpret_cast<HDC>(w), field));
    }
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(dark::BackgroundBrush());
    case WM_COMMAND:
      if (HIWORD(w) == BN_CLICKED && l) {
        std::string name = ControlName(LOWORD(w));
        if (name.starts_with("Tab"))
          SetActivePage(std::stoi(name.substr(3)));
        else
          RunCommand(name);
        return 0;
      }
      break;
    case WM_TIMER:
      if (w == kTimer1 && context_) {
        RunShowingErrors(hwnd_, [&] { Timer1Timer(*context_); });
        return 0;
      }
      break;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(w));
      return 0;
    case WM_CLOSE:
      if (FormCloseQuery()) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kTimer1);
      if (tooltip_) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      FormDestroy();
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      hwnd_ = nullptr;
      return DefWindowProcW(hwnd, message, w, l);
    }
  }
  return DefWindowProcW(hwnd_, message, w, l);
}

}  // namespace tesnova
