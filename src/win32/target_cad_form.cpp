#include "win32/target_cad_form.h"

#include <algorithm>

#include "base/error.h"
#include "win32/control_ids.h"
#include "win32/dark_style.h"
#include "win32/error_box.h"
#include "win32/wide_text.h"
#include "win32/window_keys.h"
#include "win32/window_text.h"

namespace tesnova {
namespace {

constexpr wchar_t kClassName[] = L"TTargetCADForm";

struct Layout {
  const wchar_t* cls;
  const char* name;  // nullptr for captions
  int x, y, width, height;
  const char* text;
  DWORD style;
};

const Layout kLayout[] = {
    {L"LISTBOX", "ListBox1", 8, 8, 299, 148, "",
     WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
         LBS_USETABSTOPS},
    {L"STATIC", nullptr, 8, 162, 299, 18, "名称 （説明）", SS_LEFT | SS_NOPREFIX},
    {L"EDIT", "Edit1", 8, 180, 299, 22, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {L"STATIC", nullptr, 8, 208, 299, 18, "ProgID （クラス文字列）", SS_LEFT | SS_NOPREFIX},
    {L"EDIT", "Edit2", 8, 226, 299, 22, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {L"BUTTON", "SpeedButton1", 8, 266, 54, 30, "追加", BS_OWNERDRAW | WS_TABSTOP},
    {L"BUTTON", "SpeedButton2", 66, 266, 54, 30, "削除", BS_OWNERDRAW | WS_TABSTOP},
    {L"BUTTON", "SpeedButton3", 124, 266, 54, 30, "変更", BS_OWNERDRAW | WS_TABSTOP},
    {L"BUTTON", "Button1", 192, 266, 54, 30, "OK", BS_OWNERDRAW | WS_TABSTOP},
    {L"BUTTON", "Button2", 250, 266, 57, 30, "取り消し", BS_OWNERDRAW | WS_TABSTOP},
};

}  // namespace

TargetCadForm::TargetCadForm(HINSTANCE instance, HWND owner, const std::filesystem::path& folder)
    : owner_(owner), list_(folder / kTargetCadListFile) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = dark::BackgroundBrush();
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);

  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT r{0, 0, Scale(315), Scale(307)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  int width = r.right - r.left, height = r.bottom - r.top;
  // Owned by a hidden window rather than by the main window: no taskbar button of its own,
  // and the main window's stay-on-top changes do not carry the dialog along.
  anchor_ =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  hwnd_ = CreateWindowExW(exStyle, kClassName, L"ターゲット CAD", style,
                          (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                          (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, anchor_,
                          nullptr, instance, this);
  if (!hwnd_) throw Error("ターゲット CAD の画面を作成できません");
  HFONT font = dark::UiFont(dpi_);
  for (const Layout& c : kLayout) {
    int id = c.name ? ControlId(c.name) : 0xFFFF;
    HWND control =
        CreateWindowExW(0, c.cls, Utf8ToWide(c.text).c_str(), WS_CHILD | WS_VISIBLE | c.style,
                        Scale(c.x), Scale(c.y), Scale(c.width), Scale(c.height), hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (lstrcmpW(c.cls, L"LISTBOX") == 0) dark::DarkScrollBars(control);
  }
}

TargetCadForm::~TargetCadForm() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (anchor_) DestroyWindow(anchor_);
}

HWND TargetCadForm::Item(const char* name) const { return GetDlgItem(hwnd_, ControlId(name)); }

std::string TargetCadForm::FieldText(const char* name) const { return WindowText(Item(name)); }

void TargetCadForm::SetFieldText(const char* name, const std::string& text) {
  SetWindowTextW(Item(name), Utf8ToWide(text).c_str());
}

std::optional<TargetCadChoice> TargetCadForm::ShowModal(std::string_view preselectProgId) {
  preselect_ = preselectProgId;
  result_ = Result::kOpen;
  Run(&TargetCadForm::FormShow);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(Item("ListBox1"));
  EnableWindow(owner_, FALSE);
  MSG msg;
  bool quit = false;
  while (result_ == Result::kOpen) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      quit = true;
      break;
    }
    if (msg.message == WM_KEYDOWN && (msg.hwnd == Item("Edit1") || msg.hwnd == Item("Edit2")) &&
        msg.wParam == VK_RETURN) {
      // Enter in a field changes the selected entry; the key goes no further.
      Run(&TargetCadForm::Change);
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && GetParent(msg.hwnd) == hwnd_) {
      result_ = Result::kCancel;
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && GetParent(msg.hwnd) == hwnd_) {
      // Enter presses the focused button; anywhere else it is OK.
      PressButton(IsEnterOnPushButton(msg) ? msg.hwnd : Item("Button1"));
      continue;
    }
    if (IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  EnableWindow(owner_, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetForegroundWindow(owner_);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  if (result_ != Result::kOk) return std::nullopt;
  return TargetCadChoice{FieldText("Edit1"), FieldText("Edit2")};
}

void TargetCadForm::FormShow() {
  if (!list_.Load()) return;
  FillList();
  if (list_.Preselect(preselect_) >= 0) {
    SendMessageW(Item("ListBox1"), LB_SETCURSEL, list_.Selected(), 0);
    FillFieldsFromSelection();
  }
}

void TargetCadForm::FillList() {
  HWND box = Item("ListBox1");
  SendMessageW(box, WM_SETREDRAW, FALSE, 0);
  SendMessageW(box, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : list_.Items())
    SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
  SendMessageW(box, LB_SETCURSEL, list_.Selected(), 0);
  LayOutColumns();
  SendMessageW(box, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(box, nullptr, TRUE);
}

void TargetCadForm::LayOutColumns() {
  HWND box = Item("ListBox1");
  HDC dc = GetDC(box);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
  auto width = [&](const std::string& text) {
    std::wstring wide = Utf8ToWide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return static_cast<int>(size.cx);
  };
  int nameWidth = 0;
  for (const std::string& item : list_.Items())
    nameWidth = std::max(nameWidth, width(SplitTargetCadEntry(item).first));
  // The list counts tab stops in quarters of its font's average character width, taken as
  // the platform takes it: half the width of the 52 letters over 26, rounded.
  int average =
      std::max(1, (width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2);
  int stop = ((nameWidth + Scale(12)) * 4 + average - 1) / average;
  SendMessageW(box, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
  // The scroll bar reaches the end of the longest line; a line without a tab is all ProgID.
  int column = MulDiv(stop, average, 4);
  int extent = 0;
  for (const std::string& item : list_.Items()) {
    bool tab = item.find('\t') != std::string::npos;
    int line = tab ? column + width(SplitTargetCadEntry(item).second) : width(item);
    extent = std::max(extent, line + Scale(8));
  }
  SendMessageW(box, LB_SETHORIZONTALEXTENT, extent, 0);
  SelectObject(dc, old);
  ReleaseDC(box, dc);
}

void TargetCadForm::FillFieldsFromSelection() {
  if (list_.Selected() < 0) return;
  auto [name, progId] = SplitTargetCadEntry(list_.Items()[list_.Selected()]);
  SetFieldText("Edit1", name);
  SetFieldText("Edit2", progId);
}

void TargetCadForm::Run(void (TargetCadForm::*action)()) {
  RunShowingErrors(hwnd_, [&] { (this->*action)(); });
}

void TargetCadForm::Add() {
  // The list shows the change even when saving it fails.
  struct Refill {
    TargetCadForm* form;
    ~Refill() {
      form->FillList();
      form->FillFieldsFromSelection();
    }
  } refill{this};
  list_.Add(FieldText("Edit1"), FieldText("Edit2"));
}

void TargetCadForm::Delete() {
  if (list_.Selected() < 0) return;
  struct Refill {
    TargetCadForm* form;
    ~Refill() {
      form->FillList();
      form->SetFieldText("Edit1", "");
      form->SetFieldText("Edit2", "");
      form->FillFieldsFromSelection();
    }
  } refill{this};
  list_.Delete();
}

void TargetCadForm::Change() {
  if (list_.Selected() < 0) return;
  struct Refill {
    TargetCadForm* form;
    ~Refill() { form->FillList(); }
  } refill{this};
  list_.Change(FieldText("Edit1"), FieldText("Edit2"));
}

void TargetCadForm::OnCommand(const std::string& name, int code) {
  if (name == "ListBox1" && code == LBN_SELCHANGE) {
    list_.Select(static_cast<int>(SendMessageW(Item("ListBox1"), LB_GETCURSEL, 0, 0)));
    FillFieldsFromSelection();
  } else if (code == BN_CLICKED) {
    if (name == "SpeedButton1") Run(&TargetCadForm::Add);
    if (name == "SpeedButton2") Run(&TargetCadForm::Delete);
    if (name == "SpeedButton3") Run(&TargetCadForm::Change);
    if (name == "Button1") result_ = Result::kOk;
    if (name == "Button2") result_ = Result::kCancel;
  }
}

LRESULT CALLBACK TargetCadForm::WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TargetCadForm*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TargetCadForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || !self->hwnd_) return DefWindowProcW(hwnd, message, w, l);
  return self->Handle(message, w, l);
}

LRESULT TargetCadForm::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      if (l) {
        OnCommand(ControlName(LOWORD(w)), HIWORD(w));
        return 0;
      }
      if (LOWORD(w) == IDCANCEL) {
        result_ = Result::kCancel;
        return 0;
      }
      break;
    case WM_CLOSE:
      result_ = Result::kCancel;
      return 0;
    case WM_DRAWITEM:
      dark::PaintButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(l), false);
      return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(dark::ColourControl(reinterpret_cast<HDC>(w), true));
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(dark::ColourControl(reinterpret_cast<HDC>(w), false));
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(dark::BackgroundBrush());
  }
  return DefWindowProcW(hwnd_, message, w, l);
}

}  // namespace tesnova
