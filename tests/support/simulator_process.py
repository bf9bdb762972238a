"""The adapter simulator as a child process of the script tests."""
import contextlib
import os
import re
import subprocess
import time


@contextlib.contextmanager
def running_simulator(elmsim, folder, *options, reply_ms=0):
    """Starts elmsim on a free loopback port, its log (every request) in a file in `folder` so that it never
    waits for a reader, and yields the port as text, or None when it did not start. Stops it afterwards.
    It answers at once unless `reply_ms` says otherwise (None: at the pace of an adapter on a car)."""
    if reply_ms is not None:
        options = ("--reply-ms", str(reply_ms), *options)
    with open(os.path.join(folder, "elmsim.log"), "w+") as log:
        simulator = subprocess.Popen([elmsim, "--port", "0", *options], stdout=log, stderr=subprocess.STDOUT)
        try:
            port = None
            for _ in range(100):
                log.seek(0)
                found = re.search(r"listening on 127\.0\.0\.1:(\d+)", log.read())
                if found:
                    port = found.group(1)
                    break
                time.sleep(0.1)
            yield port
        finally:
            simulator.terminate()
            simulator.wait(timeout=10)
