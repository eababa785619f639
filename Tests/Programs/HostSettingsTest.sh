#!/usr/bin/env bash
# The settings command against a project folder of its own.
# Faults caught: a set that does not reach Config/DefaultGame.ini or is not read back by the next run (save or
# load through the wrong file or section); defaults that differ from the settings object's; a bad value that is
# written anyway or touches the file; a refusal with the wrong exit status.
# Usage: HostSettingsTest.sh <path to orvida-livelink>
set -uo pipefail
program=$1
project=$(mktemp -d)
trap 'rm -rf "$project"' EXIT
failures=0
passes=0

expect() { # name, expected exit code, expected standard output, arguments...
  local name=$1 code=$2 expected=$3
  shift 3
  local output status
  output=$(timeout 20 "$program" settings "$@" --project "$project" 2>/dev/null)
  status=$?
  if [ "$status" != "$code" ] || [ "$output" != "$expected" ]; then
    echo "FAIL $name: exit $status (wanted $code)"
    diff <(echo "$expected") <(echo "$output") | sed 's/^/  /'
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
}

expect "defaults of a project without saved values" 0 "NetworkServerAddressByDefault=0.0.0.0
NetworkPortIdByDefault=9001
bAutoLens=true
bAutoSceneTakeUpdate=true
bAutoRecord=false
SubjectNameByDefault=Orvida - Camera" list

expect "set a port" 0 "" set NetworkPortIdByDefault=9100
expect "set an address" 0 "" set NetworkServerAddressByDefault=127.0.0.1
expect "set a flag" 0 "" set bAutoRecord=true
expect "set a name with spaces" 0 "" set "SubjectNameByDefault=B Cam"
expect "get reads what set saved" 0 "9100" get NetworkPortIdByDefault
expect "list reads what set saved" 0 "NetworkServerAddressByDefault=127.0.0.1
NetworkPortIdByDefault=9100
bAutoLens=true
bAutoSceneTakeUpdate=true
bAutoRecord=true
SubjectNameByDefault=B Cam" list
if ! grep -q '^NetworkPortIdByDefault=9100' "$project/Config/DefaultGame.ini"; then
  echo "FAIL: Config/DefaultGame.ini does not hold the port:"
  sed 's/^/  /' "$project/Config/DefaultGame.ini"
  failures=$((failures + 1))
fi

before=$(sha256sum < "$project/Config/DefaultGame.ini")
while read -r assignment; do
  expect "refused: $assignment" 2 "" set "$assignment"
done <<'EOF_CASES'
NetworkPortIdByDefault=65536
NetworkPortIdByDefault=-1
NetworkPortIdByDefault=9x
NetworkPortIdByDefault=
NetworkServerAddressByDefault=300.1.1.1
NetworkServerAddressByDefault=10.0.0
NetworkServerAddressByDefault=localhost
bAutoLens=yes
bAutoLens=True
NoSuchKey=1
NetworkPortIdByDefault
EOF_CASES
expect "refused: unknown key to get" 2 "" get NoSuchKey
if [ "$(sha256sum < "$project/Config/DefaultGame.ini")" != "$before" ]; then
  echo "FAIL: a refused value changed Config/DefaultGame.ini"
  failures=$((failures + 1))
fi

# Two commands at once each read the file, change one key and save: without taking turns, one change is lost.
lost=0
for try in $(seq 1 20); do
  timeout 20 "$program" settings set NetworkPortIdByDefault=$((9200 + try)) --project "$project" 2>/dev/null &
  timeout 20 "$program" settings set bAutoLens=$([ $((try % 2)) = 0 ] && echo true || echo false) --project "$project" 2>/dev/null &
  wait
  grep -q "^NetworkPortIdByDefault=$((9200 + try))\$" "$project/Config/DefaultGame.ini" &&
    grep -qi "^bAutoLens=$([ $((try % 2)) = 0 ] && echo true || echo false)\$" "$project/Config/DefaultGame.ini" || lost=$((lost + 1))
done
if [ "$lost" != 0 ]; then
  echo "FAIL: two settings set at once lost a change in $lost of 20 tries"
  failures=$((failures + 1))
fi

echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
