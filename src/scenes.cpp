// The five scenes of the show.
#include "data.h"
#include "show.h"

void scene_gaar() {}
void scene_etesopp() {}
void calc_v1_path() {}
void scene_landskapsbilde() {}
void scene_zoom() {}
void terror_strikk() {}
