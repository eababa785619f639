#!/usr/bin/env python3
"""orvida-send end to end: twenty messages into a loopback receiver, a stop by SIGINT with its summary, the relay
forwarding 1,000 datagrams to three receivers, and exit status 2 for bad options.
Usage: SenderCommandTest.py <path to orvida-send>"""
import json
import select
import signal
import socket
import subprocess
import sys

program = sys.argv[1]
failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name} {detail}")


def receiver():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 0))
    sock.settimeout(10)
    return sock, sock.getsockname()[1]


# Twenty messages at 100 frames a second: all arrive, in order, counting frames on from the start timecode.
sock, port = receiver()
run = subprocess.run([program, "--to", f"127.0.0.1:{port}", "--count", "20", "--rate", "100", "--timecode", "00:00:59:98",
                      "--slate", "A004", "--take", "12", "--record-after", "0.1"], capture_output=True, text=True, timeout=60)
check("count: exit status", run.returncode == 0, f"{run.returncode} {run.stderr}")
check("count: summary", run.stdout.startswith("orvida-send: 20 messages") and "20 datagrams sent" in run.stdout, repr(run.stdout))
records = [json.loads(sock.recv(65536))["OVDCamera"][0] for _ in range(20)]
check("count: frame numbers", [r["Timecode"] for r in records] == [[5998 + i, 100, 1] for i in range(20)])
check("count: names", all(r["Metadata"][1:] == ["A004", "12"] for r in records))
check("count: recording from 0.1 s", [r["State"] for r in records] == [0] * 10 + [2] * 10, [r["State"] for r in records])
sock.close()

# An endless path stopped by SIGINT still prints its summary and exits normally.
sock, port = receiver()
process = subprocess.Popen([program, "--to", f"localhost:{port}", "--rate", "50"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
sock.recv(65536)
process.send_signal(signal.SIGINT)
out, err = process.communicate(timeout=30)
check("signal: exit status", process.returncode == 0, f"{process.returncode} {err}")
check("signal: summary", "(stopped)" in out, repr(out))
sock.close()

# The relay: 1,000 datagrams to three receivers, each receiver's in the order sent with none lost, and the relay
# ends by itself at --count. Sent in steps of 50 that the receivers drain, so that no queue on the way overflows.
receivers = [receiver() for _ in range(3)]
with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
    probe.bind(("127.0.0.1", 0))
    relay_port = probe.getsockname()[1]
relay = subprocess.Popen([program, "--relay", f"127.0.0.1:{relay_port}", "--count", "1000"] + [a for _, port in receivers for a in ("--to", f"127.0.0.1:{port}")],
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
ready = select.select([relay.stderr], [], [], 20)[0] and relay.stderr.readline()
check("relay: listening", ready and "relaying" in ready, repr(ready))
sent = [b"relay %04d" % index for index in range(1000)]
got = [[] for _ in receivers]
with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as source:
    for start in range(0, len(sent) if ready else 0, 50):
        for datagram in sent[start:start + 50]:
            source.sendto(datagram, ("127.0.0.1", relay_port))
        try:
            for (sock, _), kept in zip(receivers, got):
                while len(kept) < start + 50:
                    kept.append(sock.recv(65536))
        except socket.timeout:
            break
out, err = relay.communicate(timeout=30)
check("relay: exit status", relay.returncode == 0, f"{relay.returncode} {err}")
check("relay: summary", out.startswith("orvida-send: relayed 1000 datagrams") and out.rstrip().endswith("3000 forwarded, 0 refused"), repr(out))
for index, kept in enumerate(got):
    check(f"relay: receiver {index} in order, none lost", kept == sent, f"{len(kept)} received")
for sock, _ in receivers:
    sock.close()

for args in (["--to", "127.0.0.1:9", "--rate", "0"], ["--to", "127.0.0.1:9", "--rate", "30000/0"], ["--to", "example.org:9"],
             ["--to", "127.0.0.1:70000"], ["--to", "127.0.0.1:9", "--loss", "101"], ["--to", "127.0.0.1:9", "--garbage", "-1"],
             ["--to", "127.0.0.1:9", "--path", "spiral"], ["--to", "127.0.0.1:9", "--replay", "/nonexistent/take.csv"], ["--count", "3"]):
    bad = subprocess.run([program] + args, capture_output=True, text=True, timeout=30)
    check(f"bad options {args}: exit status 2", bad.returncode == 2, str(bad.returncode))
    check(f"bad options {args}: a message", bad.stderr.strip() != "")

print("\n".join(f"FAIL {failure}" for failure in failures) or "all passed")
sys.exit(1 if failures else 0)
