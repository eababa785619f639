#!/usr/bin/env python3
"""Sources on multicast groups, in a network namespace of the test's own (unshare --net, as root, loopback up and
224.0.0.0/4 routed to it), never on the machine's real interfaces: orvida-send --ttl 3 to one group; two sources of
one host on that group and port (one on the system's interface, one on 127.0.0.1 by name) each receive every
datagram, a source on another group of the same port receives none, a plain socket in the group sees the TTL, and a relay listening on a group forwards what is sent to it.

Faults caught: a source that binds the group's port without joining (hears nothing); one bound to every address
(hears the other group too, as Linux hands a socket every group any socket of the machine joined); an interface
in the endpoint text lost on the way to the socket; a status that does not name the group; a --ttl that never
reaches the datagrams; a relay that listens on a group without joining it.
Usage: HostMulticastTest.py <path to orvida-livelink> <path to orvida-send>; exit status 77 (skipped) where no
network namespace can be made."""
import os
import re
import socket
import struct
import subprocess
import sys
import tempfile

from HostProcess import HostProcess

SKIPPED = 77
PORT = 9101
GROUP, OTHER_GROUP = "239.1.2.3", "239.1.2.4"
COUNT = 100
IP_RECVTTL = 12  # Linux's; Python names IP_TTL but not this one
failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")
    return condition


def group_socket():
    """A plain socket in GROUP on PORT that reports each datagram's TTL."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind((GROUP, PORT))
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, struct.pack("4s4s", socket.inet_aton(GROUP), socket.inet_aton("0.0.0.0")))
    sock.setsockopt(socket.IPPROTO_IP, IP_RECVTTL, 1)
    sock.settimeout(10)
    return sock


def send(send_program, count, *options):
    run = subprocess.run([send_program, "--to", f"{GROUP}:{PORT}", "--count", str(count), "--rate", "100", *options], capture_output=True, text=True,
                         timeout=60)
    check(f"orvida-send to the group {' '.join(options)}", run.returncode == 0 and f"{count} datagrams sent, 0 refused" in run.stdout, run.stdout + run.stderr)


def received(host, endpoint, words):
    """The received count of the last console line of the source on endpoint whose status names the group in words,
    or -1 before one."""
    pattern = re.compile(rf"^{re.escape(endpoint)} (?:Receiving|Waiting for data) {re.escape(words)}, received (\d+) ")
    counts = [int(found.group(1)) for line in list(host.lines) if (found := pattern.search(line))]
    return counts[-1] if counts else -1


def relay_from_group(send_program):
    """A relay that listens on a group must join it, or it hears nothing."""
    relay_group, relay_port, count = "239.1.2.5", PORT + 1, 20
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as receiver:
        receiver.bind(("127.0.0.1", 0))
        receiver.settimeout(10)
        relay = subprocess.Popen([send_program, "--relay", f"{relay_group}:{relay_port}", "--to", f"127.0.0.1:{receiver.getsockname()[1]}", "--duration",
                                  "6"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            # The relay has joined once it says what it relays; a datagram sent before that would be lost.
            check("relay on a group: listening", relay.stderr.readline().startswith("orvida-send: relaying"), "")
            subprocess.run([send_program, "--to", f"{relay_group}:{relay_port}", "--count", str(count), "--rate", "100"], capture_output=True, timeout=60)
            arrived = 0
            try:
                while arrived < count:
                    receiver.recv(65536)
                    arrived += 1
            except socket.timeout:
                pass
            check("relay on a group: every datagram forwarded", arrived == count, f"{arrived} of {count}")
        finally:
            out, err = relay.communicate(timeout=30)
            check("relay on a group: ended", relay.returncode == 0, out + err)


def run_inside(host_program, send_program):
    print("inside a namespace of its own", flush=True)
    sources = {
        "default interface": (f"{GROUP}:{PORT}", f"(group {GROUP})"),
        "named interface": (f"{GROUP}:{PORT}@127.0.0.1", f"(group {GROUP} on 127.0.0.1)"),
        "other group": (f"{OTHER_GROUP}:{PORT}", f"(group {OTHER_GROUP})"),
    }
    with tempfile.TemporaryDirectory() as project:
        host = HostProcess([host_program, "--project", project, "--console"] + [a for text, _ in sources.values() for a in ("--source", text)])
        try:
            for name, (text, words) in sources.items():
                endpoint = text.split("@")[0]
                check(f"{name}: listening", host.wait_for_line(lambda line: f"listening on {endpoint}: Waiting for data {words}" in line, 20), host.lines[:6])
            send(send_program, COUNT)
            for name in ("default interface", "named interface"):
                endpoint, words = sources[name][0].split("@")[0], sources[name][1]
                check(f"{name}: every datagram", host.wait_for(lambda: received(host, endpoint, words) == COUNT, 20), received(host, endpoint, words))
            # One console round later, so that a datagram of the group on its way to the other source would show.
            lines_before = len(host.lines)
            host.wait_for(lambda: len(host.lines) >= lines_before + len(sources), 10)
            other = (f"{OTHER_GROUP}:{PORT}", f"(group {OTHER_GROUP})")
            check("other group: nothing", received(host, *other) == 0, f"received {received(host, *other)}")
        finally:
            ended, status, out, err = host.stop()
            check("host stopped", ended and status == 0, err[-400:])
    # Afterwards: a member of the group on loopback would hand the group's datagrams to a source that never joined.
    listener = group_socket()
    send(send_program, COUNT, "--ttl", "3")
    ttls = []
    try:
        while len(ttls) < COUNT:
            _, ancillary, _, _ = listener.recvmsg(65536, socket.CMSG_SPACE(4))
            ttls += [struct.unpack("i", data)[0] for level, kind, data in ancillary if level == socket.IPPROTO_IP and kind == socket.IP_TTL]
    except socket.timeout:
        pass
    check("--ttl 3 on every datagram", ttls == [3] * COUNT, f"{len(ttls)} datagrams, TTLs {sorted(set(ttls))}")
    relay_from_group(send_program)
    print("\n".join(f"FAIL {failure}" for failure in failures) or "PASS")
    return 1 if failures else 0


def main():
    if sys.argv[1] == "--inside":
        return run_inside(sys.argv[2], sys.argv[3])
    if os.geteuid() != 0:
        print("SKIP: the multicast test needs root to make a network namespace of its own")
        return SKIPPED
    setup = "ip link set lo up && ip route add 224.0.0.0/4 dev lo"
    try:
        inner = subprocess.run(["unshare", "--net", "sh", "-c", f'{setup} && exec "{sys.executable}" "{__file__}" --inside "{sys.argv[1]}" "{sys.argv[2]}"'],
                               capture_output=True, text=True, timeout=240)
    except FileNotFoundError as error:
        print(f"SKIP: no network namespace here: {error}")
        return SKIPPED
    print(inner.stdout, end="")
    if "inside a namespace of its own" not in inner.stdout:
        print(f"SKIP: no network namespace here (status {inner.returncode}): {inner.stderr.strip()[-400:]}")
        return SKIPPED
    print(inner.stderr[-2000:], end="", file=sys.stderr)
    return inner.returncode if "PASS" in inner.stdout else max(inner.returncode, 1)


if __name__ == "__main__":
    sys.exit(main())
