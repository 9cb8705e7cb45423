#!/bin/sh
# Links Quorvane.scr ($bits) again from Quorvane's own objects in this folder and the FFmpeg
# whose install prefix FFMPEG names. CXX may name the compiler driver; the default is
# $compiler.
set -e
cd "$$(dirname "$$0")"
: "$${FFMPEG:?set FFMPEG to the prefix of the FFmpeg build to link}"
exec "$${CXX:-$compiler}" \
  $command
