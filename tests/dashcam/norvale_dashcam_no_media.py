#!/usr/bin/env python3
"""Opens the dash camera of a norvale whose camera and movie module (libnorvale_media_ffmpeg.so) cannot be
loaded, as an installation with a missing or broken module: the program is copied into a folder of its own
with a broken module beside it. The screen must say that recording is unavailable, and why, instead of
staying black; a movie an earlier run left pending is neither dropped nor offered, as nothing can tell
whether it holds a picture.

    norvale_dashcam_no_media.py NORVALE ELMSIM
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "shell", "app"))
from simulator_process import running_simulator  # noqa: E402
from norvale_smoke import report  # noqa: E402


def main():
    norvale, elmsim = sys.argv[1:3]
    failures = []
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home) as port:
        if port is None:
            print("the simulator did not start")
            return 1
        program = os.path.join(home, "bin", "norvale")
        os.makedirs(os.path.dirname(program))
        shutil.copy2(norvale, program)
        # The program looks for its modules beside itself first.
        with open(os.path.join(os.path.dirname(program), "libnorvale_media_ffmpeg.so"), "w") as broken:
            broken.write("not a module")
        movie = os.path.join(home, "Documents", "Movie.m4v")
        os.makedirs(os.path.dirname(movie), exist_ok=True)
        with open(movie, "wb") as left, open(movie + ".pending", "w"):
            left.write(b"a movie an earlier run left")
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run([program, "--adapter", "127.0.0.1:" + port, "--camera", "synthetic",
                              "--microphone", "synthetic", "--open", "Dash Camcorder", "--size", "844x390",
                              "--dump-text", "--quit-after", "3"],
                             env=env, capture_output=True, text=True, timeout=90)
        if not (os.path.exists(movie) and os.path.exists(movie + ".pending")):
            failures.append("the movie left pending was not kept with its marker")
    print(run.stdout)
    if run.returncode != 0:
        failures.append("norvale exited with %d: %s" % (run.returncode, run.stderr))
    shown = " ".join(run.stdout.split())
    if "Recording is unavailable" not in shown:
        failures.append("the screen does not say that recording is unavailable")
    if "libnorvale_media_ffmpeg.so" not in shown:
        failures.append("the screen does not say why")
    return report(failures, "the dash camera says why it cannot record")


if __name__ == "__main__":
    sys.exit(main())
