#include "e2e/support/cad_standin.h"

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <vector>

#include "base/system.h"
#include "base/text_file.h"
#include "win32/wide_text.h"

namespace tesnova::testing {

StandInCad::StandInCad(AutomationHost& host, std::string progId, std::string geometry)
    : progId_(std::move(progId)) {
  auto exe = ExecutableFolder().parent_path().parent_path() / "testbed" / "tesnova_cad_standin.exe";
  std::wstring commandLine = L"\"" + exe.wstring() + L"\" --progid " + Utf8ToWide(progId_) +
                             L" --geometry " + Utf8ToWide(geometry);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    throw Error("stand-in CAD could not be started: " + WideToUtf8(exe.wstring()));
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  for (int i = 0; i < 300 && !app_; ++i) {
    try {
      app_ = host.GetActiveObject(progId_);
    } catch (const AutomationError&) {
      Sleep(50);
    }
  }
  if (!app_) throw Error("stand-in CAD did not register " + progId_);
}

StandInCad::~StandInCad() {
  app_.reset();
  if (process_) {
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
  }
}

bool StandInCad::WaitForExit(unsigned milliseconds) {
  return WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

void WriteTestBmp(const std::string& path, int width, int height, bool (*dark)(int x, int y)) {
  int stride = (width * 3 + 3) & ~3;
  std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
  std::vector<unsigned char> file(54 + imageSize, 0);
  auto put32 = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  put32(34, imageSize);
  for (int y = 0; y < height; ++y) {
    unsigned char* row = file.data() + 54 + (height - 1 - y) * stride;  // bottom-up
    for (int x = 0; x < width; ++x) {
      unsigned char v = dark(x, y) ? 0 : 255;
      row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = v;
    }
  }
  std::ofstream out(PathFromUtf8(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

}  // namespace tesnova::testing
