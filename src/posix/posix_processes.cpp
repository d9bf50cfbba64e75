#include "posix/posix_processes.h"

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "base/text_file.h"
#include "tools/command_line.h"
#include "tools/file_wait.h"

extern char** environ;

namespace tesnova {
namespace {

// Starts the command line in the folder (empty: the current one). Returns the child or -1 with
// errno set. A program without a folder part is looked up on PATH.
pid_t Spawn(const std::string& program, const std::string& arguments, const std::string& folder) {
  std::vector<std::string> args = SplitCommandLine(BuildCommandLine(program, arguments));
  // A relative program path means the caller's folder, not the child's working folder.
  if (args[0].find('/') != std::string::npos && args[0][0] != '/') {
    std::error_code ec;
    args[0] = (std::filesystem::current_path(ec) / args[0]).string();
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = -1;
  const bool search = args[0].find('/') == std::string::npos;
  int rc = search ? posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ)
                  : posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    errno = rc;
    return -1;
  }
  return pid;
}

// True once the child has ended (and has been reaped); waits at most timeoutMs for it.
bool WaitChild(pid_t pid, int timeoutMs) {
  static const bool havePidFd = [] {
    int fd = static_cast<int>(syscall(SYS_pidfd_open, getpid(), 0));
    if (fd < 0) return false;
    close(fd);
    return true;
  }();
  if (havePidFd) {
    int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
      pollfd p{fd, POLLIN, 0};
      poll(&p, 1, timeoutMs);
      close(fd);
    }
  }
  int status = 0;
  pid_t r = waitpid(pid, &status, WNOHANG);
  if (r == pid || (r < 0 && errno == ECHILD)) return true;
  if (!havePidFd) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  return false;
}

}  // namespace

PosixProcesses::PosixProcesses(std::function<void()> dispatch, std::function<bool()> quitting,
                               int dispatchIntervalMs)
    : dispatch_(std::move(dispatch)),
      quitting_(std::move(quitting)),
      dispatchIntervalMs_(dispatchIntervalMs) {}

PosixProcesses::~PosixProcesses() { ReapFinished(); }

void PosixProcesses::ReapFinished() {
  std::erase_if(running_, [](pid_t pid) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    return r == pid || r < 0;
  });
}

bool PosixProcesses::RunProcess(const std::string& program, const std::string& arguments,
                                const std::string& workFolder, bool wait, bool /*waitForIdle*/,
                                bool /*minimised*/, std::uint32_t& errorCode) {
  ReapFinished();
  pid_t pid = Spawn(program, arguments, WorkFolderFor(program, workFolder));
  if (pid < 0) {
    errorCode = static_cast<std::uint32_t>(errno);
    return false;
  }
  if (!wait) {
    running_.push_back(pid);
    return true;
  }
  for (;;) {
    if (dispatch_) dispatch_();
    if (quitting_ && quitting_()) {
      running_.push_back(pid);  // the child runs on
      return true;
    }
    if (WaitChild(pid, dispatchIntervalMs_)) return true;
  }
}

bool PosixProcesses::RunProcessAndWait(const std::string& program, const std::string& arguments) {
  ReapFinished();
  pid_t pid = Spawn(program, arguments, {});
  if (pid < 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

void PosixProcesses::WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) {
  FileWaitClock clock{
      [] {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
      },
      [](std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
      [](const std::string& name) {
        std::error_code ec;
        return std::filesystem::is_regular_file(PathFromUtf8(name), ec);
      }};
  WaitForFileOn(clock, fileName, timeoutMs);
}

}  // namespace tesnova
