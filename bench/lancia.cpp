// Starts a program, waits for it and prints its wall time (ms), its peak
// resident memory (kB) and its exit code. Kept free of Qt and small: the peak
// memory a child reports includes what its parent held when it was started.
#include <cstdio>
#include <ctime>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: lancia PROGRAM [ARGS...]\n");
        return 2;
    }
    timespec inizio{}, fine{};
    clock_gettime(CLOCK_MONOTONIC, &inizio);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        std::perror("posix_spawn");
        return 2;
    }
    int stato = 0;
    rusage uso{};
    if (wait4(pid, &stato, 0, &uso) < 0) {
        std::perror("wait4");
        return 2;
    }
    clock_gettime(CLOCK_MONOTONIC, &fine);
    const double ms = double(fine.tv_sec - inizio.tv_sec) * 1e3 + double(fine.tv_nsec - inizio.tv_nsec) / 1e6;
    std::printf("%.3f %ld %d\n", ms, uso.ru_maxrss, WIFEXITED(stato) ? WEXITSTATUS(stato) : -1);
    return 0;
}
