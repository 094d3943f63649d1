// The show's shared state and the routines the show cycle calls.
#pragma once

#include <allegro.h>

#include <atomic>
#include <cstdint>

// screen geometry every part of the show relies on
inline constexpr int SCREEN_W_PX = 640;
inline constexpr int SCREEN_H_PX = 480;
inline constexpr int SHOW_DEPTH  = 16;

// milliseconds since the clock was installed; written only by inc_timer on
// Allegro's timer thread, read afresh (relaxed) by the main thread
extern std::atomic<std::uint32_t> timer;
// run mode: 0 = repeat forever, -1 = play once
extern int loop;
// the 640x480, 16 bpp back buffer
extern BITMAP *buffer;
// the loaded show datafile, indexed by the constants of data.h
extern DATAFILE *data;
// the pan path: top-left corners of the window, one per pan frame
inline constexpr int PAN_FRAMES = 512;
extern int v1_x[PAN_FRAMES];
extern int v1_y[PAN_FRAMES];

// Timer callback: one increment of timer, nothing else.
void inc_timer();

// Copies the whole back buffer to the screen at (0, 0).
void present();

// Bitmap, sample and MIDI object of the loaded datafile at the given index.
BITMAP *bmp(int index);
SAMPLE *sample(int index);
MIDI *midi(int index);

// Starts a sound effect: full volume, centre pan, normal pitch, no loop.
void play_effect(int index);

// The five scenes, in show order. Each runs to its end and returns.
void scene_gaar();
void scene_etesopp();
void calc_v1_path();
void scene_landskapsbilde();
void scene_zoom();
void terror_strikk();

// One frame of motion of one chase point {x, y, vx, vy}: bounce off the
// floor (two random draws), gravity, move. Part of terror_strikk.
void move_chain_point(float point[4]);
