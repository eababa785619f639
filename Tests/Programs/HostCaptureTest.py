#!/usr/bin/env python3
"""The host's --capture end to end, read back with tshark, then replayed into a second host.

orvida-send streams into two sources of `orvida-livelink --capture`; tshark must find every datagram, in order,
as UDP to the source's bound port with the right lengths, a good IPv4 checksum and a wall-clock arrival time;
`orvida-send --replay --port-filter` of that capture into a second host must give it the same samples.

Faults caught: wrong lengths or byte order in the rebuilt headers (payloads that do not read back as the messages
sent, ports that are not the sources'); a bad IPv4 header checksum; microseconds where the file says nanoseconds,
or a steady clock instead of wall time; datagrams missing from the file at shutdown; the port asked for (0) in
place of the bound one; a capture file that cannot be opened not stopping the host with status 2; a failing disk
ending in silence and status 0. (Datagrams still queued when the writer closes are HostTests' to catch: here
the writer has long caught up by the time the host stops.)
Exits 77 (skipped) when tshark is not installed.
Usage: HostCaptureTest.py <path to orvida-livelink> <path to orvida-send>"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from HostProcess import HostProcess

HOST, SENDER = sys.argv[1], sys.argv[2]
LISTENING = re.compile(r"listening on 127\.0\.0\.1:(\d+): Waiting for data")
COUNTS = {"first": 20, "second": 7}
failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")


class Host(HostProcess):
    """orvida-livelink in console mode with a capture, its sources on ports the system picks."""

    def __init__(self, project, sources, capture):
        arguments = [HOST, "--project", project, "--console", "--capture", capture]
        for _ in range(sources):
            arguments += ["--source", "127.0.0.1:0"]
        super().__init__(arguments)
        self.ports = []
        if self.wait_for(lambda: len([l for l in self.lines if LISTENING.search(l)]) == sources):
            self.ports = [int(LISTENING.search(l).group(1)) for l in self.lines if LISTENING.search(l)]

    def console_shows(self, port, samples, timecode):
        """Whether a console line has shown the source with this many samples and this last timecode, or, for a
        source whose subject the client keeps disabled (it enables one subject of a name), with this many samples and
        no frame. What the ring dropped is left out: it depends on when the game thread ticked."""
        start = rf"127\.0\.0\.1:{port} (?:Receiving|Waiting for data), received \d+ \([0-9.]+/s\), samples {samples}, dropped \d+, "
        line = re.compile(start + rf"(?:rate 100/1, timecode {timecode},|rate -, timecode -,.*, subject disabled)")
        return any(line.match(l) for l in list(self.lines))

    def disabled(self, port):
        """Whether the last console line of the source says its subject is disabled."""
        lines = [l for l in list(self.lines) if l.startswith(f"127.0.0.1:{port} ")]
        return bool(lines) and ", subject disabled" in lines[-1]

    def stop(self):
        ended, status, out, err = super().stop()
        if not ended:
            failures.append("a host did not stop after SIGINT")
        return status, out, err


def tail(text, lines=6):
    return "\n".join(text.splitlines()[-lines:])


def send(arguments):
    try:
        run = subprocess.run([SENDER] + arguments, capture_output=True, text=True, timeout=30)
        check(f"orvida-send {arguments}", run.returncode == 0, run.stderr)
    except subprocess.TimeoutExpired:
        failures.append(f"orvida-send {arguments} did not finish")


def read_capture(path):
    """(srcport, dstport, udp length, arrival, checksum status, payload) per packet, in the file's order."""
    fields = ["udp.srcport", "udp.dstport", "udp.length", "frame.time_epoch", "ip.checksum.status", "udp.payload", "ip.src", "ip.dst"]
    arguments = ["tshark", "-r", path, "-o", "ip.check_checksum:TRUE", "-T", "fields", "-E", "separator=,"]
    for field in fields:
        arguments += ["-e", field]
    run = subprocess.run(arguments, capture_output=True, text=True, timeout=60)
    check("tshark reads the capture", run.returncode == 0, run.stderr)
    rows = [line.split(",") for line in run.stdout.splitlines()]
    return [(int(r[0]), int(r[1]), int(r[2]), float(r[3]), r[4], bytes.fromhex(r[5]), r[6], r[7]) for r in rows if len(r) == len(fields)]


