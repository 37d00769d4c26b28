#!/usr/bin/env bash
# Makes the transport stream the counting benchmark reads: 1,800 frames of 1280x720 H.264 with
# 188-byte packets, about 128 MB. Kept between runs.
set -euo pipefail
out=${1:?usage: make_bench_ts.sh OUTPUT_FILE}
[ -s "$out" ] && exit 0
mkdir -p "$(dirname "$out")"
ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=1280x720:rate=25" \
  -frames:v 1800 -c:v libx264 -preset ultrafast -qp 0 -g 50 -f mpegts "$out.part"
mv "$out.part" "$out"
