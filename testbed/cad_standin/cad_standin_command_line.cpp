// The stand-in's command line. Text typed through SendCommand is queued and read later on the
// program's message loop, as the real programs do with text sent from another process: CR and
// a blank outside double quotes end an answer, ESC cancels. A command that has not had all its
// answers stays active and takes the answers of the next text; an answer it cannot use ends it
// and throws away everything typed after it. A running command keeps the program busy for the
// configured time, during which the message filter refuses incoming calls.
#include <charconv>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <vector>

#include "cad_standin_program.h"

namespace standin {

namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT_PTR kFinishTimer = 2;
constexpr wchar_t kEscape[] = L"\x1b";

std::deque<std::wstring> g_input;  // answers typed and not yet read
bool g_startPending = false;
// The command that runs now: what happens when its time is up.
bool g_running = false;
std::function<void()> g_finish;

void Tokenize(const std::wstring& text) {
  std::wstring current;
  bool quoted = false, pending = false;
  for (wchar_t c : text) {
    if (c == 27) {
      if (pending) g_input.push_back(current);
      current.clear();
      pending = quoted = false;
      g_input.push_back(kEscape);
    } else if (c == L'"') {
      quoted = !quoted;
      current += c;
      pending = true;
    } else if (c == L'\r' || c == L'\n' || (c == L' ' && !quoted)) {
      g_input.push_back(current);
      current.clear();
      pending = false;
    } else {
      current += c;
      pending = true;
    }
  }
  // Text without a final Enter stays typed on the command line; the stand-in takes it as given.
  if (pending) g_input.push_back(current);
}

std::wstring Unquote(std::wstring s) {
  if (s.size() >= 2 && s.front() == L'"' && s.back() == L'"') s = s.substr(1, s.size() - 2);
  return s;
}

bool ParseNumber(const std::wstring& w, double& value) {
  std::string s(w.begin(), w.end());
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

// "x,y" or "x,y,z".
bool ParsePoint(const std::wstring& text, Point& p) {
  size_t comma = text.find(L',');
  if (comma == std::wstring::npos) return false;
  std::wstring rest = text.substr(comma + 1);
  size_t second = rest.find(L',');
  double z = 0;
  if (second != std::wstring::npos && !ParseNumber(rest.substr(second + 1), z)) return false;
  return ParseNumber(text.substr(0, comma), p.x) && ParseNumber(rest.substr(0, second), p.y);
}

// Metres per unit of the INSUNITS codes 1 to 20; 0 is "no units".
double MetresPerUnit(int code) {
  static const double metres[] = {0,
                                  0.0254,
                                  0.3048,
                                  1609.344,
                                  0.001,
                                  0.01,
                                  1,
                                  1000,
                                  2.54e-8,
                                  2.54e-5,
                                  0.9144,
                                  1e-10,
                                  1e-9,
                                  1e-6,
                                  0.1,
                                  10,
                                  100,
                                  1e9,
                                  1.495978707e11,
                                  9.4607304725808e15,
                                  3.0856775814913673e16};
  return code >= 1 && code <= 20 ? metres[code] : 0;
}

// The factor by which an inserted drawing is scaled for units: its own units (or
// INSUNITSDEFSOURCE when it has none) into the drawing's (or INSUNITSDEFTARGET when the
// drawing has none); 1 when either side stays without units.
double UnitFactor(int sourceUnits) {
  auto var = [](const wchar_t* name) { return static_cast<int>(program.variables[name]); };
  int source = sourceUnits != 0 ? sourceUnits : var(L"INSUNITSDEFSOURCE");
  int target = var(L"INSUNITS") != 0 ? var(L"INSUNITS") : var(L"INSUNITSDEFTARGET");
  double from = MetresPerUnit(source), to = MetresPerUnit(target);
  return from > 0 && to > 0 ? from / to : 1;
}

// Starts a command that takes the configured time; finish runs when it is up.
void Run(std::function<void()> finish) {
  g_running = true;
  g_finish = std::move(finish);
  SetTimer(program.frame, kFinishTimer, program.timing.runMs ? program.timing.runMs : 1, nullptr);
}

// The answers a command still needs are not all typed yet.
struct Incomplete {};
// An ESC among the answers: the command ends there.
struct Cancelled {
  size_t at;
};
struct Invalid {
  std::wstring text;
};

class Reader {
 public:
  std::wstring Next() {
    if (at_ >= g_input.size()) throw Incomplete{};
    if (g_input[at_] == kEscape) throw Cancelled{at_};
    return g_input[at_++];
  }
  size_t used() const { return at_; }

 private:
  size_t at_ = 1;  // after the command's name
};

void Insert(Reader& in) {
  std::wstring block = Unquote(in.Next());
  if (block.empty() || block[0] != L'*') throw Invalid{L"-INSERT: 分解挿入のみです: " + block};
  std::wstring token = in.Next();
  if (Upper(token) == L"NON" || Upper(token) == L"_NON") token = in.Next();
  Point base;
  if (!ParsePoint(token, base)) throw Invalid{L"-INSERT: 点が無効です: " + token};
  double scale = 1, rotation = 0;
  std::wstring scaleText = in.Next();
  if (!scaleText.empty() && (!ParseNumber(scaleText, scale) || scale == 0))
    throw Invalid{L"-INSERT: 尺度が無効です: " + scaleText};
  std::wstring rotationText = in.Next();
  if (!rotationText.empty() && !ParseNumber(rotationText, rotation))
    throw Invalid{L"-INSERT: 角度が無効です: " + rotationText};
  std::wstring file = block.substr(1);
  Run([file, base, scale, rotation] {
    try {
      double factor = UnitFactor(ReadDxfInsertUnits(file));
      int n = InsertDxf(program.drawing, file, base, scale * factor, rotation);
      Log(L"-INSERT: " + std::to_wstring(n) + L" 個の図形を挿入 (単位の尺度 " +
          std::to_wstring(factor) + L")");
    } catch (const std::exception&) {
      Log(L"-INSERT: ファイルを読めません: " + file);
    }
    Redraw();
  });
}

void BmpOut(Reader& in) {
  if (program.variables[L"FILEDIA"] != 0) {
    // The file dialog would open; nobody is there to answer it.
    throw Invalid{L"BMPOUT: ダイアログ表示 (FILEDIA=1)"};
  }
  std::wstring file = Unquote(in.Next());
  std::wstring selection = in.Next();
  if (!selection.empty()) throw Invalid{L"BMPOUT: 選択が無効です: " + selection};
  std::string bytes;
  if (!EncodeView(L"image/bmp", bytes)) throw Invalid{L"BMPOUT: 失敗"};
  // The file is written as the command runs: the first half at once, the rest at the end,
  // open and shared for reading only meanwhile.
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw Invalid{L"BMPOUT: 書き込めません: " + file};
  DWORD half = static_cast<DWORD>(bytes.size() / 2), written = 0;
  WriteFile(h, bytes.data(), half, &written, nullptr);
  Run([h, bytes, half, file] {
    DWORD rest = 0;
    WriteFile(h, bytes.data() + half, static_cast<DWORD>(bytes.size() - half), &rest, nullptr);
    CloseHandle(h);
    Log(L"BMPOUT: " + file);
  });
}

void SetVar(Reader& in) {
  std::wstring name = Upper(in.Next());
  std::wstring valueText = in.Next();
  double value = 0;
  auto found = program.variables.find(name);
  if (found == program.variables.end() || !ParseNumber(valueText, value) ||
      value != std::floor(value) || std::fabs(value) > 32767)
    throw Invalid{L"SETVAR: 無効です: " + name + L" " + valueText};
  found->second = static_cast<short>(value);
}

void Zoom(Reader& in) {
  std::wstring option = Upper(in.Next());
  if (option != L"PRE" && option != L"P" && option != L"_P")
    throw Invalid{L"ZOOM: 未対応のオプション: " + option};
  if (!program.drawing.previousViews.empty()) {
    program.drawing.view = program.drawing.previousViews.back();
    program.drawing.previousViews.pop_back();
    Redraw();
  }
}

// Reads commands from the typed answers until they run out, a command waits for more, or one
// runs for a while.
void ReadCommands() {
  while (!g_running && !g_input.empty()) {
    std::wstring name = Upper(g_input.front());
    if (name == kEscape || name.empty()) {
      g_input.pop_front();
      continue;
    }
    Reader in;
    try {
      if (name == L"-INSERT" || name == L"_-INSERT")
        Insert(in);
      else if (name == L"_BMPOUT" || name == L"BMPOUT")
        BmpOut(in);
      else if (name == L"SETVAR" || name == L"_SETVAR")
        SetVar(in);
      else if (name == L"ZOOM" || name == L"_ZOOM")
        Zoom(in);
      else
        throw Invalid{L"不明なコマンド: " + name};
      g_input.erase(g_input.begin(), g_input.begin() + static_cast<long>(in.used()));
    } catch (const Incomplete&) {
      // Active, waiting for the rest of its answers.
      Log(name + L": 入力待ち");
      return;
    } catch (const Cancelled& cancelled) {
      g_input.erase(g_input.begin(), g_input.begin() + static_cast<long>(cancelled.at) + 1);
      Log(name + L": キャンセル");
    } catch (const Invalid& invalid) {
      Log(invalid.text);
      g_input.clear();
    }
  }
}

}  // namespace

void TypeCommandText(const std::wstring& text) {
  Tokenize(text);
  if (!g_startPending) {
    g_startPending = true;
    SetTimer(program.frame, kStartTimer, program.timing.startMs ? program.timing.startMs : 1,
             nullptr);
  }
}

void CancelCommand() {
  if (g_running) return;  // a running command is not interrupted here
  if (!g_input.empty()) Log(Upper(g_input.front()) + L": キャンセル");
  g_input.clear();
}

bool Busy() {
  return g_running ||
         (program.busyUntil && static_cast<LONG>(program.busyUntil - GetTickCount()) > 0);
}

void OnCommandTimer(UINT_PTR id) {
  KillTimer(program.frame, id);
  if (id == kStartTimer) {
    g_startPending = false;
  } else if (id == kFinishTimer && g_running) {
    auto finish = std::move(g_finish);
    g_finish = nullptr;
    finish();
    g_running = false;
  }
  ReadCommands();
}

}  // namespace standin
