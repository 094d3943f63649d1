// The five scenes of the show.
#include "data.h"
#include "show.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace {

// the walking figure, shared by the walk and the chase
constexpr int WALK_W = 75;
constexpr int WALK_H = 127;
constexpr int WALK_Y = 300;
constexpr int WALK_POSES[] = {WALK1_BMP, WALK2_BMP, WALK3_BMP, WALK4_BMP, WALK5_BMP};
constexpr int WALK_POSE_COUNT = static_cast<int>(std::size(WALK_POSES));

// Covers the whole back buffer with the background of the walk and the chase.
void draw_background()
{
    blit(bmp(BACKGROUND_BMP), buffer, 0, 0, 0, 0, SCREEN_W_PX, SCREEN_H_PX);
}

// Draws the walking figure, left edge at x, in a pose chosen by one random draw.
void draw_walker(int x)
{
    const int r_num = 1 + std::rand() % WALK_POSE_COUNT;
    masked_blit(bmp(WALK_POSES[r_num - 1]), buffer, 0, 0, x, WALK_Y, WALK_W, WALK_H);
}

// the pictures of the slide and rise frames
constexpr int MOVER_W  = 164;
constexpr int MOVER_H  = 182;
constexpr int CORNER_X = 386;
constexpr int CORNER_Y = 0;
constexpr int CORNER_W = 254;
constexpr int CORNER_H = 224;
constexpr int RISER_X  = 446;
constexpr int RISER_W  = 187;
constexpr int RISER_H  = 78;

// Draws one slide or rise frame over magenta and presents it.
void draw_etesopp_frame(int mover_x, int mover_y, int riser_y)
{
    clear_to_color(buffer, makecol(255, 0, 255));
    blit(bmp(MOVER_BMP), buffer, 0, 0, mover_x, mover_y, MOVER_W, MOVER_H);
    blit(bmp(CORNER_BMP), buffer, 0, 0, CORNER_X, CORNER_Y, CORNER_W, CORNER_H);
    blit(bmp(RISER_BMP), buffer, 0, 0, RISER_X, riser_y, RISER_W, RISER_H);
    present();
}

// components of a chase point
constexpr int PX  = 0;
constexpr int PY  = 1;
constexpr int PVX = 2;
constexpr int PVY = 3;

// the chain of the chase: two bands of six points, visited band by band
constexpr int BANDS          = 2;
constexpr int BAND_POINTS    = 6;
constexpr int NO_PREDECESSOR = 666;
using Chain = float[BANDS][BAND_POINTS][4];

// (draw mod 100) / divisor, divided as a float
float draw_speed(float divisor)
{
    return static_cast<float>(std::rand() % 100) / divisor;
}

// Draws one chase frame's background and polyline, moving every point in chain
// order. Returns false, with the frame unfinished, at the first point whose x
// from the frame before is greater than lx.
bool draw_chain_frame(Chain &strikk, int lx, int colour)
{
    draw_background();
    int lastx = NO_PREDECESSOR;
    int lasty = NO_PREDECESSOR;
    for (int loopx = 0; loopx < BANDS; ++loopx) {
        for (int loopy = 0; loopy < BAND_POINTS; ++loopy) {
            float *point = strikk[loopx][loopy];
            if (static_cast<double>(point[PX]) > lx)
                return false;
            move_chain_point(point);
            const int x = static_cast<int>(point[PX]);
            const int y = static_cast<int>(point[PY]);
            if (lastx != NO_PREDECESSOR)
                line(buffer, lastx, lasty, x, y, colour);
            lastx = x;
            lasty = y;
        }
    }
    return true;
}

} // namespace

void scene_gaar()
{
    constexpr int FRAMES  = 448;
    constexpr int PROP_X  = 500;
    constexpr int PROP_Y  = 375;
    constexpr int PROP_W  = 70;
    constexpr int PROP_H  = 79;
    constexpr int REST_MS = 4;

    // the sound starts once and runs on its own
    play_effect(GAAR_SAMPLE);

    // the figure walks one pixel per frame, in front of the background, behind the prop
    for (int loopx = 0; loopx < FRAMES; ++loopx) {
        draw_background();
        draw_walker(loopx);
        blit(bmp(PROP_BMP), buffer, 0, 0, PROP_X, PROP_Y, PROP_W, PROP_H);
        present();
        rest(REST_MS);
    }
}

