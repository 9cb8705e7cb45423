# shellcheck shell=bash
# Building one CMake folder quietly, said once; sourced (". scripts/lib/build.sh"):
#   build_folder FOLDER [cmake --build options...]
# builds with one job per processor, the output kept in FOLDER.build.log; when the build fails it
# shows the log's last lines and fails. The folder is configured first by scripts/lib/configure-build.
build_folder() {
  local dir=$1
  shift
  cmake --build "$dir" -j "$(nproc)" "$@" >"$dir.build.log" 2>&1 || {
    echo "Building $dir failed; the end of $dir.build.log:" >&2
    tail -n 60 "$dir.build.log" >&2
    return 1
  }
}
