#!/usr/bin/env python3
"""The adapter simulator answers at the pace of a Wi-Fi adapter on a car unless told otherwise: each reply
takes tens of milliseconds, not always the same, so the app polls it as it would a car. A bad reply time is
refused with a message.

    elmsim_pace.py ELMSIM
"""
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from simulator_process import running_simulator  # noqa: E402


def reply_times(port, count):
    """Seconds from each request to its prompt."""
    times = []
    with socket.create_connection(("127.0.0.1", int(port)), timeout=10) as link:
        for _ in range(count):
            started = time.monotonic()
            link.sendall(b"010C\r")
            received = b""
            while not received.endswith(b">"):
                chunk = link.recv(256)
                if not chunk:
                    raise RuntimeError("the simulator closed the connection")
                received += chunk
            times.append(time.monotonic() - started)
    return times


def main():
    elmsim = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home, reply_ms=None) as port:
        if port is None:
            print("FAIL: the simulator did not start")
            return 1
        times = reply_times(port, 12)
    print("replies took %s ms" % " ".join("%.0f" % (t * 1000) for t in times))
    # 40 ms give or take 10: a lower bound only, as a busy machine can only make a reply later.
    if min(times) < 0.025:
        failures.append("a reply came after %.1f ms, faster than an adapter on a car" % (min(times) * 1000))
    if statistics.pstdev(times) < 0.001:
        failures.append("every reply took the same time")
    refused = subprocess.run([elmsim, "--reply-ms", "-5"], capture_output=True, text=True, timeout=10)
    if refused.returncode != 2 or "bad reply time" not in refused.stderr:
        failures.append("--reply-ms -5 was not refused with a message (status %d)" % refused.returncode)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
