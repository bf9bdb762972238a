#!/usr/bin/env python3
"""Runs the real norvale on the fuel screen against the adapter simulator cruising, and ends it without
closing its window. What was driven must be in fuelData.data afterwards:

- the adapter goes away, which ends the trip, and then norvale is killed (SIGKILL): the day is on disk;
- norvale is sent SIGTERM while driving: it ends as when its window is closed, with status 0, every archive
  written and the trip logged.

    norvale_unclean_exit.py NORVALE ELMSIM
"""
import json
import os
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from simulator_process import running_simulator  # noqa: E402

ARCHIVES = ("settings.data", "userdata.data", "fuelData.data", "raceData.data")


def wait_for(done, seconds):
    deadline = time.monotonic() + seconds
    while not done():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)
    return True


def archive(home, name):
    try:
        with open(os.path.join(home, "Documents", name)) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def logged_miles(home):
    """The miles of the fuel log's newest day, or 0 when it has none."""
    log = archive(home, "fuelData.data") or {}
    miles = log.get("distanceArr") or [0]
    return miles[0] if len(log.get("dateArr") or []) == 1 else 0


def fuel_requests(home):
    """How often the fuel screen asked the simulator for the fuel level, which only it polls."""
    with open(os.path.join(home, "elmsim.log")) as f:
        return sum(1 for line in f if line.replace(" ", "").strip().upper() == "012F")


def drive(home):
    """Waits for the fuel screen to poll, then lets the trip run for a few seconds of its one-second ticks."""
    if not wait_for(lambda: fuel_requests(home) > 0, 30):
        return False
    time.sleep(3)
    return True


def start_norvale(norvale, home, port):
    env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen")
    return subprocess.Popen([norvale, "--adapter", "127.0.0.1:" + port, "--open", "Fuel Economy"],
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def killed_after_the_adapter_went(norvale, elmsim):
    with tempfile.TemporaryDirectory() as home:
        with running_simulator(elmsim, home, "--profile", "cruise") as port:
            if port is None:
                return "the simulator did not start"
            app = start_norvale(norvale, home, port)
            driving = drive(home)
        # The simulator is gone: the link drops and the trip ends.
        saved = driving and wait_for(lambda: logged_miles(home) > 0, 15)
        app.kill()
        app.wait(timeout=30)
        if not driving:
            return "the fuel screen did not poll"
        if not saved or logged_miles(home) <= 0:
            return "the trip that ended with the link is not in fuelData.data after SIGKILL"
    return None


def terminated_while_driving(norvale, elmsim):
    with tempfile.TemporaryDirectory() as home:
        with running_simulator(elmsim, home, "--profile", "cruise") as port:
            if port is None:
                return "the simulator did not start"
            app = start_norvale(norvale, home, port)
            driving = drive(home)
            app.send_signal(signal.SIGTERM)
            code = app.wait(timeout=30)
        if not driving:
            return "the fuel screen did not poll"
        if code != 0:
            return "norvale ended with status %d on SIGTERM, not 0" % code
        unreadable = [name for name in ARCHIVES if not isinstance(archive(home, name), dict)]
        if unreadable:
            return "archives missing or unreadable after SIGTERM: " + ", ".join(unreadable)
        if logged_miles(home) <= 0:
            return "the running trip is not in fuelData.data after SIGTERM"
    return None


def main():
    norvale, elmsim = sys.argv[1], sys.argv[2]
    failures = [f for f in (killed_after_the_adapter_went(norvale, elmsim),
                            terminated_while_driving(norvale, elmsim)) if f]
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("the trips were saved")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
