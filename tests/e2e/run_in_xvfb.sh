#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one end-to-end test script in an X server of its own (xvfb-run, a
# 1600 x 1200 screen of 24 bits, no window manager), bounded by a time-out.
#   run_in_xvfb.sh SECONDS SCRIPT ARGS...
# Exit status: the script's (77 means skipped); 1 if the time-out struck.
set -uo pipefail
limit=$1
shift
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed (package xvfb)" >&2; exit 1; }
command -v xauth >/dev/null || { echo "xvfb-run needs xauth (package xauth)" >&2; exit 1; }
mkdir -p "$(dirname "$E2E_ARTIFACTS")"
started="$E2E_ARTIFACTS.started"
# xvfb-run -a takes the first display from -n on without a lock file. It
# stops its server without waiting for it, and a server still closing can
# remove the socket of a new one on the same display: so each run starts at
# a random display, and waits for its own server to be gone. A server that
# could not start at all (the script never began) is tried again.
for attempt in 1 2 3; do
  rm -f "$started"
  timeout --kill-after=10 $((limit + 30)) xvfb-run -a -n $((100 + RANDOM % 800)) -e "$E2E_ARTIFACTS.xvfb.log" \
    -s "-screen 0 1600x1200x24 -nolisten tcp -noreset" \
    bash -c 'echo "${DISPLAY#:}" >"$0" && exec timeout --kill-after=5 "$1" "${@:2}"' "$started" "$limit" "$@"
  status=$?
  if [[ -e $started ]]; then
    display=$(<"$started")
    rm -f "$started"
    for _ in $(seq 100); do
      [[ -e /tmp/.X$display-lock ]] || break
      sleep 0.1
    done
    if ((status == 124 || status == 137)); then
      echo "$E2E_NAME: FAIL: timed out after $limit s; artefacts in $E2E_ARTIFACTS" >&2
      exit 1
    fi
    exit "$status"
  fi
  echo "$E2E_NAME: the X server did not start (attempt $attempt)" >&2
  sleep 1
done
exit 1
