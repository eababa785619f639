#!/usr/bin/env python3
"""Captures a few messages of orvida-send per setting as fuzz seeds: Fuzz/CaptureSeeds.py ORVIDA_SEND OUT_DIR.

Each setting sends a handful of messages to a socket of this script on 127.0.0.1; every datagram becomes one
file, sender-<setting>-<n>.json. Garbled messages are kept too: a seed that almost parses is a good start.
"""
import pathlib
import socket
import subprocess
import sys

SETTINGS = {
    "orbit-25": ["--path", "orbit", "--count", "3"],
    "dolly-2997": ["--path", "dolly", "--rate", "30000/1001", "--count", "3", "--timecode", "01:02:03:04"],
    "static-60-recording": ["--path", "static", "--rate", "60", "--count", "3", "--record-after", "0", "--scene", "Sc\u00e8ne 4", "--slate", "A004", "--take", "12"],
    "orbit-garbled": ["--count", "12", "--garbage", "50", "--seed", "3"],
    "dolly-duplicated": ["--path", "dolly", "--count", "4", "--duplicate", "50", "--scene", "\"quoted\\path\"", "--seed", "4"],
}


def main():
    sender, out_dir = sys.argv[1], pathlib.Path(sys.argv[2])
    out_dir.mkdir(parents=True, exist_ok=True)
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as receiver:
        receiver.bind(("127.0.0.1", 0))
        receiver.settimeout(2.0)
        port = receiver.getsockname()[1]
        for name, arguments in SETTINGS.items():
            subprocess.run([sender, "--to", f"127.0.0.1:{port}", *arguments], check=True, stdout=subprocess.DEVNULL)
            index = 0
            try:
                while True:
                    receiver.settimeout(0.5)
                    (out_dir / f"sender-{name}-{index}.json").write_bytes(receiver.recv(65536))
                    index += 1
            except socket.timeout:
                pass


if __name__ == "__main__":
    main()
