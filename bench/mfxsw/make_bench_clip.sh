#!/usr/bin/env bash
# Writes the benchmark's 1080p H.264 clip ($1) once: 10 s at 25 fps, High profile with
# B-frames, a moving picture with some grain so that it decodes like camera footage.
set -euo pipefail
out=${1:?usage: make_bench_clip.sh OUTPUT}
[ -s "$out" ] && exit 0
mkdir -p "$(dirname "$out")"
ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=1920x1080:rate=25,noise=alls=6:allf=t" \
  -frames:v 250 -c:v libx264 -preset veryfast -crf 20 -bf 3 -g 50 -pix_fmt yuv420p \
  -f h264 "$out.tmp"
mv "$out.tmp" "$out"
