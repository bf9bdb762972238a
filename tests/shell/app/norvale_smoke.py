#!/usr/bin/env python3
"""Starts the real norvale headless against the adapter simulator and checks that it connected and that
its screenshot shows it: the adapter's name in the menu's status strip, in its green, or, when the app
starts on the gauge list, live values lighting its bars. Then checks the command line: --open Settings
--dump-text prints the settings screen's rows, --help lists the options, a bad option, an unknown
screen or a screenshot into a missing folder ends the run with status 2 before anything is written, so do
a second bad --adapter and a missing or folder replay, a silent pipe as a replay holds nothing up, and
started from another folder it still finds its images.

    norvale_smoke.py NORVALE ELMSIM ARTIFACTS_DIR
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from simulator_process import running_simulator  # noqa: E402

STRIP_GREEN = (0, 185, 109)  # the colour of the adapter's name in the strip


def read_png(path):
    """(width, height, channels, rows of bytes) of an 8-bit grey, RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = {0: 1, 2: 3, 4: 2, 6: 4}[colour]
    if depth != 8 or interlace:
        raise ValueError("unexpected PNG layout")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                row[i] = (row[i] + predictor) & 0xFF
        rows.append(row)
        previous = row
    return width, height, channels, rows


def strip_shows_adapter_name(path):
    width, height, channels, rows = read_png(path)
    scale = width / 390.0  # the default phone is 390 points wide
    for y in range(min(height, int(160 * scale))):
        row = rows[y]
        for x in range(int(190 * scale)):
            r, g, b = row[x * channels:x * channels + 3]
            if abs(r - STRIP_GREEN[0]) < 40 and abs(g - STRIP_GREEN[1]) < 40 and abs(b - STRIP_GREEN[2]) < 40:
                return True
    return False


LIST_BAR = (0, 165, 195)  # the lit segments of the gauge list's bars


def list_shows_live_bars(path):
    """The gauge list, the first screen when it is registered, lights bar segments only for live values."""
    width, height, channels, rows = read_png(path)
    scale = width / 390.0
    lit = 0
    for y in range(height):
        row = rows[y]
        for x in range(int(22 * scale), int(280 * scale)):
            r, g, b = row[x * channels:x * channels + 3]
            if abs(r - LIST_BAR[0]) < 30 and abs(g - LIST_BAR[1]) < 30 and abs(b - LIST_BAR[2]) < 30:
                lit += 1
    return lit > 200 * scale * scale


def report(failures, passed):
    """Prints each failure, or what passed when none did; the exit status."""
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print(passed)
    return 1 if failures else 0


