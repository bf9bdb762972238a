#!/usr/bin/env python3
"""Share of a core each screen of the real Norvale takes against the adapter simulator at its own pace (as
an adapter on a car answers). Norvale runs headless on one screen for SECONDS (default 20) with its own
simulator; its user and system time, taken from the ended process, over the time it ran is the figure.
Every screen the app has is measured (each tab on its own), or only the ones named.

    bench/screen_cpu.py [--build DIR] [--seconds S] [--jobs N] [--limit PERCENT] [SCREEN ...]

Prints one line a screen, the busiest first, and exits 1 when one takes more than PERCENT (default 15).
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


def screens(norvale):
    """Every screen path Norvale opens, as the message for an unknown one lists them."""
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run([norvale, "--open", "?", "--quit-after", "1"], env=env, capture_output=True,
                             text=True, timeout=60)
    listed = (run.stdout + run.stderr).partition("the screens are:")[2].splitlines()
    paths = re.findall(r'"([^"]+)"', listed[0]) if listed else []
    # An entry with tabs opens its first tab, which is measured on its own.
    return [p for p in paths if not any(other.startswith(p + "/") for other in paths)]


def cpu_share(norvale, elmsim, screen, seconds):
    """User plus system time over wall time of Norvale on `screen`, in percent of one core."""
    with tempfile.TemporaryDirectory() as home, running_simulator(elmsim, home, reply_ms=None) as port:
        if port is None:
            raise RuntimeError("the simulator did not start")
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")
        started = time.monotonic()
        app = subprocess.Popen([norvale, "--adapter", "127.0.0.1:" + port, "--open", screen,
                                "--quit-after", str(seconds)], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(app.pid, 0)
        app.returncode = os.waitstatus_to_exitcode(status)
        elapsed = time.monotonic() - started
        if app.returncode != 0:
            raise RuntimeError("Norvale on %s ended with status %d" % (screen, app.returncode))
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
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        shares = dict(zip(names, pool.map(lambda s: cpu_share(norvale, elmsim, s, args.seconds), names)))
    for name, share in sorted(shares.items(), key=lambda item: -item[1]):
        print("%6.1f %%  %s" % (share, name))
    over = [name for name, share in shares.items() if share > args.limit]
    if over:
        print("above %g %% of a core: %s" % (args.limit, ", ".join(over)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
