#!/usr/bin/env bash
# The main job: installs what is missing, builds, and opens a clip descriptor through the
# importer plug-in with the host program.
#
#   scripts/run.sh [clip.qivo]
#
# Without a descriptor it makes a small raw YV12 sample clip and its descriptor in
# build/sample/, leaving the frame count out so that the open establishes and stores it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" plain
bin="$root/build/bin"

descriptor=${1:-}
if [ -z "$descriptor" ]; then
  sample="$root/build/sample"
  mkdir -p "$sample"
  ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -frames:v 50 \
    -pix_fmt yuv420p -f rawvideo "$sample/sample.yuv"
  descriptor="$sample/sample.qivo"
  cat >"$descriptor" <<'INI'
; A sample clip: 50 raw planar 4:2:0 frames of 320x240 at 25 frames per second.
[Video]
filename=sample.yuv
width=320
height=240
frame_rate=25
log_file=sample.log
INI
  echo "== sample descriptor $descriptor"
  cat "$descriptor"
fi

echo "== opening $descriptor through the plug-in"
status=0
"$bin/qivohost" open "$descriptor" || status=$?
echo "== descriptor after the open"
cat "$descriptor"
exit "$status"
