#!/usr/bin/env bash
# Stops the players that start.sh in this directory started: the processes
# listed in team.pids that are still those processes (same id and start
# time). Nothing else is touched. They get SIGTERM, and SIGKILL after five
# seconds if they are still there.
#
#   ./kill.sh
set -u

dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
pidfile="$dir/team.pids"

start_time() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  stat="${stat##*) }"
  set -- $stat
  # A zombie has ended already; it only waits for its parent.
  [ "$1" = "Z" ] && return 1
  echo "${20}"
}

if [ ! -f "$pidfile" ]; then
  echo "kill.sh: no $pidfile, so no team started from here is running"
  exit 0
fi

ours=()
while read -r pid start _; do
  if [[ "$pid" =~ ^[0-9]+$ ]] && [[ "$start" =~ ^[0-9]+$ ]] && [ "$(start_time "$pid")" = "$start" ]; then
    ours+=("$pid:$start")
  fi
done < "$pidfile"

still_running() {
  local left=() entry
  for entry in "${ours[@]}"; do
    [ "$(start_time "${entry%%:*}")" = "${entry##*:}" ] && left+=("$entry")
  done
  ours=("${left[@]+"${left[@]}"}")
  [ ${#ours[@]} -gt 0 ]
}

signal_all() {
  local entry
  for entry in "${ours[@]}"; do
    # Checked once more right before the signal.
    [ "$(start_time "${entry%%:*}")" = "${entry##*:}" ] && kill "-$1" "${entry%%:*}" 2>/dev/null
  done
}

stopped=${#ours[@]}
if [ "$stopped" -gt 0 ]; then
  signal_all TERM
  for _ in $(seq 1 50); do
    still_running || break
    sleep 0.1
  done
  if still_running; then
    echo "kill.sh: ${#ours[@]} players did not end on SIGTERM; sending SIGKILL" >&2
    signal_all KILL
  fi
fi
rm -f "$pidfile"
echo "stopped $stopped players"
