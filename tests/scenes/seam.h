// Link-time seam for the scene tests: records every drawing call, wait, sound
// and random draw the scenes make, and replaces waiting by a virtual clock.
#pragma once

#include <allegro.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

extern "C" {
void __real_blit(BITMAP *src, BITMAP *dst, int sx, int sy, int dx, int dy, int w, int h);
void __real_stretch_blit(BITMAP *src, BITMAP *dst, int sx, int sy, int sw, int sh, int dx, int dy,
                         int dw, int dh);
int __real_rand(void);
}

enum class Call {
    present,      // the whole back buffer to the screen at (0, 0)
    screen_blit,  // any other blit onto the screen
    blit,         // a blit into anything but the screen
    masked_blit,
    stretch_blit,
    rest,
    sample,
    line,         // drawn on the back buffer
    rectfill,     // drawn on the back buffer
};

struct Event {
    Call call;
    BITMAP *src = nullptr;        // source bitmap; the target of line and rectfill
    BITMAP *dst = nullptr;
    const SAMPLE *sample = nullptr;
    std::array<int, 8> arg{};     // coordinates, sizes, colour or sample settings, in call order
    long draws = 0;               // random draws made before this call
    std::uint32_t clock = 0;      // timer when the call was made
};

struct Recorder {
    std::vector<Event> events;
    std::vector<int> draws;                      // every value rand returned, in order
    std::deque<int> script;                      // values rand returns first
    std::function<int()> after_script;           // then this; the real rand when empty
    std::set<long> capture;                      // screen updates (0-based) whose screen to keep
    std::map<long, BITMAP *> captured;
    std::function<void(long)> on_screen_update;  // called after every screen update
    long screen_updates = 0;                     // presents, screen blits and stretches onto it
    BITMAP *at_rectfill = nullptr;               // the back buffer as the first rectfill found it
    bool clock_set_at_rectfill = false;
    std::uint32_t clock_at_rectfill = 0;         // timer value set just before that rectfill
    std::uint32_t ms_per_screen_update = 10;     // virtual time each screen update takes
    long screen_update_limit = 50000;            // a run past this never ends: the test aborts

    // Forgets everything recorded and scripted; frees the kept pictures.
    void reset();
    // The recorded events of one kind, in order.
    std::vector<Event> of(Call call) const;
    // Events of one kind made between two screen updates: [from, to).
    std::vector<Event> between(Call call, long from_update, long to_update) const;
};

Recorder &rec();

// Gives the back buffer drawing methods that record line and rectfill calls.
void hook_drawing(BITMAP *bmp);
