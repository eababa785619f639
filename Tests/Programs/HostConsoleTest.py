#!/usr/bin/env python3
"""The host's console mode end to end: a sender on 127.0.0.1 streams camera messages with rising timecode,
recording state and a slate into `orvida-livelink --console --source 127.0.0.1:0 --take --record --take-panel`.

Faults caught: console lines that stop counting samples or show a frozen timecode (snapshot not republished
per tick, or built from the wrong frame); a take state the plug-in's automation never reaches (Take Recorder
not attached or its panel closed); a countdown not shown, or shown as recording; take files written outside the project's Saved/Takes; an empty take file; the
cameras the subject drives missing from its source's line, or a Cine Camera whose field of view is not its focal
length's on the 36 mm sensor; the stream's state not in words, or a clean stream read as decimated or in trouble.
Usage: HostConsoleTest.py <path to orvida-livelink>"""
import csv
import json
import math
import pathlib
import re
import select
import signal
import socket
import subprocess
import sys
import tempfile
import time

LINE = re.compile(r"^127\.0\.0\.1:(\d+) (.+?), received \d+ \([\d.]+/s\), samples (\d+), dropped (\d+), rate (\S+), timecode (\S+), ring (\d+)/(\d+), "
                  r"take (\S+) #(\d+) (recording|stopped|counting down \d+\.\d s), unparsed \d+")
CAMERAS = re.compile(r", Camera (\d+\.\d)° horizontal, Cine Camera (\d+\.\d) mm, (\d+\.\d)° horizontal(?:, take error |$)")


def message(frame, state):
    record = {"Location": [frame, 2, 3], "Timecode": [frame, 25, 1], "Metadata": ["Scene 4", "A004", "12"], "State": state}
    return json.dumps({"OVDCamera": [record]}).encode()


def read_line(process, deadline):
    """One line of the host's standard output, or None once the deadline has passed or the output ended."""
    while time.monotonic() < deadline:
        ready, _, _ = select.select([process.stdout], [], [], 0.2)
        if ready:
            line = process.stdout.readline()
            return line.rstrip("\n") if line else None
    return None


def main():
    program = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as project:
        # A countdown longer than the console's second, so that a line shows it.
        host = subprocess.Popen([program, "--project", project, "--console", "--source", "127.0.0.1:0", "--take", "--record", "--take-panel",
                                 "--countdown", "1.5"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        try:
            deadline = time.monotonic() + 30
            start_up = read_line(host, deadline) or ""
            port = re.search(r"listening on 127\.0\.0\.1:(\d+): Waiting for data", start_up)
            if not port:
                print(f"FAIL: no start-up line naming the bound endpoint: {start_up!r}")
                return 1
            sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            lines = []
            frame = 250
            # 25 messages a second, recording, until three console lines have been seen after the first sample, and
            # one after the countdown.
            while time.monotonic() < deadline and (len([l for l in lines if int(l.group(3)) > 0]) < 3 or
                                                   not any(l.group(11) == "recording" for l in lines)):
                sender.sendto(message(frame, 2), ("127.0.0.1", int(port.group(1))))
                frame += 1
                ready, _, _ = select.select([host.stdout], [], [], 0.04)
                if ready:
                    parsed = LINE.match(host.stdout.readline())
                    if parsed:
                        lines.append(parsed)
            for stop in range(10):
                sender.sendto(message(frame + stop, 0), ("127.0.0.1", int(port.group(1))))
                time.sleep(0.04)
            live = [l for l in lines if int(l.group(3)) > 0]
            samples = [int(l.group(3)) for l in live]
            timecodes = [l.group(6) for l in live]
            if len(live) < 3:
                failures.append(f"fewer than three console lines with samples: {[l.group(0) for l in lines]}")
            elif not (samples == sorted(samples) and samples[-1] > samples[0]):
                failures.append(f"samples do not rise: {samples}")
            elif not (timecodes == sorted(timecodes) and timecodes[-1] > timecodes[0] and timecodes[0] >= "00:00:10:00"):
                failures.append(f"timecode does not rise from 00:00:10:00: {timecodes}")
            states = [l.group(11) for l in live if l.group(9) == "A004" and l.group(10) == "12"]
            first_recording = states.index("recording") if "recording" in states else len(states)
            if first_recording == len(states):
                failures.append(f"no line shows take A004 #12 recording: {[l.group(0) for l in live]}")
            elif not any(state.startswith("counting down") for state in states[:first_recording]):
                failures.append(f"no line shows take A004 #12 counting down before it records: {states}")
            if live and live[-1].group(5) != "25/1":
                failures.append(f"rate is not 25/1: {live[-1].group(0)}")
            if live and not re.search(r", decimated 0, subject \"Orvida - Camera\", state Receiving(?: 2[4-6]/s)?, Camera", live[-1].string):
                failures.append(f"no subject name or no state in words, or not Receiving with nothing decimated, for a clean 25/s stream: {live[-1].string!r}")
            cameras = CAMERAS.search(live[-1].string) if live else None
            if live and not cameras:
                failures.append(f"no cameras at the end of the line: {live[-1].string!r}")
            elif cameras:
                focal_length, field_of_view = float(cameras.group(2)), float(cameras.group(3))
                if abs(math.degrees(2 * math.atan(18 / focal_length)) - field_of_view) > 0.15:
                    failures.append(f"the Cine Camera's field of view is not its focal length's: {cameras.group(0)}")
        finally:
            host.send_signal(signal.SIGINT)
            try:
                host.wait(timeout=30)
            except subprocess.TimeoutExpired:
                host.kill()
                failures.append("the host did not stop after SIGINT")
        takes = list(pathlib.Path(project, "Saved", "Takes").glob("*.csv"))
        if len(takes) != 1 or not takes[0].name.startswith("A004_012"):
            failures.append(f"wanted one take file A004_012*.csv under the project's Saved/Takes, found {takes}")
        else:
            with open(takes[0], newline="") as file:
                first_line = file.readline()
                rows = list(csv.reader(file))
            if first_line != "# Slate: A004, Take: 12\n":
                failures.append(f"the take file does not open with its slate and take: {first_line!r}")
            if len(rows) < 2 or rows[0][0] != "Subject":
                failures.append(f"the take file has no rows: {rows[:2]}")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
