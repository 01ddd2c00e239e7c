#include "sim/zsim/child_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "sim/zsim/flight_signals.h"
#include "sim/zsim/write_all.h"

namespace zenthar::zsim {

namespace {

/// ms between ticks while children run
const int kTickInterval = 200;

struct Running {
  pid_t pid;
  int fd;  ///< the read end of the child's pipe
  std::size_t job;
  std::string output;
};

/// In the child: the stop signals as a process without zsim's handling meets them (one ignored
/// stays ignored), its output to nowhere, and an end when the parent ends.
void BecomeChild(pid_t parent) {
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) _exit(1);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action = {};
    sigaction(signal, nullptr, &action);
    if (action.sa_handler == SIG_IGN) continue;
    action = {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  // A stop that came between the fork and now is the parent's too: it reports nothing of us.
  if (FlightSignals::stop() != 0) _exit(1);
  const int nowhere = open("/dev/null", O_RDWR);
  if (nowhere >= 0) {
    dup2(nowhere, STDIN_FILENO);
    dup2(nowhere, STDOUT_FILENO);
    dup2(nowhere, STDERR_FILENO);
    if (nowhere > STDERR_FILENO) close(nowhere);
  }
}

/// Starts a child for the job; false with the reason when no process could be made.
bool Start(std::size_t job, const ChildProcesses::Work& work, Running& running, std::string& why) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    why = std::string("no pipe for a flight: ") + std::strerror(errno);
    return false;
  }
  std::fflush(nullptr);  // nothing buffered here is written twice
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    why = std::string("no process for a flight: ") + std::strerror(errno);
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (pid == 0) {
    close(fds[0]);
    BecomeChild(parent);
    std::string output;
    try {
      output = work(job);
    } catch (...) {
      _exit(2);
    }
    _exit(WriteAll(fds[1], output) ? 0 : 3);
  }
  close(fds[1]);
  running = Running{pid, fds[0], job, {}};
  return true;
}

ChildEnd Reap(Running& child) {
  close(child.fd);
  int status = 0;
  while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
  }
  ChildEnd end;
  end.output = std::move(child.output);
  end.exited = WIFEXITED(status);
  end.status = end.exited ? WEXITSTATUS(status) : 0;
  end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return end;
}

/// Reads what the child has written; false once it has closed its end.
bool ReadSome(Running& child) {
  char buffer[1 << 16];
  const ssize_t n = read(child.fd, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
  if (n <= 0) return false;
  child.output.append(buffer, static_cast<std::size_t>(n));
  return true;
}

/// Ends the children still running, unreported; returns `status`.
int End(std::vector<Running>& running, int status) {
  for (Running& child : running) kill(child.pid, SIGTERM);
  for (Running& child : running) Reap(child);
  return status;
}

}  // namespace

std::string SignalName(int signal) {
  const char* abbreviation = sigabbrev_np(signal);
  return abbreviation ? std::string("SIG") + abbreviation : "signal " + std::to_string(signal);
}

int ChildProcesses::Run(const std::vector<std::size_t>& jobs, int workers, const Work& work,
                        const Done& done, const Tick& tick) {
  std::vector<Running> running;
  std::size_t next = 0;
  while (next < jobs.size() || !running.empty()) {
    if (const int stop = FlightSignals::stop()) return End(running, stop);
    while (static_cast<int>(running.size()) < workers && next < jobs.size()) {
      Running child;
      std::string why;
      if (Start(jobs[next], work, child, why)) {
        running.push_back(std::move(child));
      } else if (running.empty()) {
        ChildEnd end;
        end.notStarted = why;
        if (!done(jobs[next], end)) return End(running, -1);
      } else {
        break;  // try again once a running child has ended
      }
      ++next;
    }
    std::vector<pollfd> polls;
    for (const Running& child : running) polls.push_back({child.fd, POLLIN, 0});
    if (poll(polls.data(), polls.size(), kTickInterval) < 0) continue;  // a signal came
    for (std::size_t i = running.size(); i-- > 0;) {
      if (polls[i].revents == 0 || ReadSome(running[i])) continue;
      const std::size_t job = running[i].job;
      const ChildEnd end = Reap(running[i]);
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
      // A child that ended after a stop signal may have ended because of it.
      if (const int stop = FlightSignals::stop()) return End(running, stop);
      if (!done(job, end)) return End(running, -1);
    }
    if (tick) tick();
  }
  return 0;
}

}  // namespace zenthar::zsim
