#!/bin/bash
# Succeeds some seconds after the title picture is back on the screen for the
# second time (after the first cycle), so its sample is captured too.
# usage: second_title.sh E2E_FRAMES MEDIA_DIR STATE_FILE AFTER_SECONDS
# Reads DISPLAY and RECORD_ELAPSED (whole seconds since the show started).
set -uo pipefail
frames="$1" media="$2" state="$3" after="$4"
[ "${RECORD_ELAPSED:-0}" -ge 30 ] || exit 1
if [ -s "$state" ]; then
  [ "$RECORD_ELAPSED" -ge $(( $(cat "$state") + after )) ]
  exit
fi
ffmpeg -v error -nostdin -f x11grab -draw_mouse 0 -video_size 640x480 -i "$DISPLAY" -frames:v 1 \
  -f rawvideo -pix_fmt rgb24 - | "$frames" is TITLE "$media" || exit 1
echo "$RECORD_ELAPSED" >"$state"
exit 1
