#include "posix/posix_processes.h"

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "base/interrupt_cleanup.h"
#include "process/command_line.h"
#include "process/file_wait.h"

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
  // A process group of its own, led by the child: ending the group ends whatever it started.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // With no signal blocked: the caller may block the ones it watches itself.
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = -1;
  const bool search = args[0].find('/') == std::string::npos;
  int rc = search ? posix_spawnp(&pid, args[0].c_str(), &actions, &attributes, argv.data(), environ)
                  : posix_spawn(&pid, args[0].c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    errno = rc;
    return -1;
  }
  return pid;
}

// Reaps the child if it has ended and tells how it ended.
bool Reaped(pid_t pid, ProcessResult& result) {
  int status = 0;
  pid_t r = waitpid(pid, &status, WNOHANG);
  if (r < 0 && errno == ECHILD) {
    result.ended = true;  // reaped elsewhere; how it ended is unknown
    return true;
  }
  if (r != pid) return false;
  result.ended = true;
  if (WIFEXITED(status)) result.exitCode = static_cast<std::uint32_t>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return true;
}

// True once the child has ended (and has been reaped); waits at most timeoutMs for it.
bool WaitChild(pid_t pid, int timeoutMs, ProcessResult& result) {
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
  if (Reaped(pid, result)) return true;
  if (!havePidFd) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  return false;
}

// Ends the child's whole process group and reaps the child.
void EndGroup(pid_t pid, ProcessResult& result) {
  kill(-pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.ended = true;
  result.timedOut = true;
  result.signal = SIGKILL;
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

ProcessResult PosixProcesses::RunProcess(const ProcessOptions& o) {
  ReapFinished();
  ProcessResult result;
  pid_t pid = Spawn(o.program, o.arguments,
                    o.inCurrentFolder ? "" : WorkFolderFor(o.program, o.workFolder));
  if (pid < 0) {
    result.errorCode = static_cast<std::uint32_t>(errno);
    return result;
  }
  result.started = true;
  if (o.wait == ProcessWait::kNone) {
    running_.push_back(pid);
    return result;
  }
  // An interrupted caller takes the child's group with it.
  InterruptCleanup onInterrupt([pid] { kill(-pid, SIGKILL); });
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(o.timeoutMs);
  // The slice of one wait: the dispatch interval, or a second, or what is left until the end.
  auto slice = [&](int ms) {
    if (o.timeoutMs == 0) return ms;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, ms));
  };
  const bool dispatching = o.wait == ProcessWait::kDispatching;
  for (;;) {
    if (dispatching) {
      if (dispatch_) dispatch_();
      if (quitting_ && quitting_()) {
        running_.push_back(pid);  // the child runs on
        return result;
      }
    }
    if (WaitChild(pid, slice(dispatching ? dispatchIntervalMs_ : 1000), result)) return result;
    if (o.timeoutMs != 0 && Clock::now() >= deadline) {
      EndGroup(pid, result);
      return result;
    }
  }
}

void PosixProcesses::WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) {
  WaitForFileOn(SystemFileWaitClock(), fileName, timeoutMs);
}

std::unique_ptr<Processes> MakePlatformProcesses(std::function<void()> dispatch) {
  return std::make_unique<PosixProcesses>(std::move(dispatch));
}

}  // namespace tesnova
