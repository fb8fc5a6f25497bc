# Processes a shell test starts. Each runs in a process group of its own, and every group is
# ended on every way out of the test (its end, a failed command under `set -e`, a signal), so
# no program or display outlives the test and holds the test runner's output open.
# shellcheck shell=bash
# shellcheck disable=SC2034  # started, status and display are the callers' results
# SPDX-License-Identifier: MIT

started_groups=()
cleanup_paths=()

end_started() {
  local pid
  for pid in "${started_groups[@]}"; do kill -TERM -- "-$pid" 2>/dev/null || true; done
  for pid in "${started_groups[@]}"; do
    timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || true
    kill -KILL -- "-$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  started_groups=()
}
trap 'end_started; rm -rf "${cleanup_paths[@]}"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# start <command...>: runs the command in the background as the leader of a new process group
# (setsid execs it, so the group's number is the command's own pid); the pid in $started.
start() {
  setsid "$@" &
  started=$!
  started_groups+=("$started")
}

# wait_end <pid> <seconds>: waits for a started process to end, at most the given time, then
# kills its group; its exit status in $status (137 when it had to be killed).
wait_end() {
  timeout "$2" tail --pid="$1" -f /dev/null || kill -KILL -- "-$1" 2>/dev/null || true
  status=0
  { wait "$1"; } 2>/dev/null || status=$?  # bash's own "Killed" notice is no test output
}

# start_display <file>: a virtual display of the test's own. Xvfb picks a free number and
# writes it into the file once it accepts clients; $display is then ":<number>".
start_display() {
  start Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1" >/dev/null 2>&1
  local _
  for _ in $(seq 100); do [ -s "$1" ] && break; sleep 0.1; done
  [ -s "$1" ] || { echo "Xvfb did not report a display" >&2; return 1; }
  display=:$(head -n 1 "$1")
}

# window_of <seconds> <xdotool search arguments...>: the first visible window that matches,
# waited for at most the given time; "" when none appeared.
window_of() {
  local seconds=$1
  shift
  timeout "$seconds" xdotool search --sync --onlyvisible "$@" 2>/dev/null | head -n 1 || true
}
