// The wrapped library calls (linked with -Wl,--wrap=...) and the recorder.
#include "seam.h"

#include "show.h"

#include <cstdio>
#include <cstdlib>

extern "C" {
void __real_rest(unsigned int ms);
void __real_masked_blit(BITMAP *src, BITMAP *dst, int sx, int sy, int dx, int dy, int w, int h);
int __real_play_sample(const SAMPLE *spl, int vol, int pan, int freq, int loop);
}

namespace {

Recorder recorder;
GFX_VTABLE hooked_vtable;
GFX_VTABLE *original_vtable = nullptr;

Event &record(Call call)
{
    Event event{call};
    event.draws = static_cast<long>(recorder.draws.size());
    event.clock = timer.load(std::memory_order_relaxed);
    recorder.events.push_back(event);
    return recorder.events.back();
}

// A full copy of a bitmap, made without the recorded blit.
BITMAP *copy_of(BITMAP *bmp)
{
    BITMAP *copy = create_bitmap(bmp->w, bmp->h);
    __real_blit(bmp, copy, 0, 0, 0, 0, bmp->w, bmp->h);
    return copy;
}

// Counts one update of the screen, keeps it if asked, advances the clock.
void screen_updated()
{
    const long number = recorder.screen_updates++;
    if (recorder.capture.count(number))
        recorder.captured[number] = copy_of(screen);
    if (recorder.on_screen_update)
        recorder.on_screen_update(number);
    timer.fetch_add(recorder.ms_per_screen_update, std::memory_order_relaxed);
    if (recorder.screen_updates > recorder.screen_update_limit) {
        std::fprintf(stderr, "seam: more than %ld screen updates, the scene does not end\n",
                     recorder.screen_update_limit);
        std::abort();
    }
}

void hooked_line(BITMAP *bmp, int x1, int y1, int x2, int y2, int colour)
{
    Event &event = record(Call::line);
    event.src = bmp;
    event.arg = {x1, y1, x2, y2, colour};
    original_vtable->line(bmp, x1, y1, x2, y2, colour);
}

void hooked_rectfill(BITMAP *bmp, int x1, int y1, int x2, int y2, int colour)
{
    if (!recorder.at_rectfill)
        recorder.at_rectfill = copy_of(bmp);
    if (recorder.clock_set_at_rectfill)
        timer.store(recorder.clock_at_rectfill, std::memory_order_relaxed);
    Event &event = record(Call::rectfill);
    event.src = bmp;
    event.arg = {x1, y1, x2, y2, colour};
    original_vtable->rectfill(bmp, x1, y1, x2, y2, colour);
}

} // namespace

Recorder &rec()
{
    return recorder;
}

void Recorder::reset()
{
    for (auto &[number, bmp] : captured)
        destroy_bitmap(bmp);
    if (at_rectfill)
        destroy_bitmap(at_rectfill);
    *this = Recorder{};
}

std::vector<Event> Recorder::of(Call call) const
{
    std::vector<Event> found;
    for (const Event &event : events)
        if (event.call == call)
            found.push_back(event);
    return found;
}

std::vector<Event> Recorder::between(Call call, long from_update, long to_update) const
{
    std::vector<Event> found;
    long updates = 0;
    for (const Event &event : events) {
        const bool update = event.call == Call::present || event.call == Call::screen_blit ||
                            (event.call == Call::stretch_blit && event.dst == screen);
        if (event.call == call && updates >= from_update && updates < to_update)
            found.push_back(event);
        if (update)
            ++updates;
    }
    return found;
}

void hook_drawing(BITMAP *bmp)
{
    original_vtable = bmp->vtable;
    hooked_vtable = *bmp->vtable;
    hooked_vtable.line = hooked_line;
    hooked_vtable.rectfill = hooked_rectfill;
    bmp->vtable = &hooked_vtable;
}

extern "C" {

void __wrap_rest(unsigned int ms)
{
    record(Call::rest).arg[0] = static_cast<int>(ms);
    timer.fetch_add(ms, std::memory_order_relaxed);
}

void __wrap_blit(BITMAP *src, BITMAP *dst, int sx, int sy, int dx, int dy, int w, int h)
{
    const bool onto_screen = dst == screen;
    const bool whole_buffer = src == buffer && sx == 0 && sy == 0 && dx == 0 && dy == 0 &&
                              w == SCREEN_W_PX && h == SCREEN_H_PX;
    Event &event = record(!onto_screen ? Call::blit : whole_buffer ? Call::present : Call::screen_blit);
    event.src = src;
    event.dst = dst;
    event.arg = {sx, sy, dx, dy, w, h};
    __real_blit(src, dst, sx, sy, dx, dy, w, h);
    if (onto_screen)
        screen_updated();
}

void __wrap_masked_blit(BITMAP *src, BITMAP *dst, int sx, int sy, int dx, int dy, int w, int h)
{
    Event &event = record(Call::masked_blit);
    event.src = src;
    event.dst = dst;
    event.arg = {sx, sy, dx, dy, w, h};
    __real_masked_blit(src, dst, sx, sy, dx, dy, w, h);
}

void __wrap_stretch_blit(BITMAP *src, BITMAP *dst, int sx, int sy, int sw, int sh, int dx, int dy,
                         int dw, int dh)
{
    Event &event = record(Call::stretch_blit);
    event.src = src;
    event.dst = dst;
    event.arg = {sx, sy, sw, sh, dx, dy, dw, dh};
    __real_stretch_blit(src, dst, sx, sy, sw, sh, dx, dy, dw, dh);
    if (dst == screen)
        screen_updated();
}

int __wrap_play_sample(const SAMPLE *spl, int vol, int pan, int freq, int looping)
{
    Event &event = record(Call::sample);
    event.sample = spl;
    event.arg = {vol, pan, freq, looping};
    return 0;
}

int __wrap_rand(void)
{
    int value;
    if (!recorder.script.empty()) {
        value = recorder.script.front();
        recorder.script.pop_front();
    } else if (recorder.after_script) {
        value = recorder.after_script();
    } else {
        value = __real_rand();
    }
    recorder.draws.push_back(value);
    return value;
}

} // extern "C"
