/* Object indices of data.wee, in the order the media build packs them.
 * Do not hand edit: the build compares these with the header `dat -h` writes
 * for the packed file and fails if a name or a number differs.
 */
#pragma once

inline constexpr int MUSIC_MIDI     = 0;  /* MIDI */
inline constexpr int GAAR_SAMPLE    = 1;  /* SAMP */
inline constexpr int BACKGROUND_BMP = 2;  /* BMP  */
inline constexpr int TITLE_BMP      = 3;  /* BMP  */
inline constexpr int TITLE_SAMPLE   = 4;  /* SAMP */
inline constexpr int WALK1_BMP      = 5;  /* BMP  */
inline constexpr int WALK2_BMP      = 6;  /* BMP  */
inline constexpr int WALK3_BMP      = 7;  /* BMP  */
inline constexpr int WALK4_BMP      = 8;  /* BMP  */
inline constexpr int WALK5_BMP      = 9;  /* BMP  */
inline constexpr int PAN_BMP        = 10; /* BMP  */
inline constexpr int RISER_BMP      = 11; /* BMP  */
inline constexpr int END_BMP        = 12; /* BMP  */
inline constexpr int TERROR_SAMPLE  = 13; /* SAMP */
inline constexpr int PROP_BMP       = 14; /* BMP  */
inline constexpr int MOVER_BMP      = 15; /* BMP  */
inline constexpr int CORNER_BMP     = 16; /* BMP  */
inline constexpr int ZOOM_BMP       = 17; /* BMP  */
