// Link-time seams that time the real show from inside the process.
//
// The show's own code runs unchanged; the wrappers only read clocks and
// counters around the calls the driver and the scenes make anyway:
//  - the five scene routines and the finale sample mark the stretches of a cycle;
//  - play_midi opens a cycle, the rest after the end picture closes it;
//  - blit from the back buffer to the screen is a present (or a shake pass);
//  - the first title blit ends start-up.
// Once the last cycle is over, the floors (memcpy, 16-to-32 conversion, a tight
// shake loop) are measured in the same process, and the figures are written as
// "key value" lines to the file that STRIKK_BENCH_OUT names.
//  STRIKK_BENCH_T0      CLOCK_MONOTONIC ns at launch (set by the launcher)
//  STRIKK_BENCH_CYCLES  in repeat mode, end the process after this many cycles
//  STRIKK_BENCH_MTRACE   trace every malloc and free from the second cycle on with
//                       glibc's mtrace (needs LD_PRELOAD=libc_malloc_debug.so.0 and
//                       MALLOC_TRACE=file), to find what a cycle allocates
//  STRIKK_BENCH_STARTUP watch the X screen from a second connection until the title
//                       picture shows there, write the start-up figures and end the process
// Nothing here allocates once the show runs: all records are static and touched
// before main.
#include "data.h"
#include "show.h"

#include <allegro/internal/aintern.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <mcheck.h>
#include <sys/select.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace {

using ns_t = std::int64_t;

// the stretches of one cycle, in show order; contiguous, so they sum to the cycle
enum Stretch { TITLE, GAAR, ETESOPP, LANDSKAP, ZOOM, CHASE, SHAKE, END, STRETCHES, NONE = STRETCHES };
constexpr std::array<const char *, STRETCHES> STRETCH_NAMES = {
    "title", "gaar", "etesopp", "landskapsbilde", "zoom", "chase", "shake", "end"};

constexpr int MAX_CYCLES = 64;
constexpr int MAX_PRESENTS = 32768;   // present durations kept for the median
constexpr int FLOOR_REPS = 201;       // repetitions of each floor measurement
constexpr ns_t TIGHT_SHAKE_NS = 2'000'000'000;
constexpr int SHAKE_MS = 9280;        // the shake is timed by `timer`, not by rest
constexpr int FRAME_PIXELS = SCREEN_W_PX * SCREEN_H_PX;

struct StretchRecord {
    ns_t wall = 0;
    ns_t cpu = 0;        // whole process, every thread
    ns_t main_cpu = 0;   // the show's main thread only
    ns_t rest_wall = 0;  // time spent inside rest
    ns_t present_wall = 0;
    ns_t stretch_blit_wall = 0;
    long rest_ms = 0;    // sum of the waits asked for
    long rests = 0;
    long presents = 0;
    long stretch_blits = 0;
    long shake_passes = 0;
};

struct CycleRecord {
    std::array<StretchRecord, STRETCHES> stretch{};
    long rss_kb_after = 0;
    long heap_after = 0;   // bytes in use by malloc, every arena
};

// startup marks, ns since launch
struct StartupRecord {
    ns_t seam_ctor = 0, init = 0, sound = 0, gfx = 0, load_begin = 0, load_end = 0, title = 0, shown = 0;
};

std::array<CycleRecord, MAX_CYCLES> cycles;
std::array<std::uint32_t, MAX_PRESENTS> present_ns;
int presents_kept = 0;
StartupRecord startup;

ns_t launch_ns = 0;
int cycle_limit = 0;
int cycle = -1;            // index of the running cycle
Stretch current = NONE;
ns_t mark_wall = 0, mark_cpu = 0, mark_main_cpu = 0;
bool title_seen = false;
bool startup_only = false;
bool trace_allocations = false;

// Nanoseconds of the given clock.
ns_t clock_ns(clockid_t id)
{
    timespec ts{};
    clock_gettime(id, &ts);
    return static_cast<ns_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

ns_t now() { return clock_ns(CLOCK_MONOTONIC); }

// Reads a small /proc file into `text` (NUL-terminated) without allocating; false if unreadable.
bool read_proc(const char *path, char *text, std::size_t size)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0)
        return false;
    const ssize_t n = read(fd, text, size - 1);
    close(fd);
    if (n <= 0)
        return false;
    text[n] = '\0';
    return true;
}

