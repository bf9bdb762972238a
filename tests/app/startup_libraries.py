#!/usr/bin/env python3
"""What the real norvale loads. Started on the settings screen it shows the screen without loading the
media module, any of FFmpeg's libraries, Qt's network library (the adapter link is a plain socket; web
requests open a module) or Qt's image format plugins (its images are all PNG). Copied with its media module into another folder (as an
installed program is) and opened on the dash camera, it loads the module from its own folder when the
camera starts, and the camera's picture shows.

    startup_libraries.py NORVALE MEDIA_MODULE
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "shell", "app"))
sys.path.insert(0, os.path.join(HERE, "..", "dashcam"))
from norvale_smoke import report  # noqa: E402
from norvale_dashcam_screen import Shot  # noqa: E402


def loaded_files(stderr):
    """The shared objects the dynamic loader opened, from its LD_DEBUG=files report."""
    return re.findall(r"file=(\S+)\s+\[\d+\];\s+(?:needed by|dynamically loaded by)", stderr)


def main():
    norvale, module = sys.argv[1:3]
    failures = []
    with tempfile.TemporaryDirectory() as home, tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, NORVALE_HOME=home, QT_QPA_PLATFORM="offscreen", LD_DEBUG="files")
        settings = subprocess.run([norvale, "--adapter", "127.0.0.1:9", "--open", "Settings", "--dump-text",
                                   "--quit-after", "0"], env=env, capture_output=True, text=True, timeout=90)
        files = loaded_files(settings.stderr)
        if settings.returncode != 0 or "Adapter type" not in settings.stdout.splitlines():
            failures.append("the settings screen was not shown: %s" % settings.stdout)
        media = [f for f in files if re.search(r"libav|libsw|norvale_media", f)]
        if media:
            failures.append("the settings screen loaded media libraries: %s" % ", ".join(media))
        network = [f for f in files if re.search(r"libQt6Network|norvale_net_http", f)]
        if network:
            failures.append("the settings screen loaded Qt's network library: %s" % ", ".join(network))
        plugins = [f for f in files if "/imageformats/" in f]
        if plugins:
            failures.append("the settings screen loaded image format plugins: %s" % ", ".join(plugins))
        if not files:
            failures.append("no report from the dynamic loader")

        copied = os.path.join(folder, "norvale")
        shutil.copy(norvale, copied)
        shutil.copy(module, folder)
        shot = os.path.join(folder, "camera.png")
        camera = subprocess.run([copied, "--adapter", "127.0.0.1:9", "--camera", "synthetic", "--microphone",
                                 "synthetic", "--open", "Dash Camcorder", "--size", "844x390", "--screenshot", shot,
                                 "--quit-after", "3"], env=env, capture_output=True, text=True, timeout=90)
        files = loaded_files(camera.stderr)
        if camera.returncode != 0:
            failures.append("the copied norvale exited with %d" % camera.returncode)
        if os.path.join(folder, os.path.basename(module)) not in files:
            failures.append("the copied norvale did not load the media module from its own folder: %s"
                            % [f for f in files if "norvale_media" in f])
        if not any("libavcodec" in f for f in files):
            failures.append("the dash camera did not load FFmpeg")
        if not os.path.exists(shot) or Shot(shot, 844).bar_share(0, 250) < 0.4:
            failures.append("the dash camera's picture did not show")

    return report(failures, "FFmpeg loads with the dash camera only, from the module next to the program")


if __name__ == "__main__":
    sys.exit(main())
