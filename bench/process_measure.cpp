// Runs a command a number of times and prints the median wall time and the largest peak resident
// set of its runs: "seconds=0.020312 peak_kib=2656". bench/run.sh measures whole processes with it.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: process_measure RUNS COMMAND [ARGUMENT...]\n");
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  std::vector<double> seconds;
  long peak_kib = 0;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
      execvp(argv[2], argv + 2);
      _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) {
      std::perror("process_measure");
      return 1;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "process_measure: %s failed\n", argv[2]);
      return 1;
    }
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    peak_kib = std::max(peak_kib, usage.ru_maxrss);  // KiB on Linux
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("seconds=%.6f peak_kib=%ld\n", seconds[seconds.size() / 2], peak_kib);
  return 0;
}
