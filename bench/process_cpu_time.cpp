// process_cpu_time RUNS PROGRAM [ARGUMENTS...]: runs a program RUNS times, one after the other,
// its standard output to /dev/null, and prints the CPU time (user + system) of each whole process,
// as the kernel counted it for the child, then their median, in ms. Exits 1 when a run fails.
// tools/flight_cost.sh measures a whole flight with it.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Milliseconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

/// ms of CPU time of one run, or a negative value when it did not run or did not exit with 0.
double RunOnce(char** command) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    execv(command[0], command);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return -1;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc >= 3 ? std::atoi(argv[1]) : 0;
  if (runs <= 0) {
    std::fprintf(stderr, "usage: process_cpu_time RUNS PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const double time = RunOnce(argv + 2);
    if (time < 0) {
      std::fprintf(stderr, "process_cpu_time: %s failed\n", argv[2]);
      return 1;
    }
    times.push_back(time);
    std::printf("%.2f ", time);
  }
  std::sort(times.begin(), times.end());
  const std::size_t middle = times.size() / 2;
  const double median = times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
  std::printf("\nmedian %.2f\n", median);
  return 0;
}
