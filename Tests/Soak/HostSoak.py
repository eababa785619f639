#!/usr/bin/env python3
"""Minutes of an impaired stream into the host, reading its console for figures that contradict each other.

Usage: HostSoak.py ORVIDA_LIVELINK ORVIDA_SEND SECONDS

orvida-send streams with jitter, loss, reordering, duplicates and garbage into `orvida-livelink --console`. Each
console line is checked on its own (every datagram decoded at most once, drops within the samples, the ring
within its capacity) and against the line before (no counter goes back). Once the sender is done, the host's
totals must be the sender's: every datagram received, every garbled one unparsed, none without a camera.
Exits 1 with a line per contradiction, 0 when there is none."""
import re
import select
import subprocess
import sys
import tempfile
import time

COUNTERS = ("received", "samples", "dropped", "unparsed", "no camera", "gaps", "repeats", "underruns")
FIELD = re.compile(r"(received|samples|dropped|unparsed|no camera|gaps|repeats|underruns) (\d+)")
RING = re.compile(r"ring (\d+)/(\d+)")
SUMMARY = re.compile(r"(\d+) messages .*?(\d+) dropped, (\d+) duplicated, (\d+) reordered, (\d+) garbled on purpose; (\d+) datagrams sent, (\d+) refused")
# The snapshot reads one figure after another while the receiver runs, so a line may count a datagram or two
# as decoded that it does not count as received yet.
IN_FLIGHT = 2


def check_line(line, previous):
    """The contradictions in one console line, and its figures."""
    figures = {name: int(value) for name, value in FIELD.findall(line)}
    ring = RING.search(line)
    if len(figures) != len(COUNTERS) or not ring:
        return [f"unreadable console line: {line!r}"], previous
    problems = []
    decoded = figures["samples"] + figures["unparsed"] + figures["no camera"]
    if decoded > figures["received"] + IN_FLIGHT:
        problems.append(f"{decoded} datagrams decoded of {figures['received']} received")
    if figures["dropped"] > figures["samples"]:
        problems.append(f"{figures['dropped']} samples dropped of {figures['samples']}")
    if not 0 <= int(ring.group(1)) <= int(ring.group(2)):
        problems.append(f"ring {ring.group(0)}")
    if int(ring.group(1)) > figures["samples"] - figures["dropped"]:
        problems.append(f"ring {ring.group(0)} holds more than the {figures['samples'] - figures['dropped']} samples not dropped")
    for name in COUNTERS:
        if previous and figures[name] < previous[name]:
            problems.append(f"{name} went back from {previous[name]} to {figures[name]}")
    return [f"{problem}: {line}" for problem in problems], figures


def main():
    host_program, send_program, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    problems = []
    lines = 0
    last = None
    with tempfile.TemporaryDirectory() as project:
        host = subprocess.Popen([host_program, "--project", project, "--console", "--source", "127.0.0.1:0"], stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, text=True)
        try:
            start_up = host.stdout.readline()
            port = re.search(r"listening on 127\.0\.0\.1:(\d+)", start_up)
            if not port:
                print(f"FAIL: no start-up line naming the bound endpoint: {start_up!r}")
                return 1
            sender = subprocess.Popen([send_program, "--to", f"127.0.0.1:{port.group(1)}", "--rate", "60", "--duration", str(seconds), "--jitter", "8",
                                       "--loss", "2", "--reorder", "3", "--duplicate", "2", "--garbage", "2", "--seed", "17"],
                                      stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            # Bounded: the sender's own duration, then a few seconds for the host's figures to settle.
            deadline = time.monotonic() + seconds + 30
            settle_until = None
            while time.monotonic() < deadline and (settle_until is None or time.monotonic() < settle_until):
                if settle_until is None and sender.poll() is not None:
                    settle_until = time.monotonic() + 3
                ready, _, _ = select.select([host.stdout], [], [], 0.5)
                if not ready:
                    continue
                line = host.stdout.readline()
                if not line:
                    problems.append("the host's output ended")
                    break
                if "received" not in line:
                    continue
                lines += 1
                line_problems, last = check_line(line.strip(), last)
                problems += line_problems
            summary = SUMMARY.search(sender.communicate(timeout=10)[0])
        finally:
            host.terminate()
            host.wait(timeout=10)
    if not summary or last is None:
        problems.append("no sender summary or no console line to compare it with")
    else:
        sent, garbled = int(summary.group(6)), int(summary.group(5))
        if last["received"] != sent:
            problems.append(f"the host received {last['received']} datagrams, the sender sent {sent}")
        if last["samples"] + last["unparsed"] + last["no camera"] != last["received"]:
            problems.append(f"at rest, {last['samples']} samples + {last['unparsed']} unparsed + {last['no camera']} without camera != {last['received']} received")
        if last["unparsed"] < garbled or last["no camera"] != 0:
            problems.append(f"{last['unparsed']} unparsed and {last['no camera']} without camera for {garbled} garbled messages")
        print(f"{lines} console lines; sender: {summary.group(0)}; host: {last}")
    for problem in problems[:50]:
        print(f"FAIL: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
