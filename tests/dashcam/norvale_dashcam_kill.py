#!/usr/bin/env python3
"""Records with the dash camera of the real norvale in a window on a virtual X display (the synthetic camera,
the adapter simulator), starting the recording with a click on the record button, kills norvale with
SIGKILL a few seconds in, and checks that Documents/Movie.m4v plays (ffprobe) to its last whole fragment;
then that the next start keeps that movie in the album, byte for byte.

    norvale_dashcam_kill.py NORVALE ELMSIM
"""
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "shell", "app"))
from simulator_process import running_simulator  # noqa: E402
from norvale_smoke import report  # noqa: E402

WINDOW = (844, 390)
RECORD_BUTTON = (70, 195)  # the button's centre in a landscape phone window with a home indicator
RECORDING = 2.5  # seconds recorded before the kill
LOST = 2.0  # seconds a kill may lose: the fragment being written, and the start of the recording


def boxes(data, start=0, end=None):
    """(type, body start, box end) of the boxes from start to end; a box cut short ends the list."""
    end = len(data) if end is None else end
    at = start
    while at + 8 <= end:
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        header = 8
        if size == 1:
            size = struct.unpack(">Q", data[at + 8:at + 16])[0]
            header = 16
        if size < header or at + size > end:
            return
        yield kind.decode("latin-1"), at + header, at + size
        at += size


def child(data, start, end, kind):
    return next(((s, e) for k, s, e in boxes(data, start, end) if k == kind), None)


def video_track(data):
    """The track id of the movie's video track; None without a header."""
    moov = child(data, 0, len(data), "moov")
    if moov is None:
        return None
    for kind, start, end in boxes(data, *moov):
        if kind != "trak":
            continue
        tkhd = child(data, start, end, "tkhd")
        track = struct.unpack(">I", data[tkhd[0] + (20 if data[tkhd[0]] == 1 else 12):][:4])[0]
        mdia = child(data, start, end, "mdia")
        hdlr = child(data, *mdia, "hdlr")
        if data[hdlr[0] + 8:hdlr[0] + 12] == b"vide":
            return track
    return None


def whole_fragments(data):
    """The video frames of each fragment whose moof and mdat are both on disk."""
    track = video_track(data)
    if track is None:
        return []
    top = list(boxes(data))
    frames = []
    for (kind, start, end), following in zip(top, top[1:]):
        if kind != "moof" or following[0] != "mdat":
            continue
        count = 0
        for traf_kind, traf_start, traf_end in boxes(data, start, end):
            if traf_kind != "traf":
                continue
            tfhd = child(data, traf_start, traf_end, "tfhd")
            if struct.unpack(">I", data[tfhd[0] + 4:tfhd[0] + 8])[0] != track:
                continue
            for run_kind, run_start, _ in boxes(data, traf_start, traf_end):
                if run_kind == "trun":
                    count += struct.unpack(">I", data[run_start + 4:run_start + 8])[0]
        frames.append(count)
    return frames


def probe(path):
    """(decoded video frames, seconds of the last one) as ffprobe reads the movie."""
    run = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "frame=pts_time",
                          "-of", "csv=p=0", path], capture_output=True, text=True, timeout=60)
    times = [float(line.split(",")[0]) for line in run.stdout.split() if line.strip()]
    return len(times), max(times, default=-1.0)


class Display:
    """A virtual X display for the real window."""

    def __enter__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24", "-nolisten",
                                        "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as number:
            self.name = ":" + number.readline().strip()
        return self

    def __exit__(self, *error):
        self.server.terminate()
        self.server.wait(timeout=10)


