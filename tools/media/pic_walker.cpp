// The walking figure: a person in a knitted hat and sweater, five poses of one
// walk cycle, facing right, on the mask colour with hard edges (no fringe).
#include "pic_makers.h"
#include "pic_paint.h"

#include <cmath>
#include <numbers>

namespace pic {

namespace {

constexpr int W = 75, H = 127;
constexpr int DRAFT_H = 200; // taller canvas: the pose is drawn, then dropped onto row 126

// body measures in pixels
constexpr float HIP_X     = 35.0f;
constexpr float THIGH     = 26.0f, THIGH_R   = 6.0f;
constexpr float SHIN      = 26.0f, SHIN_R    = 5.0f;
constexpr float FOOT      = 10.0f, FOOT_R    = 3.6f;
constexpr float TORSO     = 32.0f, TORSO_R   = 10.5f;
constexpr float LEAN_DEG  = 6.0f;
constexpr float UPPER_ARM = 18.0f, UPPER_R   = 4.6f;
constexpr float FOREARM   = 17.0f, FORE_R    = 4.0f;
constexpr float HAND_R    = 3.8f;
constexpr float HEAD_RX   = 9.5f,  HEAD_RY   = 10.5f;
constexpr float FAR_SHADE = 0.70f; // limbs on the far side are in shadow

// palette
constexpr Rgb INK      = {30, 20, 34};
constexpr Rgb SWEATER  = {196, 42, 46};
constexpr Rgb PATTERN  = {242, 230, 202};
constexpr Rgb TROUSERS = {48, 66, 124};
constexpr Rgb BOOT     = {96, 58, 32};
constexpr Rgb SKIN     = {238, 188, 150};
constexpr Rgb HAIR     = {98, 60, 30};
constexpr Rgb HAT      = {36, 96, 176};
constexpr Rgb EYE      = {24, 18, 26};

// One pose: angles in degrees from vertical, positive towards the walking direction;
// knees bend the shin back, elbows bend the forearm forward.
struct Pose {
    float thigh_near, knee_near, thigh_far, knee_far;
    float arm_near, elbow_near, arm_far, elbow_far;
};

// the cycle at phases 0, 0.2, 0.4, 0.6, 0.8: passing, contact, recoil, reach, toe-off
constexpr Pose POSES[5] = {
    //  thigh  knee   thigh  knee    arm   elbow   arm   elbow
    {    0.0, 42.0,    0.0,   6.0,    0.0, 22.0,    0.0, 22.0},
    {   23.0,  6.0,  -23.0,  11.0,  -19.0, 14.0,   19.0, 40.0},
    {   14.0,  6.0,  -14.0,  61.0,  -12.0, 16.0,   12.0, 32.0},
    {  -14.0,  6.0,   14.0,  11.0,   12.0, 32.0,  -12.0, 16.0},
    {  -23.0, 42.0,   23.0,   6.0,   19.0, 40.0,  -19.0, 14.0},
};

struct Pt {
    float x, y;
};

Pt step(Pt p, float len, float deg)
{
    const float a = deg * std::numbers::pi_v<float> / 180.0f;
    return {p.x + len * std::sin(a), p.y + len * std::cos(a)};
}

// Two tubes joined without a seam: both outlines first, then both fills.
void limb(BITMAP *bmp, Pt a, Pt b, Pt c, float r1, float r2, Rgb base)
{
    auto ink = [](int, int, float, float) { return INK; };
    tube(bmp, a.x, a.y, b.x, b.y, r1 + 1.0f, 0.0f, INK, ink);
    tube(bmp, b.x, b.y, c.x, c.y, r2 + 1.0f, 0.0f, INK, ink);
    tube(bmp, a.x, a.y, b.x, b.y, r1, 0.0f, INK, [&](int, int, float ox, float oy) { return base * bulge_light(ox, oy); });
    tube(bmp, b.x, b.y, c.x, c.y, r2, 0.0f, INK, [&](int, int, float ox, float oy) { return base * bulge_light(ox, oy); });
}

// Leg from the hip: trousers down to the ankle, then a boot.
void leg(BITMAP *bmp, Pt hip, float thigh_deg, float knee_deg, float shade)
{
    const Pt knee = step(hip, THIGH, thigh_deg);
    const float shin_deg = thigh_deg - knee_deg;
    const Pt ankle = step(knee, SHIN, shin_deg);
    // the foot stays at right angles to the shin, so a back foot rises on its toes
    const float a = shin_deg * std::numbers::pi_v<float> / 180.0f * 0.8f;
    const Pt heel = {ankle.x - 2.0f * std::cos(a), ankle.y + 2.0f * std::sin(a) + 1.0f};
    const Pt toe = {ankle.x + FOOT * std::cos(a), ankle.y - FOOT * std::sin(a) + 1.0f};
    limb(bmp, hip, knee, ankle, THIGH_R, SHIN_R, TROUSERS * shade);
    tube(bmp, heel.x, heel.y, toe.x, toe.y, FOOT_R, BOOT * shade, INK);
}

// Arm from the shoulder: sleeve with a cream cuff, then the hand.
void arm(BITMAP *bmp, Pt shoulder, float arm_deg, float elbow_deg, float shade)
{
    const Pt elbow = step(shoulder, UPPER_ARM, arm_deg);
    const Pt wrist = step(elbow, FOREARM, arm_deg + elbow_deg);
    const Pt cuff = step(elbow, FOREARM - 4.0f, arm_deg + elbow_deg);
    limb(bmp, shoulder, elbow, cuff, UPPER_R, FORE_R, SWEATER * shade);
    tube(bmp, cuff.x, cuff.y, wrist.x, wrist.y, FORE_R, PATTERN * shade, INK);
    dome(bmp, wrist.x + 0.5f, wrist.y + 2.5f, HAND_R, HAND_R, SKIN * shade, INK);
}

// Torso with a band of knitted zigzag across the chest and a ribbed hem.
void torso(BITMAP *bmp, Pt hip, Pt shoulder)
{
    const float band = shoulder.y + 8.0f;
    tube(bmp, hip.x, hip.y - 2.0f, shoulder.x, shoulder.y + 2.0f, TORSO_R, 1.0f, INK, [&](int x, int y, float ox, float oy) {
        const float fy = static_cast<float>(y);
        Rgb c = SWEATER;
        if (fy >= band - 4 && fy < band + 4) {
            const bool dot = (fy >= band - 1 && fy < band + 1) && x % 3 == 0;
            if (!dot && (fy < band - 2 || fy >= band + 2 || (fy >= band - 1 && fy < band + 1)))
                c = PATTERN;
        }
        if (fy > hip.y + 3.0f)
            c = (x % 3 == 0) ? SWEATER * 0.7f : SWEATER * 0.92f; // ribbing
        return c * bulge_light(ox, oy * 0.6f);
    });
}

// Head in profile with hair, ear, eye, nose, and a striped knitted hat with a pompom.
void head(BITMAP *bmp, Pt c)
{
    dome(bmp, c.x - 4.0f, c.y + 2.5f, 6.5f, 7.5f, HAIR, INK);
    tube(bmp, c.x - 1.0f, c.y + 8.0f, c.x - 1.5f, c.y + 13.0f, 3.5f, SKIN * 0.85f, INK);
    dome(bmp, c.x, c.y, HEAD_RX, HEAD_RY, SKIN * 1.12f, INK);
    dome(bmp, c.x + HEAD_RX - 0.5f, c.y + 3.0f, 2.2f, 2.0f, SKIN * 1.1f, INK);  // nose
    dome(bmp, c.x - 3.0f, c.y + 1.5f, 1.8f, 2.6f, SKIN, SKIN * 0.55f);          // ear
    const int ex = static_cast<int>(c.x + 2.5f), ey = static_cast<int>(c.y);
    rectfill(bmp, ex, ey, ex + 1, ey + 2, col(EYE));
    hline(bmp, ex - 1, ey - 2, ex + 2, col(HAIR));                               // brow
    hline(bmp, ex, ey + 7, ex + 3, col(SKIN * 0.6f));                            // mouth
    // the hat: crown in stripes, a ribbed brim, a pompom at the back
    const float crown_y = c.y - 5.5f;
    for (int y = static_cast<int>(crown_y - HEAD_RY - 3); y <= static_cast<int>(crown_y); ++y)
        for (int x = static_cast<int>(c.x - HEAD_RX - 3); x <= static_cast<int>(c.x + HEAD_RX + 3); ++x) {
            const float ox = (static_cast<float>(x) + 0.5f - c.x) / (HEAD_RX + 1.5f);
            const float oy = (static_cast<float>(y) + 0.5f - crown_y) / (HEAD_RY + 1.0f);
            const float d = ox * ox + oy * oy;
            if (d <= 1.0f) {
                const Rgb wool = ((y - static_cast<int>(crown_y)) / 3) % 2 ? PATTERN : HAT;
                plot(bmp, x, y, wool * bulge_light(ox, oy));
            } else if (d <= 1.22f)
                plot(bmp, x, y, INK);
        }
    tube(bmp, c.x - HEAD_RX - 0.5f, crown_y, c.x + HEAD_RX + 0.5f, crown_y, 2.2f, 1.0f, INK, [&](int x, int, float ox, float oy) {
        return (x % 2 ? PATTERN : PATTERN * 0.8f) * bulge_light(ox * 0.3f, oy);
    });
    dome(bmp, c.x - 6.0f, crown_y - HEAD_RY - 1.0f, 4.5f, 4.5f, PATTERN, INK);
}

} // namespace

BITMAP *paint_walk(int pose)
{
    const Pose &p = POSES[pose];
    BITMAP *draft = create_bitmap_ex(24, W, DRAFT_H);
    clear_to_color(draft, col(MAGENTA));

    // skeleton: hip, leaning torso, shoulder and head
    const Pt hip = {HIP_X, 90.0f};
    const Pt shoulder = step(hip, -TORSO, -LEAN_DEG);
    const Pt arm_root = {shoulder.x, shoulder.y + 3.0f};
    const Pt head_centre = {shoulder.x + 3.0f, shoulder.y - 13.0f};

    // far limbs, body, near limbs, head
    arm(draft, arm_root, p.arm_far, p.elbow_far, FAR_SHADE);
    leg(draft, hip, p.thigh_far, p.knee_far, FAR_SHADE);
    torso(draft, hip, shoulder);
    leg(draft, hip, p.thigh_near, p.knee_near, 1.0f);
    head(draft, head_centre);
    arm(draft, arm_root, p.arm_near, p.elbow_near, 1.0f);

    // drop the figure so that its lowest pixel stands on the bottom row
    const int magenta = col(MAGENTA);
    int lowest = DRAFT_H - 1;
    auto row_empty = [&](int y) {
        for (int x = 0; x < W; ++x)
            if (getpixel(draft, x, y) != magenta)
                return false;
        return true;
    };
    while (lowest > 0 && row_empty(lowest))
        --lowest;
    BITMAP *out = create_bitmap_ex(24, W, H);
    clear_to_color(out, magenta);
    blit(draft, out, 0, lowest - (H - 1), 0, 0, W, H);
    destroy_bitmap(draft);
    return out;
}

} // namespace pic
