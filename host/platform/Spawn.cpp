#include "host/platform/Spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace vcl::platform {

ChildProcesses::~ChildProcesses() { ReapFinished(); }

bool ChildProcesses::Spawn(const std::string& program, const std::vector<std::string>& args) {
  if (program.empty()) {
    errno = ENOENT;
    return false;
  }
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  // The child starts with no blocked signals and default dispositions for the signals a UI
  // process commonly ignores or handles itself.
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGCHLD, SIGHUP, SIGQUIT})
    sigaddset(&defaults, sig);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  int rc = posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    errno = rc;
    return false;
  }
  FPids.push_back(pid);
  ReapFinished();
  return true;
}

void ChildProcesses::Collected(int status) {
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) ++FSucceeded;
}

void ChildProcesses::ReapFinished() {
  std::erase_if(FPids, [this](int pid) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) Collected(status);
    // r == -1: already reaped elsewhere (or SIGCHLD ignored); nothing more to wait for.
    return r == pid || (r == -1 && errno != EINTR);
  });
}

int ChildProcesses::WaitAll() {
  for (int pid : FPids) {
    int status = 0;
    pid_t r;
    do {
      r = waitpid(pid, &status, 0);
    } while (r == -1 && errno == EINTR);
    if (r == pid) Collected(status);
  }
  FPids.clear();
  int ok = FSucceeded;
  FSucceeded = 0;
  return ok;
}

}  // namespace vcl::platform
