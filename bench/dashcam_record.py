#!/usr/bin/env python3
"""Frames a second of a dash camera recording made by the real Norvale: the window on a virtual X display,
the synthetic camera and microphone at the default 1280x720, the adapter simulator. A click on the record
button starts the recording, a second one stops it after SECONDS (default 20); ffprobe then counts the
movie's video frames and reads its length. The camera gives 30 frames a second, so 30 is the most there is.

    bench/dashcam_record.py [BUILD_DIR] [SECONDS] [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "dashcam"))
from simulator_process import running_simulator  # noqa: E402
from norvale_dashcam_kill import Display, start_recording, wait_for  # noqa: E402


def probe(movie):
    """(video frames, seconds) of a movie as ffprobe reads it."""
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
                          "stream=nb_read_frames,duration", "-of", "csv=p=0", movie],
                         capture_output=True, text=True, timeout=120).stdout.strip()
    duration, frames = out.split(",")
    return int(frames), float(duration)


def record(norvale, elmsim, seconds):
    """Frames a second of one recording of `seconds`."""
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home) as port, Display() as display:
        if port is None:
            sys.exit("the simulator did not start")
        album = os.path.join(home, "Videos", "Norvale")
        app, _, env, click, failures = start_recording(norvale, port, home, display)
        try:
            if failures:
                sys.exit("; ".join(failures))
            time.sleep(seconds)
            subprocess.run(click, env=env, check=True, timeout=30)
            if not wait_for(lambda: os.path.isdir(album) and os.listdir(album), 30):
                sys.exit("the recording did not reach the album")
        finally:
            app.terminate()
            app.wait(timeout=30)
        frames, duration = probe(os.path.join(album, os.listdir(album)[0]))
        return frames / duration


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    norvale = os.path.join(build, "src", "app", "norvale")
    elmsim = os.path.join(build, "tools", "elmsim", "elmsim")
    rates = [record(norvale, elmsim, seconds) for _ in range(runs)]
    print("recorded fps: median %.2f of %s" % (statistics.median(rates), " ".join("%.2f" % r for r in rates)))


if __name__ == "__main__":
    main()
