#!/usr/bin/env python3
"""Start-up of Norvale against a bare Qt window: the whole process, from its start to its exit after
the first frame, run in turn with the anchor (A B A B ...) so both see the same machine.

    bench/startup/compare-startup.py [BUILD_DIR] [RUNS]

Norvale runs `--open Settings --quit-after 0` (the settings screen's first frame, then quit); the anchor
(bench/startup/bare_window) paints one label in a window of the same size and quits. Each run's output
is checked: Norvale must print the settings screen's rows, the anchor its painted frames. Prints the
median wall time and peak memory of each, their ratio, and how many shared libraries each loads.
Uses the display in DISPLAY, else Qt's offscreen platform.
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time


def run(command, env):
    """Wall seconds, peak resident MiB and standard output of one run."""
    start = time.monotonic()
    process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    output = process.stdout.read()
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit("%s exited with %d" % (command[0], process.returncode))
    return wall, usage.ru_maxrss / 1024, output


def library_count(command, env):
    """The shared objects the dynamic loader opened during one run."""
    report = subprocess.run(command, env=dict(env, LD_DEBUG="files"), capture_output=True, text=True).stderr
    return len(set(re.findall(r"file=(\S+)\s+\[\d+\];\s+(?:needed by|dynamically loaded by)", report)))


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    norvale = [os.path.join(build, "src/app/norvale"), "--adapter", "127.0.0.1:9", "--open", "Settings",
               "--dump-text", "--quit-after", "0"]
    anchor = [os.path.join(build, "bench/startup/bare_window")]
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, NORVALE_HOME=home, NORVALE_TILE_URL="off", NORVALE_DTC_REFERENCE_URL="off",
                   NORVALE_GPSD="off")
        if not env.get("DISPLAY") and not env.get("WAYLAND_DISPLAY"):
            env["QT_QPA_PLATFORM"] = "offscreen"
        run(norvale, env)  # the first launch writes the stored defaults: not counted
        ours, theirs = [], []
        for _ in range(runs):
            ours.append(run(norvale, env))
            theirs.append(run(anchor, env))
        for _, _, output in ours:
            if "Adapter type" not in output.splitlines():
                sys.exit("norvale did not show the settings screen:\n" + output)
        for _, _, output in theirs:
            painted = re.fullmatch(r"frames painted: (\d+)", output.strip())
            if not painted or int(painted[1]) < 1:
                sys.exit("the bare window did not paint its label: " + output)
        counts = library_count(norvale, env), library_count(anchor, env)

    def median(samples, index):
        return statistics.median(sample[index] for sample in samples)

    ratios = [a[0] / b[0] for a, b in zip(ours, theirs)]
    print("runs: %d each, in turn (%s)" % (runs, env.get("DISPLAY") or "offscreen"))
    print("%-12s %10s %10s %10s" % ("", "wall ms", "peak MiB", "libraries"))
    print("%-12s %10.1f %10.1f %10d" % ("norvale", median(ours, 0) * 1000, median(ours, 1), counts[0]))
    print("%-12s %10.1f %10.1f %10d" % ("bare window", median(theirs, 0) * 1000, median(theirs, 1), counts[1]))
    print("wall ratio, median of the pairs: %.2f" % statistics.median(ratios))
    return 0


if __name__ == "__main__":
    sys.exit(main())
