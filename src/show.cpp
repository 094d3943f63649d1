// The show's long-lived state, shared by the driver and the scenes.
#include "show.h"

std::atomic<std::uint32_t> timer{0};
int loop = 0;
BITMAP *buffer = nullptr;
DATAFILE *data = nullptr;
int v1_x[PAN_FRAMES];
int v1_y[PAN_FRAMES];

// one increment per millisecond, on Allegro's timer thread
void inc_timer()
{
    timer.fetch_add(1, std::memory_order_relaxed);
}
END_OF_FUNCTION(inc_timer)

void present()
{
    blit(buffer, screen, 0, 0, 0, 0, SCREEN_W_PX, SCREEN_H_PX);
}

BITMAP *bmp(int index)
{
    return static_cast<BITMAP *>(data[index].dat);
}

SAMPLE *sample(int index)
{
    return static_cast<SAMPLE *>(data[index].dat);
}

MIDI *midi(int index)
{
    return static_cast<MIDI *>(data[index].dat);
}

void play_effect(int index)
{
    play_sample(sample(index), 255, 128, 1000, 0);
}
