#!/usr/bin/env bash
# The host's start-up line: with port 0 it must name the port the system picked, not ":0".
# Usage: HostCommandTest.sh <path to orvida-livelink>
set -uo pipefail
program=$1
first_line=$(timeout 20 "$program" --connection 127.0.0.1:0 --seconds 0.1 | head -n 1)
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\):.*/\1/p' <<< "$first_line")
if [ -z "$port" ] || [ "$port" = 0 ]; then
  echo "FAIL: the start-up line does not name the picked port: $first_line"
  exit 1
fi
echo "passed: $first_line"
