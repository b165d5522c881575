// Starting helper programs without a shell: the program is looked up in PATH and receives its
// arguments as separate strings, so nothing in them is ever interpreted. Children run
// detached from the UI and are reaped without blocking.
#pragma once
#include <string>
#include <vector>

namespace vcl::platform {

class ChildProcesses {
 public:
  ChildProcesses() = default;
  ChildProcesses(const ChildProcesses&) = delete;
  ChildProcesses& operator=(const ChildProcesses&) = delete;
  ~ChildProcesses();

  // Starts `program args...` with stdin from /dev/null and default signal handling. Returns
  // false (errno set) when it cannot be started, e.g. the program is not found.
  bool Spawn(const std::string& program, const std::vector<std::string>& args);
  // Collects children that have ended; never blocks.
  void ReapFinished();
  // Waits for every child still running; returns how many children ended with exit status 0
  // since the previous call (those already collected by ReapFinished included).
  int WaitAll();
  size_t Running() const { return FPids.size(); }

 private:
  void Collected(int status);

  std::vector<int> FPids;
  int FSucceeded = 0;
};

}  // namespace vcl::platform
