#!/usr/bin/env python3
"""Opens the dash camera of the real norvale with the synthetic camera against the adapter simulator, in a
landscape and then in a portrait window, and checks what a user would see: the first launch tells how to
focus, the camera's colour bars fill the picture, the record button sits on the picture (in a portrait
window on the picture's band across the middle), the recording time is shown, and the screen polls the
simulated car for its tiles (the boost tile's manifold pressure). The screenshots are kept in the
artifacts folder.

    norvale_dashcam_screen.py NORVALE ELMSIM ARTIFACTS_DIR
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "shell", "app"))
from simulator_process import running_simulator  # noqa: E402
from norvale_smoke import read_png, report  # noqa: E402


def button_red(pixel):
    """The record button's disc: a deep red (dimmed a little while an alert is up)."""
    r, g, b = pixel
    return r >= 120 and g <= 40 and b <= 70


def bar_colour(pixel):
    """A colour bar of the camera's pattern: full colours, one channel or two at zero."""
    return max(pixel) >= 150 and min(pixel) <= 30


class Shot:
    def __init__(self, path, points_wide):
        self.width, self.height, self.channels, self.rows = read_png(path)
        self.scale = self.width / points_wide

    def at(self, x, y):
        px, py = int(x * self.scale), int(y * self.scale)
        return tuple(self.rows[py][px * self.channels:px * self.channels + 3])

    def bar_share(self, top, bottom):
        """The share of the points between two heights that show a colour bar of the camera's pattern."""
        seen = shown = 0
        for y in range(int(top), int(bottom), 4):
            for x in range(0, int(self.width / self.scale), 4):
                seen += 1
                shown += bar_colour(self.at(x, y))
        return shown / max(seen, 1)


def main():
    norvale, elmsim, artifacts = sys.argv[1:4]
    os.makedirs(artifacts, exist_ok=True)
    failures = []
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home) as port:
        if port is None:
            print("the simulator did not start")
            return 1
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")

        def open_camera(size, shot):
            if os.path.exists(shot):
                os.remove(shot)
            return subprocess.run([norvale, "--adapter", "127.0.0.1:" + port, "--camera", "synthetic",
                                   "--microphone", "synthetic", "--open", "Dash Camcorder", "--size", size,
                                   "--screenshot", shot, "--dump-text", "--quit-after", "5"],
                                  env=env, capture_output=True, text=True, timeout=90)

        landscape_shot = os.path.join(artifacts, "dashcam-smoke-landscape.png")
        portrait_shot = os.path.join(artifacts, "dashcam-smoke-portrait.png")
        landscape = open_camera("844x390", landscape_shot)
        portrait = open_camera("390x844", portrait_shot)  # a second launch: no hint any more
        with open(os.path.join(home, "elmsim.log")) as log:
            requests = log.read().lower().split()

    for name, run in (("landscape", landscape), ("portrait", portrait)):
        print("--- %s: printed texts" % name)
        print(run.stdout)
        if run.returncode != 0:
            failures.append("%s: norvale exited with %d: %s" % (name, run.returncode, run.stderr))
        if "00:00:00" not in run.stdout.splitlines():
            failures.append("%s: the recording time is not shown" % name)
    if "Tap on image to adjust focus" not in landscape.stdout.splitlines():
        failures.append("the first launch did not tell how to focus")
    if "Tap on image to adjust focus" in portrait.stdout.splitlines():
        failures.append("the focus hint came again at the second launch")
    if "main menu: connected to ELM327" not in landscape.stderr:
        failures.append("norvale did not connect to the simulator")
    if "010b" not in requests:
        failures.append("the screen did not poll the simulated car for its tiles")

    # Per window: its screenshot, its width in points, the record button's centre, the rows the picture
    # fills (and how much of them shows the bars), the rows it must leave black. In the portrait window
    # the 16:9 picture is 390 x 219 across the middle: from 312 to 532.
    windows = (("landscape", landscape_shot, 844, (70, 195), (0, 250), 0.4, []),
               ("portrait", portrait_shot, 390, (70, 422), (320, 440), 0.5, [(0, 300), (545, 844)]))
    for name, path, points, button, rows, share, black in windows:
        if not os.path.exists(path):
            failures.append("%s: no screenshot" % name)
            continue
        shot = Shot(path, points)
        if not button_red(shot.at(*button)):
            failures.append("%s: the record button is not at %r, saw %r" % (name, button, shot.at(*button)))
        if shot.bar_share(*rows) < share:
            failures.append("%s: the camera's picture does not fill rows %r" % (name, rows))
        if any(shot.bar_share(*band) > 0.01 for band in black):
            failures.append("%s: the picture spills beyond its band" % name)

    return report(failures, "the dash camera shows its picture and controls; screenshots in %s" % artifacts)


if __name__ == "__main__":
    sys.exit(main())
