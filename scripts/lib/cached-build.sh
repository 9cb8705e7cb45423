# shellcheck shell=bash
# The skeleton of a library built once from Debian's own source package and cached outside the
# checkout (scripts/build-ffmpeg, scripts/lib/build-libyuv); sourced. The cache:
#   ${QUORVANE_CACHE:-/var/cache/quorvane}/<name>/<version>-<hash>/<triplet>
# holds each build, finished once its BUILD-INFO is there; the build's output goes to
# <prefix>.log; one build at a time per prefix (a lock); the source package is fetched once per
# version and shared by every target.
#   cached_build_start NAME VERSION HASH TRIPLET   sets cache, key, prefix and log; prints the
#                                                  prefix and exits when it is built already
#   fail MESSAGE                                   says so with the log's end, and exits
#   cached_source PACKAGE MARKER                   sets src to the unpacked source (Debian's
#                                                  patches applied), fetched when MARKER (a file
#                                                  in it) is missing
#   cached_work                                    sets work, a scratch folder removed at exit
#   cached_build_finish STAGE                      the staged install (its BUILD-INFO written)
#                                                  becomes the prefix, which is printed
quorvane_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

cached_build_start() {
  local name=$1
  version=$2
  local hash=$3 triplet=$4
  cache=${QUORVANE_CACHE:-/var/cache/quorvane}/$name
  key=${version//[:~]/_}-$hash
  prefix=$cache/$key/$triplet
  if [ -f "$prefix/BUILD-INFO" ]; then
    echo "$prefix"
    exit 0
  fi
  mkdir -p "$cache/$key"
  log=$prefix.log
  exec 9>"$prefix.lock"
  flock 9
  # Another run may have finished it while this one waited for the lock.
  if [ -f "$prefix/BUILD-INFO" ]; then
    echo "$prefix"
    exit 0
  fi
  : >"$log"
}

fail() {
  echo "$0: $1 (see $log)" >&2
  tail -n 20 "$log" >&2
  exit 1
}

# From the same archives the machine installs its packages from (scripts/lib/apt-source), which
# leaves apt's own configuration as it was.
cached_source() {
  local package=$1 marker=$2
  local srcroot=$cache/src/${version//[:~]/_}
  src=$srcroot/source
  [ -f "$src/$marker" ] && return 0
  {
    rm -rf "$srcroot" && mkdir -p "$srcroot" && cd "$srcroot" &&
      "$quorvane_lib/apt-source" "$package=$version" &&
      dpkg-source --no-check -x ./*.dsc extracted &&
      mv extracted source
  } >>"$log" 2>&1 || fail "could not get $package's source package $version"
}

cached_work() {
  work=$(mktemp -d "$prefix.build.XXXXXX")
  trap 'rm -rf "$work"' EXIT
}

cached_build_finish() {
  rm -rf "$prefix"
  mv "$1" "$prefix"
  echo "$prefix"
}