// Resident set size in kB, read without allocating.
long rss_kb()
{
    static char text[128];
    if (!read_proc("/proc/self/statm", text, sizeof text))
        return -1;
    long size = 0, resident = 0;
    std::sscanf(text, "%ld %ld", &size, &resident);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The peak resident set size (VmHWM) in kB.
long peak_rss_kb()
{
    static char text[4096];
    if (!read_proc("/proc/self/status", text, sizeof text))
        return -1;
    const char *line = std::strstr(text, "VmHWM:");
    return line ? std::strtol(line + 6, nullptr, 10) : -1;
}

// Bytes that malloc has handed out and not had back, over all arenas.
long heap_in_use()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>(info.uordblks + info.hblkhd);
}

// Allegro's threads, named by the start-up step that created them
constexpr int MAX_THREADS = 16;
struct ThreadRecord {
    int tid = 0;
    const char *made_by = "";
    long ticks = 0;                              // utime + stime at the last mark
    std::array<long, STRETCHES> stretch_ticks{}; // first cycle only
};
std::array<ThreadRecord, MAX_THREADS> threads;
int thread_count = 0;

// utime + stime of one thread in clock ticks, read without allocating; -1 when gone.
long thread_ticks(int tid)
{
    static char path[64], text[1024];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/stat", tid);
    if (!read_proc(path, text, sizeof text))
        return -1;
    const char *field = std::strrchr(text, ')');
    if (!field)
        return -1;
    // fields after the name: state(3) ... utime(14) stime(15)
    long utime = 0, stime = 0;
    std::sscanf(field + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld", &utime, &stime);
    return utime + stime;
}

// Adds every thread not yet known, credited to `step`.
void scan_threads(const char *step)
{
    static char entries[4096];
    const int dir = open("/proc/self/task", O_RDONLY | O_DIRECTORY);
    if (dir < 0)
        return;
    for (;;) {
        const long n = syscall(SYS_getdents64, dir, entries, sizeof entries);
        if (n <= 0)
            break;
        for (long at = 0; at < n;) {
            const auto reclen = *reinterpret_cast<unsigned short *>(entries + at + 16);
            const char *name = entries + at + 19;
            const int tid = std::atoi(name);
            at += reclen;
            if (tid <= 0 || thread_count >= MAX_THREADS)
                continue;
            bool known = false;
            for (int i = 0; i < thread_count; ++i)
                known = known || threads[i].tid == tid;
            if (!known) {
                threads[thread_count].tid = tid;
                threads[thread_count].made_by = tid == getpid() ? "main" : step;
                threads[thread_count].ticks = thread_ticks(tid);
                ++thread_count;
            }
        }
    }
    close(dir);
}

// Credits every thread's ticks since the last mark to `into` (none before a cycle).
void charge_threads(int into, bool record)
{
    for (int i = 0; i < thread_count; ++i) {
        const long ticks = thread_ticks(threads[i].tid);
        if (ticks < 0)
            continue;
        if (record && into >= 0 && into < STRETCHES)
            threads[i].stretch_ticks[into] += ticks - threads[i].ticks;
        threads[i].ticks = ticks;
    }
}

// Closes the running stretch and opens `next`.
void mark(Stretch next)
{
    const ns_t wall = now(), cpu = clock_ns(CLOCK_PROCESS_CPUTIME_ID), main_cpu = clock_ns(CLOCK_THREAD_CPUTIME_ID);
    charge_threads(current, cycle == 0);
    if (current != NONE && cycle >= 0 && cycle < MAX_CYCLES) {
        StretchRecord &s = cycles[cycle].stretch[current];
        s.wall += wall - mark_wall;
        s.cpu += cpu - mark_cpu;
        s.main_cpu += main_cpu - mark_main_cpu;
    }
    current = next;
    mark_wall = wall;
    mark_cpu = cpu;
    mark_main_cpu = main_cpu;
}

// The record of the running stretch, or null outside a cycle.
StretchRecord *running()
{
    if (current == NONE || cycle < 0 || cycle >= MAX_CYCLES)
        return nullptr;
    return &cycles[cycle].stretch[current];
}

bool is_present(BITMAP *src, BITMAP *dst, int sx, int sy, int dx, int dy, int w, int h)
{
    return src == buffer && dst == screen && sx == 0 && sy == 0 && dx == 0 && dy == 0 &&
           w == SCREEN_W_PX && h == SCREEN_H_PX;
}

// Writes every page of a static record so that it is resident from now on.
void touch(void *record, std::size_t size)
{
    auto *bytes = static_cast<volatile unsigned char *>(record);
    for (std::size_t i = 0; i < size; i += 1024)
        bytes[i] = bytes[i];
}

// records touched before main, so they add nothing to the resident set later
[[gnu::constructor]] void seam_start()
{
    const ns_t at = now();
    const char *t0 = std::getenv("STRIKK_BENCH_T0");
    launch_ns = t0 ? std::strtoll(t0, nullptr, 10) : at;
    const char *limit = std::getenv("STRIKK_BENCH_CYCLES");
    cycle_limit = limit ? std::atoi(limit) : 0;
    startup_only = std::getenv("STRIKK_BENCH_STARTUP") != nullptr;
    trace_allocations = std::getenv("STRIKK_BENCH_MTRACE") != nullptr;
    touch(cycles.data(), sizeof cycles);
    touch(present_ns.data(), sizeof present_ns);
    startup.seam_ctor = at - launch_ns;
}

// Channel of an X pixel scaled to 0..255 by the visual's mask.
int channel(unsigned long pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

// Polls the X screen through a connection of its own until every probe point
// shows the picture's colour (within rounding), and returns when it does.
// A second connection sees the screen only once the server has drawn what
// the program's connection sent, so this is the picture as a viewer sees it.
ns_t wait_until_shown(BITMAP *picture, ns_t give_up_after)
{
    constexpr int PROBES = 8;      // per axis
    constexpr int TOLERANCE = 12;  // per channel, for the server's own 16-to-24 rounding
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return -1;
    const Window root = DefaultRootWindow(display);
    const ns_t begin = now();
    ns_t shown = -1;
    while (shown < 0 && now() - begin < give_up_after) {
        XImage *image = XGetImage(display, root, 0, 0, SCREEN_W_PX, SCREEN_H_PX, AllPlanes, ZPixmap);
        if (!image)
            break;
        bool all = true;
        for (int py = 0; py < PROBES && all; ++py)
            for (int px = 0; px < PROBES && all; ++px) {
                const int x = (2 * px + 1) * SCREEN_W_PX / (2 * PROBES), y = (2 * py + 1) * SCREEN_H_PX / (2 * PROBES);
                const int want = getpixel(picture, x, y);
                const unsigned long got = XGetPixel(image, x, y);
                all = std::abs(channel(got, image->red_mask) - getr16(want)) <= TOLERANCE &&
                      std::abs(channel(got, image->green_mask) - getg16(want)) <= TOLERANCE &&
                      std::abs(channel(got, image->blue_mask) - getb16(want)) <= TOLERANCE;
            }
        XDestroyImage(image);
        if (all)
            shown = now();
    }
    XCloseDisplay(display);
    return shown;
}

// 16-bit 5:6:5 to 32-bit x8:8:8:8, the work a 24-bit X server needs per present
[[gnu::noinline]] void convert_16_to_32(const BITMAP *src, std::uint32_t *out)
{
    for (int y = 0; y < SCREEN_H_PX; ++y) {
        const auto *row = reinterpret_cast<const std::uint16_t *>(src->line[y]);
        std::uint32_t *dst = out + y * SCREEN_W_PX;
        for (int x = 0; x < SCREEN_W_PX; ++x) {
            const std::uint32_t p = row[x];
            const std::uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
            dst[x] = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
        }
    }
}

// Median duration in ns of `reps` runs of `work`.
template <typename Work> double median_ns(Work work)
{
    static std::array<ns_t, FLOOR_REPS> runs;
    for (ns_t &run : runs) {
        const ns_t begin = now();
        work();
        run = now() - begin;
    }
    std::nth_element(runs.begin(), runs.begin() + FLOOR_REPS / 2, runs.end());
    return static_cast<double>(runs[FLOOR_REPS / 2]);
}

struct Floors {
    double memcpy_ns = 0, convert_ns = 0, allegro_convert_ns = 0, memory_blit_ns = 0, tight_shake_per_s = 0;
    double wakeup_pct = 0;
    long peak_rss_kb = 0;
};

extern "C" void __real_blit(BITMAP *, BITMAP *, int, int, int, int, int, int);

// The physical work of a present and of the shake, done directly in this process.
Floors measure_floors()
{
    Floors f;
    f.peak_rss_kb = peak_rss_kb();

    // memcpy of one frame
    static std::uint16_t from[FRAME_PIXELS], to[FRAME_PIXELS];
    for (int y = 0; y < SCREEN_H_PX; ++y)
        std::memcpy(from + y * SCREEN_W_PX, buffer->line[y], SCREEN_W_PX * 2);
    f.memcpy_ns = median_ns([] {
        std::memcpy(to, from, sizeof from);
        asm volatile("" ::"r"(to) : "memory");
    });

    // 16-to-32 conversion of one frame
    static std::uint32_t wide[FRAME_PIXELS];
    f.convert_ns = median_ns([] {
        convert_16_to_32(buffer, wide);
        asm volatile("" ::"r"(wide) : "memory");
    });

    // the same conversion by Allegro's own converter, which its X11 driver uses for a 24-bit screen
    static COLORCONV_BLITTER_FUNC *converter = _get_colorconv_blitter(16, 32);
    if (converter) {
        f.allegro_convert_ns = median_ns([] {
            GRAPHICS_RECT from_rect{SCREEN_W_PX, SCREEN_H_PX, SCREEN_W_PX * 2, from};
            GRAPHICS_RECT to_rect{SCREEN_W_PX, SCREEN_H_PX, SCREEN_W_PX * 4, wide};
            converter(&from_rect, &to_rect);
            asm volatile("" ::"r"(wide) : "memory");
        });
    }

    // Allegro's own blit between two memory bitmaps
    BITMAP *copy = create_bitmap(SCREEN_W_PX, SCREEN_H_PX);
    f.memory_blit_ns = median_ns([copy] { __real_blit(buffer, copy, 0, 0, 0, 0, SCREEN_W_PX, SCREEN_H_PX); });
    destroy_bitmap(copy);

    // the shake's blits with nothing else in the loop; own generator, the show's sequence is left alone
    std::uint32_t state = 2463534242u;
    long passes = 0;
    const ns_t begin = now();
    ns_t elapsed = 0;
    while (elapsed < TIGHT_SHAKE_NS) {
        state ^= state << 13; state ^= state >> 17; state ^= state << 5;
        const int r1 = static_cast<int>(state & 31), r2 = static_cast<int>((state >> 8) & 31);
        __real_blit(buffer, screen, r1, r2, 0, 0, SCREEN_W_PX - r1, SCREEN_H_PX - r2);
        if (++passes % 32 == 0)
            elapsed = now() - begin;
    }
    f.tight_shake_per_s = static_cast<double>(passes) * 1e9 / static_cast<double>(elapsed);

    // what a thread that wakes every millisecond costs here, as Allegro's timer and background threads do
    constexpr int WAKEUPS = 2000;
    const ns_t wall_begin = now(), cpu_begin = clock_ns(CLOCK_THREAD_CPUTIME_ID);
    for (int i = 0; i < WAKEUPS; ++i) {
        timeval one_ms{0, 1000};
        select(0, nullptr, nullptr, nullptr, &one_ms);
    }
    f.wakeup_pct = 100.0 * static_cast<double>(clock_ns(CLOCK_THREAD_CPUTIME_ID) - cpu_begin) /
                   static_cast<double>(now() - wall_begin);
    return f;
}

double ms(ns_t ns) { return static_cast<double>(ns) / 1e6; }

// Writes every figure to the file STRIKK_BENCH_OUT names (standard error otherwise).
void write_results(int done, const Floors &f)
{
    const char *path = std::getenv("STRIKK_BENCH_OUT");
    FILE *out = path ? std::fopen(path, "w") : stderr;
    if (!out)
        return;
    std::fprintf(out, "cycles %d\n", done);
    std::fprintf(out, "startup.seam_ctor_ms %.3f\nstartup.init_ms %.3f\nstartup.sound_ms %.3f\n"
                      "startup.gfx_ms %.3f\nstartup.load_begin_ms %.3f\nstartup.load_end_ms %.3f\n"
                      "startup.title_ms %.3f\nstartup.shown_ms %.3f\n",
                 ms(startup.seam_ctor), ms(startup.init), ms(startup.sound), ms(startup.gfx),
                 ms(startup.load_begin), ms(startup.load_end), ms(startup.title), ms(startup.shown));
    for (int c = 0; c < done && c < MAX_CYCLES; ++c) {
        const CycleRecord &rec = cycles[c];
        std::fprintf(out, "cycle.%d.rss_kb %ld\ncycle.%d.heap_bytes %ld\n", c + 1, rec.rss_kb_after, c + 1,
                     rec.heap_after);
        for (int s = 0; s < STRETCHES; ++s) {
            const StretchRecord &r = rec.stretch[s];
            const char *name = STRETCH_NAMES[s];
            const long floor_ms = r.rest_ms + (s == SHAKE ? SHAKE_MS : 0);
            std::fprintf(out,
                         "cycle.%d.%s.wall_ms %.3f\ncycle.%d.%s.floor_ms %ld\ncycle.%d.%s.cpu_ms %.3f\n"
                         "cycle.%d.%s.main_cpu_ms %.3f\ncycle.%d.%s.rest_wall_ms %.3f\n"
                         "cycle.%d.%s.present_wall_ms %.3f\ncycle.%d.%s.stretch_blit_wall_ms %.3f\n"
                         "cycle.%d.%s.rests %ld\ncycle.%d.%s.presents %ld\ncycle.%d.%s.stretch_blits %ld\n"
                         "cycle.%d.%s.shake_passes %ld\n",
                         c + 1, name, ms(r.wall), c + 1, name, floor_ms, c + 1, name, ms(r.cpu), c + 1, name,
                         ms(r.main_cpu), c + 1, name, ms(r.rest_wall), c + 1, name, ms(r.present_wall), c + 1,
                         name, ms(r.stretch_blit_wall), c + 1, name, r.rests, c + 1, name, r.presents, c + 1, name,
                         r.stretch_blits, c + 1, name, r.shake_passes);
        }
    }
    const long hz = sysconf(_SC_CLK_TCK);
    for (int i = 0; i < thread_count; ++i)
        for (int s = 0; s < STRETCHES; ++s)
            std::fprintf(out, "thread.%d.%s.%s.cpu_ms %ld\n", i, threads[i].made_by, STRETCH_NAMES[s],
                         threads[i].stretch_ticks[s] * 1000 / hz);
    std::sort(present_ns.begin(), present_ns.begin() + presents_kept);
    auto quantile = [](double q) {
        return presents_kept ? present_ns[static_cast<int>(q * (presents_kept - 1))] / 1e6 : 0.0;
    };
    std::fprintf(out, "present.kept %d\npresent.median_ms %.4f\npresent.p10_ms %.4f\npresent.p90_ms %.4f\n",
                 presents_kept, quantile(0.5), quantile(0.1), quantile(0.9));
    std::fprintf(out, "floor.memcpy_ms %.4f\nfloor.convert_ms %.4f\nfloor.allegro_convert_ms %.4f\n"
                      "floor.memory_blit_ms %.4f\n",
                 f.memcpy_ns / 1e6, f.convert_ns / 1e6, f.allegro_convert_ns / 1e6, f.memory_blit_ns / 1e6);
    std::fprintf(out, "shake.tight_per_s %.1f\npeak_rss_kb %ld\nfloor.wakeup_1khz_pct %.3f\n", f.tight_shake_per_s,
                 f.peak_rss_kb, f.wakeup_pct);
    std::fprintf(out, "screen.depth %d\n", screen ? bitmap_color_depth(screen) : 0);
    if (out != stderr)
        std::fclose(out);
}

// Ends the running cycle; after the last one, measures the floors and writes everything.
void end_cycle()
{
    mark(NONE);
    if (cycle >= 0 && cycle < MAX_CYCLES) {
        cycles[cycle].rss_kb_after = rss_kb();
        cycles[cycle].heap_after = heap_in_use();
    }
    const int done = cycle + 1;
    const bool last = loop == -1 || (cycle_limit > 0 && done >= cycle_limit);
    if (!last)
        return;
    if (trace_allocations)
        muntrace();
    const Floors f = measure_floors();
    write_results(done, f);
    if (loop != -1)
        std::exit(0);
}

} // namespace

extern "C" {
int __real__install_allegro_version_check(int, int *, int (*)(void (*)()), int);
int __real_install_timer();
int __real_install_sound(int, int, const char *);
int __real_set_gfx_mode(int, int, int, int, int);
DATAFILE *__real_load_datafile(const char *);
void __real_rest(unsigned int);
int __real_play_midi(MIDI *, int);
int __real_play_sample(const SAMPLE *, int, int, int, int);
void __real_stretch_blit(BITMAP *, BITMAP *, int, int, int, int, int, int, int, int);
void __real__Z10scene_gaarv();
void __real__Z13scene_etesoppv();
void __real__Z20scene_landskapsbildev();
void __real__Z10scene_zoomv();
void __real__Z13terror_strikkv();

int __wrap__install_allegro_version_check(int id, int *errno_ptr, int (*atexit_ptr)(void (*)()), int version)
{
    scan_threads("main");
    const int result = __real__install_allegro_version_check(id, errno_ptr, atexit_ptr, version);
    startup.init = now() - launch_ns;
    scan_threads("allegro_init");
    return result;
}

int __wrap_install_timer()
{
    const int result = __real_install_timer();
    scan_threads("install_timer");
    return result;
}

int __wrap_install_sound(int digi, int music, const char *cfg)
{
    const int result = __real_install_sound(digi, music, cfg);
    startup.sound = now() - launch_ns;
    scan_threads("install_sound");
    return result;
}

int __wrap_set_gfx_mode(int card, int w, int h, int vw, int vh)
{
    const int result = __real_set_gfx_mode(card, w, h, vw, vh);
    startup.gfx = now() - launch_ns;
    scan_threads("input_or_gfx_mode");
    return result;
}

DATAFILE *__wrap_load_datafile(const char *name)
{
    startup.load_begin = now() - launch_ns;
    DATAFILE *result = __real_load_datafile(name);
    startup.load_end = now() - launch_ns;
    return result;
}

int __wrap_play_midi(MIDI *midi_data, int loop_flag)
{
    scan_threads("later");
    ++cycle;
    if (trace_allocations && cycle == 1)
        mtrace();
    mark(TITLE);
    return __real_play_midi(midi_data, loop_flag);
}

int __wrap_play_sample(const SAMPLE *spl, int vol, int pan, int freq, int loop_flag)
{
    if (current == CHASE && data && spl == sample(TERROR_SAMPLE))
        mark(SHAKE);
    return __real_play_sample(spl, vol, pan, freq, loop_flag);
}

void __wrap_rest(unsigned int wait_ms)
{
    const ns_t begin = now();
    __real_rest(wait_ms);
    const ns_t spent = now() - begin;
    if (StretchRecord *s = running()) {
        s->rest_wall += spent;
        s->rest_ms += wait_ms;
        ++s->rests;
    }
    if (current == END)
        end_cycle();
}

void __wrap_blit(BITMAP *src, BITMAP *dst, int sx, int sy, int dx, int dy, int w, int h)
{
    StretchRecord *s = running();
    if (current == SHAKE && src == buffer && dst == screen) {
        __real_blit(src, dst, sx, sy, dx, dy, w, h);
        if (s)
            ++s->shake_passes;
        return;
    }
    if (!is_present(src, dst, sx, sy, dx, dy, w, h)) {
        __real_blit(src, dst, sx, sy, dx, dy, w, h);
        if (!title_seen && data && src == bmp(TITLE_BMP) && dst == screen) {
            title_seen = true;
            startup.title = now() - launch_ns;
            if (startup_only) {
                const ns_t shown = wait_until_shown(src, 2'000'000'000);
                startup.shown = shown < 0 ? -1 : shown - launch_ns;
                write_results(0, Floors{});
                std::exit(0);
            }
        }
        return;
    }
    const ns_t begin = now();
    __real_blit(src, dst, sx, sy, dx, dy, w, h);
    const ns_t spent = now() - begin;
    if (s) {
        s->present_wall += spent;
        ++s->presents;
    }
    if (presents_kept < MAX_PRESENTS)
        present_ns[presents_kept++] = static_cast<std::uint32_t>(spent);
}

void __wrap_stretch_blit(BITMAP *src, BITMAP *dst, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh)
{
    const ns_t begin = now();
    __real_stretch_blit(src, dst, sx, sy, sw, sh, dx, dy, dw, dh);
    if (StretchRecord *s = running()) {
        s->stretch_blit_wall += now() - begin;
        ++s->stretch_blits;
    }
}

void __wrap__Z10scene_gaarv()
{
    mark(GAAR);
    __real__Z10scene_gaarv();
}

void __wrap__Z13scene_etesoppv()
{
    mark(ETESOPP);
    __real__Z13scene_etesoppv();
}

void __wrap__Z20scene_landskapsbildev()
{
    mark(LANDSKAP);
    __real__Z20scene_landskapsbildev();
}

void __wrap__Z10scene_zoomv()
{
    mark(ZOOM);
    __real__Z10scene_zoomv();
}

void __wrap__Z13terror_strikkv()
{
    mark(CHASE);
    __real__Z13terror_strikkv();
    mark(END);
}
}
