#!/usr/bin/env python3
"""orvida-send into orvida-livelink over 127.0.0.1, both as their users run them: every datagram accounted for in
the console's stream health, takes recorded from the stream, a take and a trajectory replayed into a host, two
senders on one port, and the host's own --demo.

Faults caught: health counters that miss datagrams or count them twice, that take garbled text for a timecode
gap or a duplicate for a gap; samples published out of the order received, or lost between the ring and the
take; a replayed take that differs from the take it came from (values rounded away, ticks sent as frames); a
trajectory sent out of order or in the wrong units; a sender table that merges two senders; a demo that never
streams or never starts its take.
Usage: SenderHostTest.py <path to orvida-livelink> <path to orvida-send>"""
import csv
import json
import pathlib
import re
import signal
import socket
import subprocess
import sys
import tempfile

from HostProcess import HostProcess

HOST_PROGRAM, SEND_PROGRAM = sys.argv[1], sys.argv[2]
PAIRS = ("received", "samples", "dropped", "rate", "timecode", "ring", "take", "unparsed", "no camera", "foreign keys", "gaps",
         "repeats", "underruns", "jitter", "last datagram", "senders")
SUMMARY = re.compile(r"(\d+) messages in [\d.]+ s(?: \(stopped\))?: (\d+) dropped, (\d+) duplicated, (\d+) reordered, (\d+) garbled on purpose; "
                     r"(\d+) datagrams sent")
failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")
    return condition


def parse_console(line):
    """A console line as {name: value text}, or None for any other line."""
    parts = line.rstrip("\n").split(", ")
    if len(parts) < len(PAIRS) + 1 or " " not in parts[0]:
        return None
    values = {}
    for part, name in zip(parts[1:], PAIRS):
        if not part.startswith(name + " "):
            return None
        values[name] = part[len(name) + 1:]
    values["count"] = lambda name: int(values[name].split()[0])
    return values


class Host(HostProcess):
    """orvida-livelink --console on a port the system picks."""

    def __init__(self, project, *options):
        super().__init__([HOST_PROGRAM, "--project", str(project), "--console", "--source", "127.0.0.1:0", *options], stderr=subprocess.DEVNULL)
        found = self.wait_for_line(lambda line: re.search(r"listening on 127\.0\.0\.1:(\d+): Waiting for data", line), 20)
        self.port = int(found.group(1)) if found else None

    def wait_for_console(self, test, seconds=20):
        return self.wait_for_line(lambda line: (values := parse_console(line)) and test(values) and values, seconds)

    def stop(self):
        if not super().stop()[0]:
            failures.append("the host did not stop after SIGINT")


def send(*options):
    """Runs orvida-send to completion; its summary's counts, or None with the failure noted."""
    run = subprocess.run([SEND_PROGRAM, *options], capture_output=True, text=True, timeout=120)
    found = SUMMARY.search(run.stdout)
    if not check(f"orvida-send {' '.join(options)}", run.returncode == 0 and found, run.stdout + run.stderr):
        return None
    return dict(zip(("messages", "dropped", "duplicated", "reordered", "garbled", "datagrams"), map(int, found.groups())))


def take_rows(project):
    """The rows of the project's one take, each without WorldTime and SubFrame (when and how far into a frame the
    tick ran) and Source (each host gives its source a guid of its own), and with the rows of one sample published over several ticks made one."""
    takes = list(pathlib.Path(project, "Saved", "Takes").glob("*.csv"))
    if not check("one take", len(takes) == 1, str(takes)):
        return []
    with open(takes[0], newline="") as file:
        next(file)
        rows = [{k: v for k, v in row.items() if k not in ("WorldTime", "SubFrame", "Source")} for row in csv.DictReader(file)]
    return [row for index, row in enumerate(rows) if index == 0 or row != rows[index - 1]]


def timecode(frame, fps):
    return f"{frame // fps // 3600:02}:{frame // fps // 60 % 60:02}:{frame // fps % 60:02}:{frame % fps:02}"


