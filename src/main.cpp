// strikk: entry, start-up, the millisecond clock and the show cycle.
#include "catalogue.h"
#include "data.h"
#include "datcheck.h"
#include "show.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr const char *DATAFILE_NAME = "data.wee";
constexpr int TITLE_HOLD_MS = 7500;
constexpr int END_HOLD_MS = 12500;

// Reports a failed start-up step on standard error and ends the process.
[[noreturn]] void fail(const std::string &message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

// Like fail, but first returns the display to text mode so the message is seen.
[[noreturn]] void fail_in_graphics(const std::string &message)
{
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    fail(message);
}

// Forgets Allegro's last message, so that a failure reports only its own reason.
void clear_allegro_error()
{
    allegro_error[0] = '\0';
}

// "strikk: step failed", with Allegro's reason when the step gave one.
std::string failed(const char *step)
{
    std::string text = std::string("strikk: ") + step + " failed";
    if (allegro_error[0] != '\0')
        text += std::string(": ") + allegro_error;
    return text;
}

// Starts Allegro, the clock, sound, input, the 640x480x16 mode, the back
// buffer and the datafile, in that order. Returns 1 when the sound system
// cannot be started, 0 when the show can begin; ends the process otherwise.
int start_up(int argc)
{
    // library and the 1 ms clock; without a display Allegro cannot start
    if (allegro_init() != 0)
        fail(failed("allegro_init"));
    clear_allegro_error();
    if (install_timer() != 0)
        fail(failed("install_timer"));
    LOCK_VARIABLE(timer);
    LOCK_FUNCTION(inc_timer);
    clear_allegro_error();
    if (install_int(inc_timer, 1) != 0)
        fail(failed("install_int"));

    // run mode: exactly one argument repeats the show forever
    loop = 0;
    if (argc != 2)
        loop = -1;

    // the one seeding of the random sequence all scenes share
    srand(1);

    // sound
    reserve_voices(8, -1);
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) < 0) {
        std::printf("Error initializing sound card");
        return 1;
    }

    // input drivers, never read
    install_keyboard();
    install_mouse();

    // the datafile must be sound before the display changes mode
    if (std::optional<std::string> problem = check_datafile_file(DATAFILE_NAME))
        fail(std::string(DATAFILE_NAME) + ": " + *problem);

    // graphics mode
    set_color_depth(SHOW_DEPTH);
    if (set_gfx_mode(GFX_AUTODETECT, SCREEN_W_PX, SCREEN_H_PX, 0, 0) != 0)
        std::exit(1);
    if (bitmap_color_depth(screen) != SHOW_DEPTH)
        fail_in_graphics("strikk: the display gave " + std::to_string(bitmap_color_depth(screen)) +
                         " bits per pixel, needs 16");
    set_palette(black_palette);

    // back buffer; the noise scene writes its pixels directly
    clear_allegro_error();
    buffer = create_bitmap(SCREEN_W_PX, SCREEN_H_PX);
    if (!buffer)
        fail_in_graphics(failed("create_bitmap"));
    if (buffer->w != SCREEN_W_PX || buffer->h != SCREEN_H_PX || bitmap_color_depth(buffer) != SHOW_DEPTH)
        fail_in_graphics("strikk: the back buffer is not 640x480 at 16 bits per pixel");

    // datafile, loaded after the mode so pictures come in at 16 bpp
    clear_allegro_error();
    data = load_datafile(DATAFILE_NAME);
    if (!data)
        fail_in_graphics(std::string(DATAFILE_NAME) + ": cannot be loaded" +
                         (allegro_error[0] ? std::string(": ") + allegro_error : std::string()));
    if (std::optional<std::string> problem = check_catalogue(data))
        fail_in_graphics(std::string(DATAFILE_NAME) + ": " + *problem);

    // every instrument now: play_midi would otherwise reread the patch set at
    // every cycle and leak a file buffer each time; a missing set only silences the music
    load_midi_patches();
    return 0;
}

// Plays the show cycle once, or forever in repeat mode. Returns 0.
int play_show()
{
    for (;;) {
        // music, title picture and its sound
        play_midi(midi(MUSIC_MIDI), 0);
        blit(bmp(TITLE_BMP), screen, 0, 0, 0, 0, SCREEN_W_PX, SCREEN_H_PX);
        play_effect(TITLE_SAMPLE);
        rest(TITLE_HOLD_MS);

        // the five scenes
        scene_gaar();
        scene_etesopp();
        scene_landskapsbilde();
        scene_zoom();
        terror_strikk();

        // end picture
        blit(bmp(END_BMP), screen, 0, 0, 0, 0, SCREEN_W_PX, SCREEN_H_PX);
        rest(END_HOLD_MS);

        if (loop == -1)
            return 0;
    }
}

} // namespace

int main(int argc, char *[])
{
    if (start_up(argc) != 0)
        return 1;
    return play_show();
}
END_OF_MAIN()
