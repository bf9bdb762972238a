#!/usr/bin/env python3
"""Opens the fuel screen of the real norvale against the adapter simulator cruising, and checks that the
text it shows at quit holds a live economy figure: the instantaneous value's whole part and decimal
after "Instant. fuel", then the unit.

    norvale_fuel_text.py NORVALE ELMSIM
"""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from simulator_process import running_simulator  # noqa: E402


def main():
    norvale, elmsim = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home, "--profile", "cruise") as port:
        if port is None:
            print("the simulator did not start")
            return 1
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run([norvale, "--adapter", "127.0.0.1:" + port, "--open", "Fuel Economy", "--dump-text",
                              "--quit-after", "6"],
                             env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=90)
    lines = run.stdout.splitlines()
    print("\n".join(lines))
    if run.returncode != 0 or "Instant. fuel" not in lines:
        print("the fuel screen was not shown")
        return 1
    after = lines[lines.index("Instant. fuel") + 1:]
    if len(after) < 3 or not re.fullmatch(r"\d+", after[0]) or not re.fullmatch(r"\.\d", after[1]):
        print("no economy figure after the title")
        return 1
    if int(after[0]) <= 0 or after[2] != "mpg":
        print("the figure is not a live economy in mpg")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
