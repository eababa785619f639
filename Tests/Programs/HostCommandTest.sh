#!/usr/bin/env bash
# The host's start-up and its refusal to run without a usable source.
# Faults caught: a start-up line that names ":0" instead of the port the system picked; a source that cannot bind
# left unreported, or the host running on (or exiting 0) without any usable source; a source that cannot bind
# dropped from the host's sources (the console and the browser show that list), or failing a host whose other
# source receives.
# Usage: HostCommandTest.sh <path to orvida-livelink>
set -uo pipefail
program=$1
project=$(mktemp -d)
trap 'rm -rf "$project"' EXIT
failures=0

first_line=$(timeout 20 "$program" --project "$project" --source 127.0.0.1:0 --seconds 0.1 | head -n 1)
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\):.*/\1/p' <<< "$first_line")
if [ -z "$port" ] || [ "$port" = 0 ]; then
  echo "FAIL: the start-up line does not name the picked port: $first_line"
  failures=$((failures + 1))
fi

# 192.0.2.1 is a documentation address that no machine here has.
errors=$(timeout 20 "$program" --project "$project" --source 192.0.2.1:9001 2>&1 >/dev/null)
status=$?
if [ "$status" != 1 ] || ! grep -q 'cannot receive on 192\.0\.2\.1:9001' <<< "$errors"; then
  echo "FAIL: an endpoint that cannot be bound: exit $status (wanted 1), standard error:"
  sed 's/^/  /' <<< "$errors"
  failures=$((failures + 1))
fi

output=$(timeout 20 "$program" --project "$project" --source 192.0.2.1:9001 --source 127.0.0.1:0 --seconds 0.1 2>&1)
status=$?
if [ "$status" != 0 ] || ! grep -q 'cannot receive on 192\.0\.2\.1:9001' <<< "$output" ||
  ! grep -q '^source 192\.0\.2\.1:9001 shut down and destroyed' <<< "$output"; then
  echo "FAIL: a source that cannot bind beside one that can: exit $status (wanted 0), output:"
  sed 's/^/  /' <<< "$output"
  failures=$((failures + 1))
fi

[ "$failures" = 0 ] && echo passed
[ "$failures" = 0 ]
