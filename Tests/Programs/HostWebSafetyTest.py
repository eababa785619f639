#!/usr/bin/env python3
"""The host's web server against what another web page or process on the stage machine can send it.

Faults caught: a request with a rebinding name in Host served; a change made without a JSON content type or from a
page of another origin; a CORS header that would let another origin read answers; a body over the limit read whole
(chunked, or on a method that takes none) instead of refused with 413; slow clients or held event streams that leave
the API no thread; a slow client never cut; a server on an address other machines reach that serves without its
token, or a token that does not carry over in the cookie.
Usage: HostWebSafetyTest.py <path to orvida-livelink>. The token part runs in a network namespace of its own
(unshare --net, as root) and is skipped without one."""
import json
import os
import pathlib
import re
import socket
import subprocess
import sys
import tempfile
import threading
import time

from HostApiTest import FAILURES, Host, check


def exchange(port, head, body=b"", read_after=True, timeout=10):
    """Sends the request head (lines without the blank line) and body on a connection of its own; (status, headers
    text, body bytes) of the answer, or (None, '', b'') when the connection ended without one."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as connection:
        try:
            connection.sendall(("\r\n".join(head) + "\r\n\r\n").encode() + body)
        except OSError:
            pass
        answer = b""
        try:
            while read_after:
                piece = connection.recv(65536)
                if not piece:
                    break
                answer += piece
        except OSError:
            pass
    found = re.match(rb"HTTP/1\.1 (\d+)[^\r\n]*\r\n(.*?)\r\n\r\n(.*)", answer, re.S)
    return (int(found.group(1)), found.group(2).decode(), found.group(3)) if found else (None, "", b"")


def check_who_may_talk(host, project):
    """The Host and Origin table: only the server's own names, JSON changes, the server's own origin."""
    port = host.port
    own = f"127.0.0.1:{port}"
    config = pathlib.Path(project, "Config", "DefaultGame.ini")
    json_type = "Content-Type: application/json"
    cases = [
        # (what, method, path, extra headers, body, expected status)
        ("own address", "GET", "/api/state", [f"Host: {own}"], b"", 200),
        ("localhost", "GET", "/api/state", [f"Host: localhost:{port}"], b"", 200),
        ("IPv6 loopback", "GET", "/api/state", [f"Host: [::1]:{port}"], b"", 200),
        ("a rebinding name", "GET", "/api/state", [f"Host: evil.example:{port}"], b"", 403),
        ("a rebinding name writing settings", "PUT", "/api/settings", [f"Host: evil.example:{port}", json_type], b'{"bAutoLens": false}', 403),
        ("another port", "GET", "/api/state", [f"Host: 127.0.0.1:{port + 1}"], b"", 403),
        ("no Host", "GET", "/api/state", [], b"", 403),
        ("two Hosts", "GET", "/api/state", [f"Host: {own}", f"Host: evil.example:{port}"], b"", 403),
        ("text/plain, as any page may send unasked", "PUT", "/api/settings", [f"Host: {own}", "Content-Type: text/plain"], b'{"bAutoLens": false}', 403),
        ("no content type", "POST", "/api/take/stop", [f"Host: {own}"], b"", 403),
        ("a DELETE without a content type", "DELETE", "/api/sources/x", [f"Host: {own}"], b"", 403),
        ("another origin", "PUT", "/api/settings", [f"Host: {own}", json_type, "Origin: http://evil.example"], b'{"bAutoLens": false}', 403),
        ("another origin loading a preset", "POST", "/api/preset/load", [f"Host: {own}", json_type, "Origin: http://evil.example"], b"{}", 403),
        ("an opaque origin", "PUT", "/api/settings", [f"Host: {own}", json_type, "Origin: null"], b'{"bAutoLens": false}', 403),
        ("a preflight", "OPTIONS", "/api/settings", [f"Host: {own}", "Origin: http://evil.example", "Access-Control-Request-Method: PUT"], b"", 403),
        ("its own origin", "PUT", "/api/settings", [f"Host: {own}", "Content-Type: application/json; charset=utf-8", f"Origin: http://{own}"],
         b'{"NetworkPortIdByDefault": 9321}', 200),
    ]
    for what, method, path, headers, body, expected in cases:
        head = [f"{method} {path} HTTP/1.1", *headers, f"Content-Length: {len(body)}", "Connection: close"]
        status, answer_headers, answer = exchange(port, head, body)
        check(status == expected, f"{what}: {method} {path} answered {status}, not {expected}: {answer[:120]!r}")
        check(status in (None, 200) or b'"error"' in answer, f"{what}: the refusal gives no reason: {answer[:120]!r}")
        check("access-control-allow" not in answer_headers.lower(), f"{what}: a CORS header was sent: {answer_headers}")
    now = config.read_text() if config.exists() else ""
    check("bAutoLens=False" not in now, f"a refused request changed the settings:\n{now}")
    check("NetworkPortIdByDefault=9321" in now, "the server's own origin could not save a setting")


def check_bodies(host):
    """413 for a body over the limit however it is framed, before it is read whole; small chunked bodies still served."""
    port = host.port
    own = [f"Host: 127.0.0.1:{port}", "Content-Type: application/json", "Connection: close"]
    chunk = b"10000\r\n" + b" " * 0x10000 + b"\r\n"
    cases = [
        # (what, method, path, framing headers, body sent before the answer is read, expected)
        ("chunked over the limit", "PUT", "/api/take/metadata", ["Transfer-Encoding: chunked"], b'1\r\n{\r\n' + chunk * 3, 413),
        ("chunked to no route", "POST", "/nothing/here", ["Transfer-Encoding: chunked"], chunk * 3, 413),
        ("a stated length over the limit, nothing sent", "PUT", "/api/take/metadata", ["Content-Length: 10000000"], b"", 413),
        ("a GET with a chunked body", "GET", "/api/state", ["Transfer-Encoding: chunked"], chunk, 413),
        ("a DELETE with a body", "DELETE", "/api/sources/x", ["Content-Length: 2"], b"{}", 413),
        ("a small chunked body", "PUT", "/api/take/metadata", ["Transfer-Encoding: chunked"], b'e\r\n{"slate": "C"}\r\n0\r\n\r\n', 200),
        ("no length: the body would run to the end of the connection", "POST", "/api/take/stop", [], b"", 411),
        ("a transfer encoding it cannot read", "PUT", "/api/take/metadata", ["Transfer-Encoding: gzip"], b"xx", 501),
    ]
    for what, method, path, framing, body, expected in cases:
        # The body is never finished for the refusals: a server that waited for its end would not answer.
        status, _, answer = exchange(port, [f"{method} {path} HTTP/1.1", *own, *framing], body)
        check(status == expected, f"{what}: answered {status}, not {expected}: {answer[:120]!r}")
    # The next snapshot shows it, which a loaded machine may build a little later.
    host.wait_for(lambda state: state["take"]["slate"] == "C", "the small chunked slate")
    # What the library cannot parse gets a reason that tells the cases apart.
    for head, reason in ((["GARBAGE"], b"request line"), ([f"GET /api/state HTTP/9.9", f"Host: 127.0.0.1:{port}"], b"HTTP/1.0 and HTTP/1.1")):
        status, _, answer = exchange(port, head)
        check(status == 400 and reason in answer, f"{head[0]}: answered {status} {answer[:120]!r}")


def check_slow_clients(host):
    """The API answers within 1 s while 16 slow clients and 50 event streams are held; the slow ones are cut."""
    port = host.port
    stop = threading.Event()
    cut = []

    def slow_client():
        with socket.create_connection(("127.0.0.1", port), timeout=30) as connection:
            started = time.monotonic()
            for byte in f"GET /api/state HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nX-Slow: {'a' * 200}".encode():
                if stop.is_set():
                    return
                try:
                    connection.sendall(bytes([byte]))
                    connection.settimeout(0.5)
                    if connection.recv(1) == b"":
                        cut.append(time.monotonic() - started)
                        return
                except socket.timeout:
                    continue
                except OSError:
                    cut.append(time.monotonic() - started)
                    return

    slow = [threading.Thread(target=slow_client) for _ in range(16)]
    for thread in slow:
        thread.start()
    streams = []
    for _ in range(50):
        connection = socket.create_connection(("127.0.0.1", port), timeout=10)
        connection.sendall(f"GET /api/events HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\n\r\n".encode())
        streams.append(connection)
    time.sleep(1.0)
    slowest = 0.0
    for _ in range(5):
        started = time.monotonic()
        status = exchange(port, ["GET /api/state HTTP/1.1", f"Host: 127.0.0.1:{port}", "Connection: close"])[0]
        slowest = max(slowest, time.monotonic() - started)
        check(status == 200, f"/api/state answered {status} while slow clients and streams were held")
        time.sleep(0.2)
    check(slowest < 1.0, f"/api/state took {slowest:.2f} s while slow clients and streams were held")
    answers = []
    for connection in streams:
        connection.settimeout(5)
        try:
            answers.append(connection.recv(4096))
        except OSError:
            answers.append(b"")
        connection.close()
    served = sum(1 for answer in answers if b" 200 " in answer.split(b"\r\n")[0])
    refused = sum(1 for answer in answers if answer.startswith(b"HTTP/1.1 503") and b"event streams" in answer)
    check(served == 4 and refused == 46, f"event streams: {served} served, {refused} refused with a reason, of 50")
    for thread in slow:
        thread.join(timeout=20)
    stop.set()
    check(len(cut) == 16 and max(cut, default=99) < 8, f"slow clients cut: {len(cut)} of 16, after {[round(c, 1) for c in cut]} s")


def check_token(program):
    """Bound where other machines could reach it, the server asks for its token; runs inside a network namespace."""
    with tempfile.TemporaryDirectory() as project:
        process = subprocess.Popen([program, "--project", project, "--http", "0.0.0.0:0"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            line = process.stdout.readline().strip()
            found = re.match(r"serving http://0\.0\.0\.0:(\d+)/\?token=([0-9a-f]{32})$", line)
            if not check(found, f"the serving line shows no token: {line!r}"):
                return
            port, token = int(found.group(1)), found.group(2)
            own = f"Host: 127.0.0.1:{port}"
            cases = [
                ("no token", [own], "/api/state", 403),
                ("a wrong token", [own, "X-Orvida-Token: " + "0" * 32], "/api/state", 403),
                ("the token in a header", [own, "X-Orvida-Token: " + token], "/api/state", 200),
                ("the token in the cookie", [own, f"Cookie: a=b; orvida_token={token}"], "/api/state", 200),
                ("another address of the machine", [f"Host: 10.9.8.7:{port}", "X-Orvida-Token: " + token], "/api/state", 200),
                ("a rebinding name with the token", [f"Host: evil.example:{port}", "X-Orvida-Token: " + token], "/api/state", 403),
            ]
            for what, headers, path, expected in cases:
                status = exchange(port, [f"GET {path} HTTP/1.1", *headers, "Connection: close"])[0]
                check(status == expected, f"{what}: answered {status}, not {expected}")
            status, headers, _ = exchange(port, [f"GET /?token={token} HTTP/1.1", own, "Connection: close"])
            check(status == 200 and f"orvida_token={token}" in headers and "HttpOnly" in headers, f"the printed address set no cookie: {status} {headers}")
        finally:
            process.terminate()
            process.wait(timeout=30)


def run_token_part_in_namespace(program):
    if os.geteuid() != 0:
        print("SKIP: the token part needs root for a network namespace of its own")
        return
    inner = subprocess.run(["unshare", "--net", "sh", "-c", f'ip link set lo up && exec "{sys.executable}" "{__file__}" --token-part "{program}"'],
                           capture_output=True, text=True, timeout=120)
    print(inner.stdout, end="")
    if "SKIP" in inner.stdout or (inner.returncode != 0 and "PASS" not in inner.stdout and "FAIL" not in inner.stdout):
        print(f"SKIP: no network namespace here: {inner.stderr.strip()}")
        return
    check(inner.returncode == 0, "the token part failed")


def main():
    if sys.argv[1] == "--token-part":
        check_token(sys.argv[2])
    else:
        program = sys.argv[1]
        with tempfile.TemporaryDirectory() as project:
            host = Host(program, project)
            try:
                check_who_may_talk(host, project)
                check_bodies(host)
                check_slow_clients(host)
            finally:
                host.stop()
        run_token_part_in_namespace(program)
    print("FAIL" if FAILURES else "PASS")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