def expected_health(datagrams):
    """Unparsed datagrams, timecode gaps and repeats, from the datagrams in the order they were sent. Each run of
    lost or garbled messages is one skip ahead: a gap. A duplicate repeats its frame number: a repeat. A message
    held back and sent after the next one makes k-1, k+1, k, k+2: two gaps around one step back, a repeat. Next to
    one another these merge, so they are counted on the sequence itself rather than from the summary's counts."""
    unparsed = gaps = repeats = 0
    previous = None
    for datagram in datagrams:
        try:
            frame = json.loads(datagram)["OVDCamera"][0]["Timecode"][0]
        except ValueError:
            unparsed += 1
            continue
        if previous is not None:
            gaps += frame > previous + 1
            repeats += frame <= previous
        previous = frame
    return unparsed, gaps, repeats


def mirror():
    """A socket beside the host's that hears the same datagrams, and a function that returns them once count have
    arrived (or after a bounded wait)."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 22)
    sock.bind(("127.0.0.1", 0))
    sock.settimeout(5)

    def received(count):
        datagrams = []
        try:
            while len(datagrams) < count:
                datagrams.append(sock.recv(65536))
        except socket.timeout:
            pass
        sock.close()
        return datagrams

    return sock.getsockname()[1], received


def stream_accounting(workdir, name, impairments):
    """Three seconds at 50 messages a second, recording from 1 s to 2 s: every datagram in the host's counters and,
    unimpaired, every recording frame in the take in order. Returns the project of the take."""
    project = pathlib.Path(workdir, name)
    host = Host(project, "--take", "--record", "--take-panel", "--countdown", "0")
    if not check(f"{name}: start-up line", host.port):
        host.stop()
        return None
    mirror_port, mirrored = mirror()
    summary = send("--to", f"127.0.0.1:{host.port}", "--to", f"127.0.0.1:{mirror_port}", "--rate", "50", "--duration", "3", "--slate", "E2E",
                   "--take", "3", "--record-after", "1", "--stop-after", "2", *impairments)
    if summary:
        sent = summary["messages"] - summary["dropped"] + summary["duplicated"]
        check(f"{name}: datagrams sent", summary["datagrams"] == 2 * sent, str(summary))
        datagrams = mirrored(sent)
        line = host.wait_for_console(lambda v: v["count"]("received") >= sent and v["take"].endswith("stopped") and v["timecode"] >= timecode(100, 50))
        if check(f"{name}: a console line with all {sent} datagrams, the take stopped", line):
            unparsed, gaps, repeats = expected_health(datagrams)
            check(f"{name}: received", line["count"]("received") == sent, str(line))
            check(f"{name}: unparsed", line["count"]("unparsed") == unparsed and unparsed >= summary["garbled"], f"{unparsed} {summary} {line}")
            check(f"{name}: gaps", line["count"]("gaps") == gaps, f"{gaps} {line}")
            check(f"{name}: repeats", line["count"]("repeats") == repeats, f"{repeats} {line}")
            # Take 3 recorded, after which the recorder names the next take 4.
            check(f"{name}: nothing foreign, one sender",
                  (line["no camera"], line["foreign keys"], line["senders"], line["take"]) == ("0", "0", "1", "E2E #4 stopped"), str(line))
            if not impairments:
                check(f"{name}: nothing lost", (gaps, repeats, unparsed) == (0, 0, 0))
                # Frames 50 to 99 say recording. Each tick publishes the sample due then, so a tick held up past
                # two frames (a loaded machine) skips one by design; in order and mostly there is what holds.
                frames = [int(row["FrameNumber"]) for row in take_rows(project)]
                check(f"{name}: the take's frames", frames == sorted(set(frames)) and set(frames) <= set(range(50, 100)) and
                      len(frames) >= 25, f"{frames} {line}")
    host.stop()
    return project


def take_replay(workdir, first_project):
    """The take of an unimpaired stream replayed into a second host: the same take, tick for frame."""
    takes = list(pathlib.Path(first_project, "Saved", "Takes").glob("*.csv"))
    first = take_rows(first_project)
    if not check("replay: a take to replay", takes and first):
        return
    project = pathlib.Path(workdir, "replayed")
    host = Host(project, "--take", "--record", "--take-panel", "--countdown", "0")
    summary = host.port and send("--to", f"127.0.0.1:{host.port}", "--replay", str(takes[0]), "--record-after", "0")
    last = int(first[-1]["FrameNumber"])
    if summary and check("replay: one message a frame", summary["messages"] == len(first), f"{summary} {len(first)}"):
        check("replay: the last frame published", host.wait_for_console(lambda v: v["timecode"] == timecode(last, 50)))
    host.stop()
    second = take_rows(project)
    # Every replayed frame must come back with the values it was recorded with. As in the first take, a tick held
    # up past two frames skips one, so the second take may lack some of the first's frames, never add one.
    recorded = {row["FrameNumber"]: row for row in first}
    changed = [row for row in second if recorded.get(row["FrameNumber"]) != row]
    frames = [int(row["FrameNumber"]) for row in second]
    check("replay: the same rows", not changed and frames == sorted(set(frames)) and len(second) >= len(first) // 2,
          f"\nchanged {changed[:3]}\nfirst {[row['FrameNumber'] for row in first]}\nsecond {frames}")


def trajectory_replay(workdir):
    """Poses at 25 a second with one pause: the take keeps their order, their timing as frame numbers, and their
    positions in centimetres."""
    times = [100.0 + 0.04 * i + (0.2 if i >= 12 else 0.0) for i in range(25)]
    poses = [(t, 1.5 + 0.01 * i, -2.0 * i / 25, 0.25, 0.0, 0.0, 0.0, 1.0) for i, t in enumerate(times)]
    path = pathlib.Path(workdir, "trajectory.txt")
    path.write_text("# timestamp tx ty tz qx qy qz qw\n" + "".join(" ".join(f"{value:.6f}" for value in pose) + "\n" for pose in poses))
    project = pathlib.Path(workdir, "trajectory")
    host = Host(project, "--take", "--record", "--take-panel", "--countdown", "0")
    frames = [round((t - times[0]) * 25) for t in times]
    if host.port and send("--to", f"127.0.0.1:{host.port}", "--replay", str(path), "--rate", "25", "--record-after", "0"):
        check("trajectory: the last frame published", host.wait_for_console(lambda v: v["timecode"] == timecode(frames[-1], 25)))
    host.stop()
    rows = take_rows(project)
    check("trajectory: frame numbers", [int(row["FrameNumber"]) for row in rows] == frames, f"{[row['FrameNumber'] for row in rows]} {frames}")
    located = [[float(row[axis]) for axis in ("LocationX", "LocationY", "LocationZ")] for row in rows]
    check("trajectory: centimetres", len(located) == len(poses) and
          all(abs(got - 100 * want) < 1e-3 for row, pose in zip(located, poses) for got, want in zip(row, pose[1:4])), str(located[:3]))


def two_senders(workdir):
    host = Host(pathlib.Path(workdir, "two"))
    senders = [subprocess.Popen([SEND_PROGRAM, "--to", f"127.0.0.1:{host.port}", "--duration", "20"], stdout=subprocess.DEVNULL)
               for _ in range(2)] if host.port else []
    check("two senders: senders 2", host.wait_for_console(lambda v: v["senders"] == "2"), "".join(host.lines[-3:]))
    for sender in senders:
        sender.send_signal(signal.SIGINT)
        sender.wait(timeout=30)
    host.stop()


def demo(workdir):
    """--demo streams into the host's source and its take records from 5 s on."""
    host = Host(pathlib.Path(workdir, "demo"), "--demo", "--take", "--record", "--take-panel", "--countdown", "0", "--seconds", "8")
    host.process.wait(timeout=60)
    host.reader.join(timeout=10)
    lines = [values for values in map(parse_console, host.lines) if values]
    samples = [values["count"]("samples") for values in lines]
    check("demo: samples rise", len(samples) >= 3 and samples == sorted(samples) and samples[0] < samples[-1], str(samples))
    check("demo: the take records", any(values["take"] == "DEMO #1 recording" for values in lines), "".join(host.lines))
    check("demo: stopped with the sender's summary", any(line.startswith("demo: ") and "(stopped)" in line for line in host.lines), "".join(host.lines))


def main():
    with tempfile.TemporaryDirectory() as workdir:
        clean = stream_accounting(workdir, "clean", [])
        stream_accounting(workdir, "impaired", ["--loss", "5", "--duplicate", "5", "--reorder", "5", "--garbage", "5", "--seed", "7"])
        if clean:
            take_replay(workdir, clean)
        trajectory_replay(workdir)
        two_senders(workdir)
        demo(workdir)
    print("\n".join(f"FAIL {failure}" for failure in failures) or "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