def main():
    norvale, elmsim, artifacts = sys.argv[1:4]
    os.makedirs(artifacts, exist_ok=True)
    shot = os.path.join(artifacts, "norvale-smoke.png")
    if os.path.exists(shot):
        os.remove(shot)
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home) as port:
        if port is None:
            print("the simulator did not start")
            return 1
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")
        adapter = ["--adapter", "127.0.0.1:" + port]

        def norvale_run(*args, extra_env=None):
            return subprocess.run([norvale, *args], env=dict(env, **(extra_env or {})), capture_output=True,
                                  text=True, timeout=90)

        run = norvale_run(*adapter, "--screenshot", shot, "--quit-after", "5", "--dump-text")
        settings = norvale_run(*adapter, "--open", "Settings", "--dump-text", "--quit-after", "1")
        usage = norvale_run("--help")
        bad_value = norvale_run("--quit-after", "abc")
        unknown_option = norvale_run("--bogus")
        fresh = os.path.join(home, "fresh")  # a bad option writes nothing: this home stays empty
        os.makedirs(fresh)
        unknown_screen = norvale_run("--open", "Nowhere", extra_env={"NORVALE_HOME": fresh})
        missing_folder = norvale_run("--screenshot", os.path.join(home, "no", "shot.png"), "--quit-after", "1")
        unwritable_shot = norvale_run("--screenshot", home, "--quit-after", "0.5")  # a folder is no PNG file
        left = os.listdir(fresh) + (["no/"] if os.path.exists(os.path.join(home, "no")) else [])
        folder_replays = norvale_run(*adapter, "--gps-replay", home, "--quit-after", "0.5",
                                     extra_env={"NORVALE_MOTION_REPLAY": home})
        missing_replay = norvale_run("--motion-replay", os.path.join(home, "none.csv"), "--quit-after", "0.5")
        second_adapter = norvale_run(*adapter, "--adapter", "nowhere", "--quit-after", "0.5")
        pipe = os.path.join(home, "pipe")
        os.mkfifo(pipe)
        pipe_replays = norvale_run(*adapter, "--gps-replay", pipe, "--motion-replay", pipe, "--quit-after", "0.5")
        # Started from another folder, as a user does, the build still finds its images.
        elsewhere_env = {k: v for k, v in env.items() if k != "NORVALE_RESOURCES"}
        folder = os.path.join(home, "elsewhere")
        os.makedirs(folder)
        elsewhere = subprocess.run([norvale, *adapter, "--open", "Logging", "--quit-after", "2"], env=elsewhere_env,
                                   cwd=folder, capture_output=True, text=True, timeout=90)
    sys.stderr.write(run.stderr)
    failures = []
    if run.returncode != 0:
        failures.append("norvale exited with %d" % run.returncode)
    if "main menu: connected to ELM327" not in run.stderr:
        failures.append("norvale did not report the connection")
    if not os.path.exists(shot):
        failures.append("no screenshot at " + shot)
    elif not strip_shows_adapter_name(shot) and not list_shows_live_bars(shot):
        failures.append("the screenshot shows neither the adapter's name in the menu nor live values")

    rows = settings.stdout.splitlines()
    if settings.returncode != 0:
        failures.append("--open Settings exited with %d: %s" % (settings.returncode, settings.stderr))
    for row in ("Settings", "Adapter type", "Adapter address", "Adapter port", "Protocol", "Connection mode"):
        if row not in rows:
            failures.append("--open Settings --dump-text did not print the row %r; it printed %r" % (row, rows))
    if "Connected" in rows:
        failures.append("--open Settings left the menu open")

    if elsewhere.returncode != 0 or "missing image" in elsewhere.stderr:
        failures.append("started from another folder: status %d, %r" % (elsewhere.returncode, elsewhere.stderr))

    if usage.returncode != 0 or not all(o in usage.stdout for o in ("--open", "--dump-text", "--adapter")):
        failures.append("--help did not list the options (status %d)" % usage.returncode)
    for name, result, text in (("--quit-after abc", bad_value, "--quit-after"),
                               ("--bogus", unknown_option, "--bogus"),
                               ("--open Nowhere", unknown_screen, '"Settings"'),
                               ("--screenshot in a missing folder", missing_folder, "no folder"),
                               ("a missing replay", missing_replay, "none.csv"),
                               ("a second bad --adapter", second_adapter, '"nowhere"')):
        if result.returncode != 2 or text not in result.stderr:
            failures.append("%s: status %d, message %r" % (name, result.returncode, result.stderr))
    if unwritable_shot.returncode != 1:
        failures.append("a screenshot that could not be written: status %d" % unwritable_shot.returncode)
    if left:
        failures.append("a bad option left %r" % left)
    if pipe_replays.returncode != 0:
        failures.append("named pipes as replays: %r" % pipe_replays.stderr)
    if folder_replays.returncode != 2 or not all("%s replay file %s is a folder" % (kind, home) in folder_replays.stderr
                                                 for kind in ("GPS", "motion")):
        failures.append("folders as replays: status %d, %r" % (folder_replays.returncode, folder_replays.stderr))
    return report(failures, "norvale connected; screenshot at %s" % shot)


if __name__ == "__main__":
    sys.exit(main())
