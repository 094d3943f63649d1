// The painters of the show's pictures; each returns a new 24-bit bitmap of its exact size.
#pragma once

#include <allegro.h>

namespace pic {

BITMAP *paint_background(); // 640 x 480, the walking scene's stage
BITMAP *paint_prop();       // 70 x 79, the milestone in front of the walker
BITMAP *paint_walk(int pose); // 75 x 127, pose 0..4 of the walk cycle, on magenta
BITMAP *paint_title();      // 640 x 480
BITMAP *paint_end();        // 640 x 480, the credits
BITMAP *paint_pan();        // 640 x 480, the landscape flown over
BITMAP *paint_zoom();       // 640 x 480, the close-up still
BITMAP *paint_mover();      // 164 x 182, the mushroom that slides and rises
BITMAP *paint_corner();     // 254 x 224, the upper jaw in the top right corner
BITMAP *paint_riser();      // 187 x 78, the lower jaw that rises

} // namespace pic
