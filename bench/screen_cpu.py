#!/usr/bin/env python3
"""Share of a core each screen of the real Norvale takes against the adapter simulator at its own pace (as
an adapter on a car answers). Norvale runs headless on one screen for SECONDS (default 20) with its own
simulator, at each of the three screen shapes (phone upright, phone on its side, pad), with its network
sources (map tiles, the trouble-code reference site, gpsd) off; its user and system time, taken from the
ended process, over the time it ran is the figure. Every screen the app has is measured (each tab on its
own), or only the ones named.

    bench/screen_cpu.py [--build DIR] [--seconds S] [--jobs N] [--limit PERCENT] [SCREEN ...]

Prints one line a screen with its share at each shape, the busiest first, and exits 1 when a screen other
than the dash camera (which encodes a movie) takes more than PERCENT (default 15) at some shape.
"""
import argparse
import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
from simulator_process import running_simulator  # noqa: E402

# Name, screen size in points and idiom.
SHAPES = (("phone", "390x844", "phone"), ("landscape", "844x390", "phone"), ("pad", "1024x768", "pad"))
# Its camera picture and movie writer may take more.
UNLIMITED = ("Dash Camcorder",)


def environment(home):
    """Norvale's environment: its own home, headless, and nothing fetched from the network."""
    return dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen", NORVALE_DTC_REFERENCE_URL="off",
                NORVALE_TILE_URL="off", NORVALE_GPSD="off")


def screens(norvale):
    """Every screen path Norvale opens, as the message for an unknown one lists them."""
    with tempfile.TemporaryDirectory() as home:
        run = subprocess.run([norvale, "--open", "?", "--quit-after", "1"], env=environment(home),
                             capture_output=True, text=True, timeout=60)
    listed = (run.stdout + run.stderr).partition("the screens are:")[2].splitlines()
    paths = re.findall(r'"([^"]+)"', listed[0]) if listed else []
    # An entry with tabs opens its first tab, which is measured on its own.
    return [p for p in paths if not any(other.startswith(p + "/") for other in paths)]


def cpu_share(norvale, elmsim, screen, shape, seconds):
    """User plus system time over wall time of Norvale on `screen` at `shape`, in percent of one core."""
    _, size, idiom = shape
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home, reply_ms=None) as port:
        if port is None:
            raise RuntimeError("the simulator did not start")
        started = time.monotonic()
        app = subprocess.Popen([norvale, "--adapter", "127.0.0.1:" + port, "--open", screen, "--size", size,
                                "--idiom", idiom, "--quit-after", str(seconds)], env=environment(home),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(app.pid, 0)
        app.returncode = os.waitstatus_to_exitcode(status)
        elapsed = time.monotonic() - started
        if app.returncode != 0:
            raise RuntimeError("Norvale on %s at %s ended with status %d" % (screen, size, app.returncode))
        return 100.0 * (usage.ru_utime + usage.ru_stime) / elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build")
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--jobs", type=int, default=3)
    parser.add_argument("--limit", type=float, default=15)
    parser.add_argument("screen", nargs="*")
    args = parser.parse_args()
    norvale = os.path.join(args.build, "src", "app", "norvale")
    elmsim = os.path.join(args.build, "tools", "elmsim", "elmsim")
    names = args.screen or screens(norvale)
    if not names:
        sys.exit("Norvale listed no screens")
    runs = [(name, shape) for name in names for shape in SHAPES]
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        shares = dict(zip(runs, pool.map(lambda run: cpu_share(norvale, elmsim, *run, args.seconds), runs)))
    print("%-26s" % "screen" + "".join("%12s" % shape[0] for shape in SHAPES))
    for name in sorted(names, key=lambda n: -max(shares[(n, shape)] for shape in SHAPES)):
        print("%-26s" % name + "".join("%10.1f %%" % shares[(name, shape)] for shape in SHAPES))
    over = ["%s (%s)" % (name, shape[0]) for (name, shape), share in shares.items()
            if share > args.limit and name not in UNLIMITED]
    if over:
        print("above %g %% of a core: %s" % (args.limit, ", ".join(over)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