def wait_for(done, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if done():
            return True
        time.sleep(0.1)
    return done()


def start_recording(norvale, port, home, display):
    """Norvale on the dash camera in a landscape phone window on `display`, connected to the simulator on
    `port`, recording to `home`/Documents/Movie.m4v after a click on its record button.

    Returns the running app, its log lines, its environment, the click on the record button and the failures
    met on the way. The caller ends the app; if this fails part way, it ends it itself."""
    env = dict(os.environ, NORVALE_HOME=home, XDG_VIDEOS_DIR=os.path.join(home, "Videos"), DISPLAY=display.name,
               QT_QPA_PLATFORM="xcb")
    command = [norvale, "--adapter", "127.0.0.1:" + port, "--camera", "synthetic", "--microphone", "synthetic",
               "--open", "Dash Camcorder", "--size", "%dx%d" % WINDOW]
    movie = os.path.join(home, "Documents", "Movie.m4v")
    failures = []
    click = None

    # The first launch tells how to focus; from the second on, the screen is clear at once.
    subprocess.run(command + ["--quit-after", "1"], env=env, capture_output=True, timeout=90)

    app = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    log = []
    threading.Thread(target=lambda: log.extend(app.stderr), daemon=True).start()
    try:
        if not wait_for(lambda: any("main menu: connected to ELM327" in line for line in log), 30):
            failures.append("norvale did not connect to the simulator")
        window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(app.pid)],
                                env=env, capture_output=True, text=True, timeout=30).stdout.split()
        if not window:
            failures.append("no window of norvale on the display")
        else:
            click = ["xdotool", "mousemove", "--window", window[0], *map(str, RECORD_BUTTON), "click", "1"]
            # The screen takes a moment to start polling the car after the link connects; until then a
            # click is refused and nothing is recorded.
            for _ in range(5):
                subprocess.run(click, env=env, check=True, timeout=30)
                if wait_for(lambda: os.path.exists(movie), 3):
                    break
        if not os.path.exists(movie):
            failures.append("the click on the record button did not record")
    except BaseException:
        app.kill()
        app.wait(timeout=30)
        raise
    return app, log, env, click, failures


def main():
    norvale, elmsim = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home) as port, Display() as display:
        if port is None:
            return report(["the simulator did not start"], "")
        app, log, env, click, failures = start_recording(norvale, port, home, display)
        command = app.args
        movie = os.path.join(home, "Documents", "Movie.m4v")
        album = os.path.join(home, "Videos", "Norvale")
        try:
            started = time.monotonic()
            # A few seconds of recording (unless norvale dies first).
            if wait_for(lambda: app.poll() is not None, RECORDING):
                failures.append("norvale stopped while recording: " + "".join(log[-5:]))
        finally:
            app.send_signal(signal.SIGKILL)
            killed = time.monotonic()
            app.wait(timeout=30)

        if not os.path.exists(movie):
            return report(failures + ["nothing was recorded"], "")
        with open(movie, "rb") as f:
            data = f.read()
        kept = os.path.join(home, "killed.m4v")
        shutil.copyfile(movie, kept)
        fragments = whole_fragments(data)
        frames, last = probe(kept)
        print("killed movie: %d bytes, whole fragments of %r frames; ffprobe decodes %d frames up to %.2f s"
              % (len(data), fragments, frames, last))
        # One-second fragments: what was recorded up to about a fragment before the kill is on disk (the
        # recording starts a moment after the file).
        if last < killed - started - LOST:
            failures.append("the movie killed after %.1f s of recording plays to %.2f s only"
                            % (killed - started, last))
        if not fragments or frames < sum(fragments):
            failures.append("ffprobe decodes %d frames of the %d in whole fragments" % (frames, sum(fragments)))

        # The next start, the dash camera not opened, keeps it and one set aside: copies in the album, as they were.
        aside = os.path.join(home, "Documents", "Movie 2026-01-02 03.04.05.m4v")
        shutil.copyfile(movie, aside)
        open(aside + ".pending", "w").close()
        del command[command.index("--open"):command.index("--open") + 2]
        run = subprocess.run(command + ["--quit-after", "3", "--dump-text"], env=dict(env, QT_QPA_PLATFORM="offscreen"),
                             capture_output=True, text=True, timeout=90)
        saved = sorted(os.listdir(album)) if os.path.isdir(album) else []
        print("album after the next start:", saved)
        if run.returncode != 0:
            failures.append("the next start exited with %d: %s" % (run.returncode, run.stderr))
        if [open(os.path.join(album, name), "rb").read() for name in saved] != [data, data] or os.path.exists(aside):
            failures.append("album %s after the next start; the one set aside in Documents: %s" % (saved, os.path.exists(aside)))

    return report(failures, "a killed recording plays to its last whole fragment and is kept in the album")


if __name__ == "__main__":
    sys.exit(main())
