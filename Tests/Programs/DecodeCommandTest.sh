#!/usr/bin/env bash
# The decode command end to end: what it prints and its exit codes, for a sample, no sample and bad usage.
# Usage: DecodeCommandTest.sh <path to orvida-livelink>
set -uo pipefail
program=$1
failures=0
passes=0

expect() { # name, expected exit code, expected output, command...
  local name=$1 code=$2 expected=$3
  shift 3
  local output status
  output=$("$@" 2>/dev/null)
  status=$?
  if [ "$status" != "$code" ] || [ "$output" != "$expected" ]; then
    echo "FAIL $name: exit $status (wanted $code)"
    diff <(echo "$expected") <(echo "$output") | sed 's/^/  /'
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
}

message='{"OVDCamera":[{"Location":[1,2.5,3],"Lens":[0,1,2,3],"Metadata":["s","Caf\u00e9","12b"],"State":2}],"Extra":1}'
sample_all='{"Lens":[0.0,1.0,2.0,3.0],"Location":[1.0,2.5,3.0],"Metadata":["s","Café","12b"],"Rotation":[0.0,0.0,0.0,0.0],"Scale":[1.0,1.0,1.0],"State":2,"Timecode":[0,0,0]}'
sample_none='{"Lens":[0.0,0.0,0.0,0.0],"Location":[1.0,2.5,3.0],"Metadata":["","",""],"Rotation":[0.0,0.0,0.0,0.0],"Scale":[1.0,1.0,1.0],"State":0,"Timecode":[0,0,0]}'

expect "options on, from standard input" 0 "$sample_all
ModuleLog: Error: Unknow data received" \
  bash -c "printf '%s' '$message' | '$program' decode --lens --take"

file=$(mktemp)
trap 'rm -f "$file"' EXIT
printf '%s' "$message" > "$file"
expect "options off, from a file" 0 "$sample_none
ModuleLog: Error: Unknow data received" "$program" decode "$file"

printf '[1,2,3]' > "$file"
expect "not a message" 1 "no sample" "$program" decode "$file"
expect "unknown flag" 2 "" "$program" decode --bogus

# Inputs that are no datagram: exit 2 at once (timeout catches an endless read), nothing on standard output, and
# one line on standard error that names the input.
refused() { # name, input path, command...
  local name=$1 input=$2
  shift 2
  local output errors status
  errors=$(mktemp)
  output=$(timeout 20 "$@" 2>"$errors")
  status=$?
  if [ "$status" != 2 ] || [ -n "$output" ] || [ "$(wc -l < "$errors")" != 1 ] || ! grep -qF "$input" "$errors"; then
    echo "FAIL $name: exit $status (wanted 2), stdout '$output', stderr:"
    sed 's/^/  /' "$errors"
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
  rm -f "$errors"
}

folder=$(mktemp -d)
trap 'rm -f "$file"; rm -rf "$folder"' EXIT
refused "missing file" /nonexistent/datagram "$program" decode /nonexistent/datagram
refused "a folder" "$folder" "$program" decode "$folder"
refused "unreadable bytes" /proc/self/mem "$program" decode /proc/self/mem
refused "endless input" /dev/zero "$program" decode /dev/zero
refused "endless standard input" "-" bash -c "'$program' decode - < /dev/zero"

# The largest datagram is still read; one byte more is refused.
head -c 65507 /dev/zero | tr '\0' ' ' > "$file"
expect "largest datagram" 1 "no sample" "$program" decode "$file"
printf ' ' >> "$file"
refused "one byte past the largest datagram" "$file" "$program" decode "$file"

echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