def check_stream(name, packets, port, count, started, ended):
    check(f"{name}: datagrams to the source's port", len(packets) == count, f"{len(packets)} of {count} to port {port}")
    frames = []
    for srcport, _, length, arrival, checksum, payload, source, destination in packets:
        check(f"{name}: udp.length is the payload's and 8", length == len(payload) + 8, f"{length} for {len(payload)} bytes")
        check(f"{name}: good IPv4 checksum", checksum == "1", checksum)
        check(f"{name}: loopback addresses", (source, destination) == ("127.0.0.1", "127.0.0.1"), f"{source} to {destination}")
        check(f"{name}: arrival in wall time during the run", started <= arrival <= ended, f"{arrival} not in [{started}, {ended}]")
        check(f"{name}: one sender port", srcport == packets[0][0], f"{srcport} after {packets[0][0]}")
        try:
            frames.append(json.loads(payload)["OVDCamera"][0]["Timecode"][0])
        except (ValueError, KeyError, IndexError):
            failures.append(f"{name}: a payload is not the message sent: {payload[:60]!r}")
    check(f"{name}: every message once, in order", frames == list(range(count)), str(frames))
    arrivals = [p[3] for p in packets]
    check(f"{name}: arrivals in order", arrivals == sorted(arrivals), str(arrivals))


def main():
    if shutil.which("tshark") is None:
        print("SKIP: tshark is not installed (Scripts/bootstrap.sh installs it)")
        return 77
    with tempfile.TemporaryDirectory() as folder:
        project = os.path.join(folder, "project")
        os.mkdir(project)

        missing = os.path.join(folder, "no such folder", "capture.pcap")
        run = subprocess.run([HOST, "--project", project, "--source", "127.0.0.1:0", "--capture", missing], capture_output=True, text=True, timeout=60)
        check("an unopenable capture file: status 2 naming it", run.returncode == 2 and missing in run.stderr, f"{run.returncode} {run.stderr!r}")
        if os.path.exists("/dev/full"):
            run = subprocess.run([HOST, "--project", project, "--source", "127.0.0.1:0", "--capture", "/dev/full", "--seconds", "0.5"],
                                 capture_output=True, text=True, timeout=60)
            # The file's header is written when the capture opens, so a full disk is refused before anything runs.
            check("a full disk: status 2 and an error line", run.returncode == 2 and "cannot write the capture file /dev/full" in run.stderr,
                  f"{run.returncode} {run.stderr!r}")

        # Two sources, each sent its own stream at 100 frames a second; the host is stopped once its console has
        # shown each stream's last sample.
        capture = os.path.join(folder, "first.pcap")
        started = time.time()
        first = Host(project, 2, capture)
        if len(first.ports) != 2:
            first.stop()
            print(f"FAIL: no start-up lines naming two bound endpoints: {first.lines}")
            return 1
        ports = dict(zip(COUNTS, first.ports))
        send(["--to", f"127.0.0.1:{ports['first']}", "--count", str(COUNTS["first"]), "--rate", "100"])
        send(["--to", f"127.0.0.1:{ports['second']}", "--count", str(COUNTS["second"]), "--rate", "100", "--path", "dolly"])
        last = {name: f"00:00:00:{COUNTS[name] - 1:02d}" for name in COUNTS}
        shown = first.wait_for(lambda: all(first.console_shows(ports[name], COUNTS[name], last[name]) for name in COUNTS))
        disabled = [name for name in COUNTS if first.disabled(ports[name])]
        status, out, err = first.stop()
        ended = time.time()
        check("first host: every sample and the last timecode on its console", shown, tail(out))
        check("first host: one of the two subjects of one name disabled", disabled == ["second"], str(disabled))
        check("first host: status 0", status == 0, f"{status} {err}")
        check("first host: capture counts", f"capture {capture}: {sum(COUNTS.values())} datagrams written, 0 dropped from the capture" in out, tail(out))
        packets = read_capture(capture)
        check("capture: only the two sources' ports", {p[1] for p in packets} == set(ports.values()), str({p[1] for p in packets}))
        for name in COUNTS:
            check_stream(name, [p for p in packets if p[1] == ports[name]], ports[name], COUNTS[name], started, ended)

        # The first stream replayed from the capture into a second host: the same payloads reach it, and its
        # console shows the same samples as the first host's.
        second_capture = os.path.join(folder, "second.pcap")
        second = Host(project, 1, second_capture)
        if len(second.ports) != 1:
            second.stop()
            print(f"FAIL: the second host names no bound endpoint: {second.lines}")
            return 1
        send(["--replay", capture, "--port-filter", str(ports["first"]), "--to", f"127.0.0.1:{second.ports[0]}"])
        shown = second.wait_for(lambda: second.console_shows(second.ports[0], COUNTS["first"], last["first"]))
        status, out, err = second.stop()
        check("second host: the first host's samples and last timecode on its console", shown, tail(out))
        check("second host: status 0", status == 0, f"{status} {err}")
        replayed = [p[5] for p in read_capture(second_capture)]
        check("replay: the same payloads in the same order", replayed == [p[5] for p in packets if p[1] == ports["first"]],
              f"{len(replayed)} payloads")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
