#include "e2e/support/driver.h"

// DROPFILES, after windows.h.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "win32/control_ids.h"
#include "win32/wide_text.h"

namespace tesnova::e2e {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
}

namespace {

struct Search {
  std::wstring prefix;
  std::wstring cls;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindMatching(HWND hwnd, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if ((s->pid && pid != s->pid) || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t buffer[512];
  if (!s->cls.empty()) {
    GetClassNameW(hwnd, buffer, 512);
    if (s->cls != buffer) return TRUE;
  }
  if (!s->prefix.empty()) {
    GetWindowTextW(hwnd, buffer, 512);
    if (std::wstring_view(buffer).substr(0, s->prefix.size()) != s->prefix) return TRUE;
  }
  s->found = hwnd;
  return FALSE;
}

}  // namespace

HWND FindTopWindow(const std::string& titlePrefix, DWORD pid) {
  Search s{Utf8ToWide(titlePrefix), L"", pid, nullptr};
  EnumWindows(FindMatching, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitForTopWindow(const std::string& titlePrefix, DWORD pid,
                      std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopWindow(titlePrefix, pid)) != nullptr; }, timeout);
  return found;
}

void EndProgramsWithWindow(const std::string& titlePrefix) {
  for (HWND w = FindTopWindow(titlePrefix); w; w = FindTopWindow(titlePrefix)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!p) return;
    TerminateProcess(p, 0);
    WaitForSingleObject(p, 5000);
    CloseHandle(p);
    WaitUntil([&] { return !IsWindow(w); }, 5000ms);
  }
}

