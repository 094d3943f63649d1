// Stamps the launch time into the environment, then becomes the given program,
// so the program can measure its start-up from the moment it was started.
//   strikk_launch PROGRAM [args...]   sets STRIKK_BENCH_T0 (CLOCK_MONOTONIC ns)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: strikk_launch PROGRAM [args...]\n");
        return 2;
    }
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const long long t0 = static_cast<long long>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
    setenv("STRIKK_BENCH_T0", std::to_string(t0).c_str(), 1);
    execv(argv[1], argv + 1);
    std::perror("strikk_launch");
    return 127;
}
