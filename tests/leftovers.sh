#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs after the tests that start other programs (a CTest cleanup fixture):
# no process that carries this test run's marker in its environment may
# outlive them, and no FUSE mount may be left under the build folder. Those
# found are ended (they are this run's own) and named, and the test fails.
#   leftovers.sh MARKER BUILD-FOLDER
set -uo pipefail
marker=$1 folder=$2
pids=()
for environ in /proc/[0-9]*/environ; do
  pid=${environ#/proc/}
  pid=${pid%/environ}
  ((pid == $$ || pid == BASHPID)) && continue
  if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF -- "$marker"; then
    pids+=("$pid")
  fi
done
mounts=()
while read -r _ point type _; do
  [[ $type == fuse* && $point == "$folder"/* ]] && mounts+=("$point")
done </proc/self/mounts
status=0
for pid in "${pids[@]}"; do
  echo "left running by a test: $(ps -o pid=,args= -p "$pid" 2>/dev/null)" >&2
  kill "$pid" 2>/dev/null
  status=1
done
for point in "${mounts[@]}"; do
  echo "left mounted by a test: $point" >&2
  fusermount3 -u -z "$point" 2>/dev/null || umount -l "$point" 2>/dev/null
  status=1
done
if ((${#pids[@]} > 0)); then
  sleep 1
  for pid in "${pids[@]}"; do
    kill -9 "$pid" 2>/dev/null
  done
fi
((status == 0)) && echo "no process or mount of the tests is left"
exit "$status"
