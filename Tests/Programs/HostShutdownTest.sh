#!/usr/bin/env bash
# Ctrl-C end to end. One SIGINT: the host shuts down in order and exits 0. A second signal before the first
# has been acted on: the host exits at once with 130, without the orderly lines.
# Faults caught: a signal that kills the host instead of stopping it; a shutdown step skipped or done out of
# order (a source left running, the Take Recorder still attached, the module still loaded); a second Ctrl-C
# that is ignored and waits for the shutdown.
# The second signal is delivered while the host is stopped (SIGSTOP), so that both are pending together when it
# resumes: two SIGINTs would merge into one, so the second is a SIGTERM, which the host treats alike.
# Usage: HostShutdownTest.sh <path to orvida-livelink>
set -uo pipefail
program=$1
project=$(mktemp -d)
out=$(mktemp)
trap 'rm -rf "$project" "$out"' EXIT
failures=0

start_host() { # starts the host in the background, sets pid, waits for the start-up line
  "$program" --project "$project" --source 127.0.0.1:0 > "$out" 2>/dev/null &
  pid=$!
  for _ in $(seq 300); do
    grep -q 'listening on' "$out" && return 0
    sleep 0.1
  done
  echo "FAIL: no start-up line"
  return 1
}

wait_host() { # waits (bounded) for the host to end, sets status
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    echo "FAIL: the host did not end"
    failures=$((failures + 1))
  fi
  wait "$pid"
  status=$?
}

if start_host; then
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\):.*/\1/p' "$out")
  kill -INT "$pid"
  wait_host
  expected="shutting down
source 127.0.0.1:$port shut down and destroyed
take recorder detached
module OrvidaLiveLink unloaded
stopped"
  if [ "$status" != 0 ] || [ "$(tail -n 5 "$out")" != "$expected" ]; then
    echo "FAIL one SIGINT: exit $status (wanted 0), output:"
    sed 's/^/  /' "$out"
    failures=$((failures + 1))
  fi
else
  failures=$((failures + 1))
fi

if start_host; then
  kill -STOP "$pid"
  kill -INT "$pid"
  kill -TERM "$pid"
  kill -CONT "$pid"
  wait_host
  if [ "$status" != 130 ] || grep -q 'stopped' "$out"; then
    echo "FAIL second signal: exit $status (wanted 130), output:"
    sed 's/^/  /' "$out"
    failures=$((failures + 1))
  fi
else
  failures=$((failures + 1))
fi

[ "$failures" = 0 ] && echo passed
[ "$failures" = 0 ]
