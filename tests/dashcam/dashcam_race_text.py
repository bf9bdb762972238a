#!/usr/bin/env python3
"""Opens the dash camera of the real norvale, with race mode switched on and the synthetic camera, against
the adapter simulator, and checks that the text it shows at quit holds the lap number and the race time
that the overlay paints into the picture.

    dashcam_race_text.py NORVALE ELMSIM
"""
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from simulator_process import running_simulator  # noqa: E402


def main():
    norvale, elmsim = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home) as port:
        if port is None:
            print("the simulator did not start")
            return 1
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen", NORVALE_GPSD="off")
        adapter = ["--adapter", "127.0.0.1:" + port]
        # A first run writes the default settings; race mode is then switched on in them.
        subprocess.run([norvale, *adapter, "--quit-after", "0.5"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        path = os.path.join(home, "Documents", "settings.data")
        with open(path) as f:
            settings = json.load(f)
        settings["isRaceMode"] = True
        with open(path, "w") as f:
            json.dump(settings, f)
        run = subprocess.run([norvale, *adapter, "--camera", "synthetic", "--microphone", "none", "--open",
                              "Dash Camcorder", "--size", "844x390", "--dump-text", "--quit-after", "4"],
                             env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=90)
    lines = run.stdout.splitlines()
    print("\n".join(lines))
    if run.returncode != 0 or "00:00.0" not in lines or "1" not in lines:
        print("the race lap and time are not shown")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
