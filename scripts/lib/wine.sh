# shellcheck shell=bash
# What the scripts know about Wine here, said once; sourced (". scripts/lib/wine.sh"):
#   wine64_loader, wine32_loader   where Debian puts Wine's two loaders
#   keep_why_no_32_bit_wine WHY [FILE]   what scripts/install-deps keeps when the 32-bit Wine
#                                  cannot be had: why, and apt's words (FILE, kept beside it);
#                                  prints the reason kept
#   forget_why_no_32_bit_wine      forgets it, once the 32-bit Wine is there or tried again
#   why_no_32_bit_wine             why the 32-bit product cannot run under Wine here, one line
#                                  (nothing where it can)
#   runs_32_bit_wine               succeeds where the 32-bit product can run under Wine here
#   runnable_build                 win32 (the product) where it can, win64 otherwise
#   wine_loader_of PROGRAM         the loader for a Windows program of its kind, in a session
#   test_wine_prefix               the Wine prefix the tests use
quorvane_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine64_loader=/usr/lib/wine/wine64
wine32_loader=/usr/lib/wine/wine

thirty_two_bit_note=${QUORVANE_CACHE:-/var/cache/quorvane}/why-no-32-bit-wine

keep_why_no_32_bit_wine() {  # why [file of apt's words]
  mkdir -p "$(dirname "$thirty_two_bit_note")"
  if [ $# -gt 1 ]; then
    cp "$2" "$thirty_two_bit_note.apt.log"
    echo "$1 (apt's words: $thirty_two_bit_note.apt.log)" >"$thirty_two_bit_note"
  else
    rm -f "$thirty_two_bit_note.apt.log"
    echo "$1" >"$thirty_two_bit_note"
  fi
  cat "$thirty_two_bit_note"
}
forget_why_no_32_bit_wine() { rm -f "$thirty_two_bit_note" "$thirty_two_bit_note.apt.log"; }

# The one way every script says why the 32-bit product is not run: the 32-bit loader is missing
# (with the reason install-deps kept), or this kernel runs no 32-bit programs (scripts/runs-32-bit).
why_no_32_bit_wine() {
  if [ ! -x "$wine32_loader" ]; then
    cat "$thirty_two_bit_note" 2>/dev/null || echo "the 32-bit Wine is not installed"
  elif ! "$quorvane_scripts/runs-32-bit"; then
    echo "this kernel runs no 32-bit programs"
  fi
}
runs_32_bit_wine() { [ -z "$(why_no_32_bit_wine)" ]; }

runnable_build() { if runs_32_bit_wine; then echo win32; else echo win64; fi; }

# Inside scripts/wine-session: WINE32 for a 32-bit program (the machine field of its PE header is
# 014c), WINE for a 64-bit one. Fails, saying so, where this session has no 32-bit loader.
wine_loader_of() {
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
  if [ "$machine" != 014c ]; then echo "${WINE:-$wine64_loader}"; return 0; fi
  [ -n "${WINE32:-}" ] || { echo "no 32-bit Wine loader here for $(basename "$1")" >&2; return 1; }
  echo "$WINE32"
}

# QUORVANE_TEST_WINEPREFIX, or one kept in the user's cache.
test_wine_prefix() { echo "${QUORVANE_TEST_WINEPREFIX:-$HOME/.cache/quorvane/wineprefix-test}"; }
