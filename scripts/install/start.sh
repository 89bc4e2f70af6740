#!/usr/bin/env bash
# Starts the team: eleven players with the uniform numbers 1 to 11, each one
# tovra process run from this directory, which holds the program and its
# data (Acts/, formation.conf, outputdata).
#
#   ./start.sh [host] [port]        (defaults 127.0.0.1 and 3100)
#
# Each player's output goes to log/player-N.log here. The started processes
# are listed in team.pids (process id, start time, uniform number); kill.sh
# stops exactly those.
set -u

dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
host="${1:-127.0.0.1}"
port="${2:-3100}"
pidfile="$dir/team.pids"

if [ $# -gt 2 ] || [ "$host" = "-h" ] || [ "$host" = "--help" ]; then
  echo "usage: start.sh [host] [port]" >&2
  exit 2
fi
if ! [[ "$port" =~ ^[0-9]+$ ]] || [ "$port" -lt 1 ] || [ "$port" -gt 65535 ]; then
  echo "start.sh: the port must be a number from 1 to 65535, not '$port'" >&2
  exit 2
fi
if [ ! -x "$dir/tovra" ]; then
  echo "start.sh: there is no program $dir/tovra" >&2
  exit 1
fi

# The start time of a process (clock ticks since boot, field 22 of its stat
# file); together with the id it names one process even after ids are reused.
start_time() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  stat="${stat##*) }"  # the command name may hold blanks and parentheses
  set -- $stat
  echo "${20}"
}

if [ -s "$pidfile" ]; then
  while read -r pid start unum; do
    if [[ "$pid" =~ ^[0-9]+$ ]] && [ "$(start_time "$pid")" = "$start" ]; then
      echo "start.sh: the team is already running (see $pidfile); stop it with kill.sh first" >&2
      exit 1
    fi
  done < "$pidfile"
fi

for item in Acts formation.conf outputdata; do
  [ -e "$dir/$item" ] || echo "start.sh: warning: $dir/$item is missing; the players run without it" >&2
done

mkdir -p "$dir/log" || exit 1
cd "$dir" || exit 1
: > "$pidfile" || exit 1
for unum in $(seq 1 11); do
  ./tovra --host "$host" --port "$port" --unum "$unum" < /dev/null > "log/player-$unum.log" 2>&1 &
  pid=$!
  echo "$pid $(start_time "$pid") $unum" >> "$pidfile"
done
echo "started 11 players against $host:$port; output in $dir/log, stop them with $dir/kill.sh"