void scene_etesopp()
{
    constexpr int SLIDE_Y         = 232;
    constexpr int SLIDE_LAST_X    = 459;
    constexpr int SLIDE_STEP      = 2;
    constexpr int SLIDE_REST_MS   = 1;
    constexpr int RISER_Y         = 399;
    constexpr int RISE_MOVER_X    = 460;
    constexpr int RISE_LAST       = 173;
    constexpr int RISE_STEP       = 2;
    constexpr int MOVER_HOLD      = 6;
    constexpr int MOVER_RISE_STEP = 2;
    constexpr int NOISE_STEPS     = 100000;
    constexpr int NOISE_ADD_MOD   = 16;
    constexpr int NOISE_WALK_MOD  = 10;
    constexpr int PRESENT_EVERY   = 51;

    int arge = 0;

    // slide: the mover crosses to the right along one row
    for (int loopx = 0; loopx <= SLIDE_LAST_X; loopx += SLIDE_STEP) {
        draw_etesopp_frame(loopx, SLIDE_Y, RISER_Y);
        rest(SLIDE_REST_MS);
    }

    // rise: the riser climbs 2 px a frame, the mover 4 px every 3 frames, no waits
    int loopy = 0;
    for (int loopx = 0; loopx <= RISE_LAST; loopx += RISE_STEP) {
        draw_etesopp_frame(RISE_MOVER_X, SLIDE_Y - loopy, RISER_Y - loopx);
        if (loopx % MOVER_HOLD != 0)
            loopy += MOVER_RISE_STEP;
    }

    // noise: a random walk adds to raw pixels, wrapping at 16 bits; both edges reset before the write
    loopy = 0;
    int loopx = 0;
    for (int loopz = 0; loopz < NOISE_STEPS; ++loopz) {
        if (loopy > SCREEN_H_PX - 1)
            loopy = 0;
        if (loopx > SCREEN_W_PX - 1)
            loopx = 0;
        auto *row = reinterpret_cast<std::uint16_t *>(buffer->line[loopy]);
        row[loopx] = static_cast<std::uint16_t>(row[loopx] + std::rand() % NOISE_ADD_MOD);
        loopy += std::rand() % NOISE_WALK_MOD;
        loopx += std::rand() % NOISE_WALK_MOD;
        if (++arge >= PRESENT_EVERY) {
            arge = 0;
            present();
        }
    }
}

void calc_v1_path()
{
    // start, first guide, second guide, end, as (x, y) pairs
    constexpr int points[8] = {320, 280, 200, 280, 64, 64, 0, 0};

    calc_spline(points, PAN_FRAMES, v1_x, v1_y);
}

void scene_landskapsbilde()
{
    constexpr int WINDOW_W = 320;
    constexpr int WINDOW_H = 200;
    constexpr int REST_MS  = 1;

    // the path, the same on every call
    calc_v1_path();

    // one stretched window per path sample, straight onto the screen
    for (int loopx = 0; loopx < PAN_FRAMES; ++loopx) {
        stretch_blit(bmp(PAN_BMP), screen, v1_x[loopx], v1_y[loopx], WINDOW_W, WINDOW_H, 0, 0,
                     SCREEN_W_PX, SCREEN_H_PX);
        rest(REST_MS);
    }
}

void scene_zoom()
{
    constexpr int HOLD_MS = 3500;

    // the still picture, straight onto the screen
    blit(bmp(ZOOM_BMP), screen, 0, 0, 0, 0, SCREEN_W_PX, SCREEN_H_PX);
    rest(HOLD_MS);
}

void move_chain_point(float point[4])
{
    constexpr float FLOOR_Y       = 428.0f;
    constexpr float BOUNCE_VX_DIV = 35.0f;
    constexpr float VY_DIV        = 50.0f;
    constexpr double GRAVITY      = 0.1;

    // below the floor: fresh velocities, vx first
    if (point[PY] > FLOOR_Y) {
        point[PVX] = draw_speed(BOUNCE_VX_DIV);
        point[PVY] = -draw_speed(VY_DIV);
    }

    // gravity added in double, kept in single precision; then move
    point[PVY] = static_cast<float>(static_cast<double>(point[PVY]) + GRAVITY);
    point[PX] = point[PX] + point[PVX];
    point[PY] = point[PY] + point[PVY];
}

void terror_strikk()
{
    constexpr float START_X          = 0.0f;
    constexpr float START_Y          = 416.0f;
    constexpr float START_SPEED_DIV  = 50.0f;
    constexpr int WALKER_START_X     = 128;
    constexpr int CHASE_FRAMES       = 10000;
    constexpr int CHASE_REST_MS      = 1;
    constexpr int RECT_X1            = 160;
    constexpr int RECT_Y1            = 256;
    constexpr int RECT_X2            = 480;
    constexpr int RECT_Y2            = 438;
    constexpr std::uint32_t SHAKE_MS = 9280;
    constexpr int SHAKE_MOD          = 32;

    const int black = makecol(0, 0, 0);
    Chain strikk;

    // start: every point at the left edge above the floor, random velocities (vx, then vy)
    for (int loopx = 0; loopx < BANDS; ++loopx) {
        for (int loopy = 0; loopy < BAND_POINTS; ++loopy) {
            float *point = strikk[loopx][loopy];
            point[PX] = START_X;
            point[PY] = START_Y;
            point[PVX] = draw_speed(START_SPEED_DIV);
            point[PVY] = -draw_speed(START_SPEED_DIV);
        }
    }

    // chase: chain, then the figure on top, until a point passes the figure's left edge
    for (int frames = 0, lx = WALKER_START_X; frames < CHASE_FRAMES; ++frames) {
        if (!draw_chain_frame(strikk, lx, black))
            break;
        draw_walker(lx);
        ++lx;
        present();
        rest(CHASE_REST_MS);
    }

    // ending: black out the middle of the lower half and start the finale sound
    rectfill(buffer, RECT_X1, RECT_Y1, RECT_X2, RECT_Y2, black);
    const std::uint32_t starttime = timer.load(std::memory_order_relaxed);
    play_effect(TERROR_SAMPLE);

    // shake: compares elapsed time, so a shake across the counter's wrap lasts its full length
    while (timer.load(std::memory_order_relaxed) - starttime < SHAKE_MS) {
        const int r1 = std::rand() % SHAKE_MOD;
        const int r2 = std::rand() % SHAKE_MOD;
        blit(buffer, screen, r1, r2, 0, 0, SCREEN_W_PX - r1, SCREEN_H_PX - r2);
    }
}
