// Link-time seams for running the real start-up and show cycle quickly:
//  - rest() returns at once, except the first call, which sleeps a real
//    second and reports how far `timer` advanced meanwhile;
//  - install_int() runs the clock STRIKK_SEAM_SPEEDUP times faster (default 1),
//    so the shake, which is timed by `timer`, finishes sooner;
//  - play_midi() reports the start of every show cycle;
//  - STRIKK_SEAM_FAIL=install_timer|install_int|create_bitmap makes that step fail.
// Reports go to standard error as lines starting "seam:".
#include "show.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// True when STRIKK_SEAM_FAIL names this step.
bool should_fail(const char *step)
{
    const char *text = std::getenv("STRIKK_SEAM_FAIL");
    return text && std::strcmp(text, step) == 0;
}

} // namespace

extern "C" {
void __real_rest(unsigned int ms);
int __real_play_midi(MIDI *midi, int loop);
int __real_install_timer();
BITMAP *__real_create_bitmap(int w, int h);

int __wrap_install_timer()
{
    return should_fail("install_timer") ? -1 : __real_install_timer();
}

BITMAP *__wrap_create_bitmap(int w, int h)
{
    return should_fail("create_bitmap") ? nullptr : __real_create_bitmap(w, h);
}

void __wrap_rest(unsigned int)
{
    static bool measured = false;
    if (measured)
        return;
    measured = true;
    const std::uint32_t before = timer.load(std::memory_order_relaxed);
    const auto start = std::chrono::steady_clock::now();
    __real_rest(1000);
    const auto wall = std::chrono::steady_clock::now() - start;
    const std::uint32_t ticks = timer.load(std::memory_order_relaxed) - before;
    std::fprintf(stderr, "seam: clock %u ticks in %lld ms\n", ticks,
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(wall).count()));
}

int __wrap_install_int(void (*proc)(), int speed)
{
    if (should_fail("install_int"))
        return -1;
    const char *text = std::getenv("STRIKK_SEAM_SPEEDUP");
    const long speedup = text ? std::strtol(text, nullptr, 10) : 1;
    return install_int_ex(proc, static_cast<int>(MSEC_TO_TIMER(speed) / (speedup > 0 ? speedup : 1)));
}

int __wrap_play_midi(MIDI *midi, int loop_flag)
{
    std::fprintf(stderr, "seam: cycle\n");
    return __real_play_midi(midi, loop_flag);
}
}