HWND FindMessageBox(DWORD pid) {
  Search s{L"", L"#32770", pid, nullptr};
  EnumWindows(FindMatching, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

namespace {

BOOL CALLBACK CollectText(HWND child, LPARAM l) {
  auto* texts = reinterpret_cast<std::string*>(l);
  *texts += "\n" + WindowText(child);
  return TRUE;
}

BOOL CALLBACK FindButton(HWND child, LPARAM l) {
  wchar_t cls[32];
  GetClassNameW(child, cls, 32);
  if (lstrcmpiW(cls, L"Button") != 0) return TRUE;
  *reinterpret_cast<HWND*>(l) = child;
  return FALSE;
}

}  // namespace

std::string AllTexts(HWND window) {
  std::string texts = WindowText(window);
  EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

void ConfirmMessageBox(HWND box) {
  HWND button = nullptr;
  EnumChildWindows(box, FindButton, reinterpret_cast<LPARAM>(&button));
  if (button)
    Click(button);
  else
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

HWND Control(HWND window, const std::string& name) {
  int id = ControlId(name);
  HWND control = id ? GetDlgItem(window, id) : nullptr;
  EXPECT_NE(control, nullptr) << "no control " << name;
  return control;
}

HWND ControlById(HWND window, int id) { return GetDlgItem(window, id); }

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
    return "<no answer>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return WideToUtf8(text);
}

void SetWindowTextTo(HWND control, const std::string& text) {
  std::wstring wide = Utf8ToWide(text);
  DWORD_PTR ignored;
  SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool IsChecked(HWND checkBox) { return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND checkBox, bool checked) {
  if (IsChecked(checkBox) != checked) {
    Click(checkBox);
    WaitUntil([&] { return IsChecked(checkBox) == checked; }, 5000ms);
  }
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

bool ClickAndWaitForCommand(HWND button, std::chrono::milliseconds timeout) {
  if (!WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }, timeout)) return false;
  Click(button);
  return WaitUntil([&] { return IsWindowEnabled(button) == FALSE; }, 5000ms) &&
         WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }, timeout);
}

void PressKey(HWND control, WORD virtualKey) {
  PostMessageW(control, WM_KEYDOWN, virtualKey, 1);
  PostMessageW(control, WM_KEYUP, virtualKey, 0xC0000001);
}

void TypeKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  auto add = [&](WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    if (key == VK_PRIOR || key == VK_NEXT) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    inputs.push_back(input);
  };
  for (WORD key : keys) add(key, 0);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) add(*it, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool BringToFront(HWND window) {
  return WaitUntil([&] {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    return false;
  });
}

std::vector<std::string> ListItems(HWND listBox) {
  std::vector<std::string> items;
  auto count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    auto length = SendMessageW(listBox, LB_GETTEXTLEN, i, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    items.push_back(WideToUtf8(text));
  }
  return items;
}

int ListSelection(HWND listBox) {
  return static_cast<int>(SendMessageW(listBox, LB_GETCURSEL, 0, 0));
}

void SelectListItem(HWND listBox, int index) {
  SendMessageW(listBox, LB_SETCURSEL, index, 0);
  PostMessageW(GetParent(listBox), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(listBox), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(listBox));
}

bool IsTopmost(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST; }

void DropFiles(HWND window, const std::vector<std::string>& paths) {
  // DROPFILES, then the wide paths each ending in a zero, then one more zero.
  std::wstring list;
  for (const std::string& path : paths) list += Utf8ToWide(path) + L'\0';
  list += L'\0';
  std::string block(sizeof(DROPFILES) + list.size() * sizeof(wchar_t), '\0');
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(block.data() + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));

  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  ASSERT_NE(process, nullptr);
  void* remote =
      VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  CloseHandle(process);
  // The block stays in the target: its drop handler releases it as a drop handle.
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

namespace {

std::filesystem::path FreshFolder() {
  static int counter = 0;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "run";
  for (char& c : name)
    if (c == '/') c = '_';
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  auto folder =
      std::filesystem::temp_directory_path() /
      ("tesnova-e2e-" + name + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(const std::filesystem::path& executable)
    : executable_(executable), folder_(FreshFolder()) {
  std::filesystem::copy_file(executable_, exe());
}

ProgramUnderTest::~ProgramUnderTest() {
  End();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::filesystem::path ProgramUnderTest::SettingsFile() const {
  return std::filesystem::path(exe()).replace_extension(".ini");
}

void ProgramUnderTest::SetSetting(const std::string& section, const std::string& key,
                                  const std::string& value) const {
  WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                             Utf8ToWide(value).c_str(), SettingsFile().c_str());
}

std::string ProgramUnderTest::Setting(const std::string& section, const std::string& key) const {
  wchar_t buffer[2048];
  DWORD n = GetPrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                     L"<missing>", buffer, 2048, SettingsFile().c_str());
  return WideToUtf8(std::wstring_view(buffer, n));
}

std::filesystem::path ProgramUnderTest::CopyIn(const std::filesystem::path& file) const {
  std::filesystem::path target = folder_ / file.filename();
  std::filesystem::copy_file(file, target, std::filesystem::copy_options::overwrite_existing);
  return target;
}

HWND ProgramUnderTest::Start(const std::string& titlePrefix) {
  End();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exe().wstring() + L"\"";
  if (!CreateProcessW(exe().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.c_str(), &startup, &info_)) {
    ADD_FAILURE() << "cannot start " << exe().string() << ": " << GetLastError();
    return nullptr;
  }
  HWND window = WaitForTopWindow(titlePrefix, info_.dwProcessId);
  EXPECT_NE(window, nullptr) << "no window titled " << titlePrefix;
  return window;
}

bool ProgramUnderTest::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ProgramUnderTest::Close(HWND mainWindow, std::chrono::milliseconds timeout) {
  PostMessageW(mainWindow, WM_CLOSE, 0, 0);
  bool ended =
      WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  End();
  return ended;
}

void ProgramUnderTest::End() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
  info_ = {};
}

namespace {

constexpr wchar_t kDpiKey[] = L"Control Panel\\Desktop";

}  // namespace

ScreenDpi::ScreenDpi(int dpi) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kDpiKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot open the dpi setting";
    return;
  }
  DWORD size = sizeof previous_, type = 0;
  hadPrevious_ = RegQueryValueExW(key, L"LogPixels", nullptr, &type,
                                  reinterpret_cast<BYTE*>(&previous_), &size) == ERROR_SUCCESS &&
                 type == REG_DWORD;
  DWORD value = static_cast<DWORD>(dpi);
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
  RegCloseKey(key);
}

ScreenDpi::~ScreenDpi() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDpiKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  if (hadPrevious_)
    RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_),
                   sizeof previous_);
  else
    RegDeleteValueW(key, L"LogPixels");
  RegCloseKey(key);
}

std::filesystem::path BuiltProgram(const std::string& fileName) {
  std::filesystem::path here = std::filesystem::current_path() / fileName;
  if (std::filesystem::exists(here)) return here;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path().parent_path().parent_path() / fileName;
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tesnova::e2e
