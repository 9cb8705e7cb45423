# shellcheck shell=bash
# scripts/test's stages, and how each is counted; sourced (". scripts/lib/stages.sh"). A stage
# passes only when it ran:
#   stage [--may-skip WHY] TITLE command...   runs the command, its output shown, and adds its
#                                  line to the summary (its time, and the gist of its output); a
#                                  command that fails sets status to 1. With --may-skip, the
#                                  command's exit code 3 means it could not run here: the stage
#                                  is skipped, with WHY and the command's last line, and is
#                                  neither passed nor failed
#   skipped TITLE WHY              a stage that was not run, and why
#   tests_of [ctest options...]    CTest that fails where it finds no tests
#   gtest SECONDS PROGRAM [--gtest_filter=...]   a GoogleTest program that fails where its
#                                  filter selects no test (it would pass without running any)
#   sound_heard WAV                succeeds when the recording's peak is 0.01 or more; says
#                                  "emulated sound: heard (peak P)" or "... nothing was heard"
# status (0 until a stage fails) and summary (one line per stage) are the results.
# shellcheck disable=SC2034  # read by the script that sources this
status=0
summary=()

stage() {  # [--may-skip WHY] title, command...
  local may_skip=
  if [ "$1" = --may-skip ]; then may_skip=$2; shift 2; fi
  local title=$1
  shift
  echo "== $title"
  local log start code
  log=$(mktemp)
  start=$SECONDS
  "$@" 2>&1 | tee "$log"
  code=${PIPESTATUS[0]}
  if [ -n "$may_skip" ] && [ "$code" -eq 3 ]; then
    skipped "$title" "$may_skip: $(tail -n 1 "$log")"
  else
    [ "$code" -eq 0 ] || status=1
    summary+=("$title ($((SECONDS - start)) s): $(grep -E 'tests passed|PASSED|No tests were found|no test selected|^fuzz_|^release:|^emulated sound' "$log" | tr '\n' ' ')")
  fi
  rm -f "$log"
}

skipped() {  # title, why
  echo "== $1: skipped, $2"
  summary+=("$1: skipped, $2")
}

tests_of() { ctest --no-tests=error --output-on-failure "$@"; }

gtest() {  # seconds, program, [--gtest_filter=...]
  local seconds=$1 program=$2
  shift 2
  "$program" --gtest_list_tests "$@" | grep -q '^  ' ||
    { echo "no test selected in $program $*"; return 1; }
  timeout "$seconds" "$program" "$@"
}

sound_heard() {  # wav
  local peak
  peak=$(sox "$1" -n stat 2>&1 | sed -n 's/^Maximum amplitude: *//p')
  if [ -n "$peak" ] && awk -v peak="$peak" 'BEGIN { exit !(peak >= 0.01) }'; then
    echo "emulated sound: heard (peak $peak)"
  else
    echo "emulated sound: nothing was heard (peak ${peak:-unknown})"
    return 1
  fi
}
