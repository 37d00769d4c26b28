#!/usr/bin/env bash
# Writes the small clips the runtime's tests decode into the folder given as $1: H.264
# progressive, MBAFF, and a size whose crop differs from the coded size; MPEG-2 progressive
# and interlaced; motion JPEG in 4:2:0 and 4:2:2; plus streams the runtime must refuse
# (H.264 4:2:2 and 10-bit, MPEG-2 4:2:2). Existing files are kept; concurrent callers wait
# for each other.
set -euo pipefail
out=${1:?usage: make_fixtures.sh OUTPUT_DIR}
mkdir -p "$out"
exec 9>"$out/.lock"
flock 9

src() {  # moving test picture with noise so every frame differs
  echo "testsrc2=size=$1:rate=25,noise=alls=12:allf=t+u"
}

make() {  # name, size, frames, then encoder arguments
  local name=$1 size=$2 frames=$3
  shift 3
  [ -s "$out/$name" ] && return 0
  ffmpeg -nostdin -v error -y -f lavfi -i "$(src "$size")" -frames:v "$frames" "$@" "$out/.tmp.$name"
  mv "$out/.tmp.$name" "$out/$name"
}

x264=(-c:v libx264 -preset veryfast -g 12 -bf 2 -f h264)
make avc_progressive.264 320x240 30 "${x264[@]}" -pix_fmt yuv420p
make avc_mbaff.264 320x240 30 "${x264[@]}" -pix_fmt yuv420p -flags +ildct+ilme -x264-params tff=1
make avc_cropped.264 200x118 30 "${x264[@]}" -pix_fmt yuv420p
make avc_422.264 160x120 5 "${x264[@]}" -pix_fmt yuv422p
make avc_10bit.264 160x120 5 "${x264[@]}" -pix_fmt yuv420p10le
make mpeg2_progressive.m2v 320x240 30 -c:v mpeg2video -g 12 -bf 2 -q:v 4 -pix_fmt yuv420p -f mpeg2video
make mpeg2_interlaced.m2v 320x240 30 -c:v mpeg2video -g 12 -bf 2 -q:v 4 -pix_fmt yuv420p \
  -flags +ildct+ilme -top 1 -f mpeg2video
make mpeg2_422.m2v 160x120 5 -c:v mpeg2video -pix_fmt yuv422p -f mpeg2video
make jpeg_420.mjpeg 320x240 12 -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -f mjpeg
make jpeg_422.mjpeg 320x240 12 -c:v mjpeg -q:v 3 -pix_fmt yuvj422p -f mjpeg
# Interlaced motion JPEG codes each field as a picture of its own, top field first.
make jpeg_fields.mjpeg 320x240 12 -vf setfield=tff,separatefields -c:v mjpeg -q:v 3 \
  -pix_fmt yuvj420p -f mjpeg
