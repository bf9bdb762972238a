#!/usr/bin/env python3
"""Starts norvale headless on the gauge list against the adapter simulator and checks that the texts it
prints at quit hold live values: the engine speed row reads a number other than its idle "00".

    gauge_list_dump.py NORVALE ELMSIM
"""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from simulator_process import running_simulator  # noqa: E402


def main():
    norvale, elmsim = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home) as port:
        if port is None:
            print("the simulator did not start")
            return 1
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run([norvale, "--adapter", "127.0.0.1:" + port, "--open", "Gauge list",
                              "--dump-text", "--quit-after", "5"],
                             env=env, capture_output=True, text=True, timeout=90)
    lines = run.stdout.splitlines()
    print(run.stdout)
    # A row prints its title, unit, minimum, maximum and number; engine speed is shown in thousands.
    try:
        at = lines.index("rpm x1000")
        number = lines[at + 3]
    except (ValueError, IndexError):
        print("FAIL: no engine speed row in the printed texts")
        return 1
    if run.returncode != 0:
        print("FAIL: norvale exited with %d" % run.returncode)
        return 1
    if not re.fullmatch(r"\d+\.\d", number) or number == "0.0":
        print("FAIL: the engine speed row shows %r, not a live value" % number)
        return 1
    print("the gauge list shows live values")
    return 0


if __name__ == "__main__":
    sys.exit(main())
