#!/usr/bin/env python3
"""Starts the adapter simulator with stored and pending trouble codes and the real norvale headless on
the "Trouble Codes" tab, and checks that the texts it shows name the codes with their descriptions.

    trouble_codes_text.py NORVALE ELMSIM
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from simulator_process import running_simulator  # noqa: E402


def main():
    norvale, elmsim = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as home, \
            running_simulator(elmsim, home, "--codes", "P0301,U0100", "--pending", "P0171") as port:
        if port is None:
            print("the simulator did not start")
            return 1
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run([norvale, "--adapter", "127.0.0.1:" + port, "--open", "Diagnostics/Trouble Codes",
                              "--quit-after", "6", "--dump-text"], env=env, capture_output=True, text=True,
                             timeout=90)
    lines = run.stdout.splitlines()
    expected = ["Cylinder 1 Misfire Detected", "trouble code P0301", "trouble code U0100",
                "System Too Lean (Bank 1)", "trouble code P0171"]
    missing = [text for text in expected if text not in lines]
    if run.returncode != 0 or missing:
        sys.stderr.write(run.stderr)
        print("norvale exited with %d; shown:\n%s" % (run.returncode, run.stdout))
        for text in missing:
            print("FAIL: not shown:", text)
        return 1
    print("the trouble codes and their descriptions are shown")
    return 0


if __name__ == "__main__":
    sys.exit(main())
