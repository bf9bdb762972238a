#!/usr/bin/env python3
"""The include checker finds each edge against the layering in a small source tree, and only those."""

import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import include_layers  # noqa: E402


class IncludeLayersTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.src = pathlib.Path(self.dir.name)

    def tearDown(self):
        self.dir.cleanup()

    def write(self, path, *includes):
        file = self.src / path
        file.parent.mkdir(parents=True, exist_ok=True)
        file.write_text("".join(f'#include "{header}"\n' for header in includes) + "int x;\n")

    def test_edges_down_the_layers_pass(self):
        self.write("platform/ui/View.h", "platform/foundation/RunLoop.h", "string")
        self.write("core/model/Lap.cpp", "core/model/Lap.h", "core/obd/Command.h", "platform/geo/Location.h")
        self.write("shell/Menu.cpp", "core/Notifications.h", "platform/ui/View.h")
        self.write("dashcam/Camera.cpp", "imaging/GfxFilter.h", "dashboard/GaugeView2.h",
                   "performance/GforceView.h", "performance/TrackView.h")
        self.write("app/Features.cpp", "dashcam/Camera.h", "performance/RaceViewController.h")
        self.assertEqual(include_layers.violations(self.src), [])

    def test_each_edge_against_the_layers_is_reported(self):
        self.write("dashcam/Settings.cpp", "performance/RaceViewController.h")
        self.write("shell/Menu.cpp", "fuel/FuelViewController.h")
        self.write("core/obd/Command.cpp", "platform/foundation/Log.h")
        self.write("html/Parser.cpp", "core/obd/Command.h")
        self.write("imaging/GfxFilter.cpp", "core/model/Settings.h")
        self.write("platform/ui/View.cpp", "platform/geo/Location.h")
        self.write("dashboard/Gauge.cpp", "logging/SensorList.h")
        self.assertEqual(include_layers.violations(self.src), [
            "core/obd/Command.cpp:1: core/obd may not include platform/foundation/Log.h",
            "dashboard/Gauge.cpp:1: dashboard may not include logging/SensorList.h",
            "dashcam/Settings.cpp:1: dashcam may not include performance/RaceViewController.h",
            "html/Parser.cpp:1: html may not include core/obd/Command.h",
            "imaging/GfxFilter.cpp:1: imaging may not include core/model/Settings.h",
            "platform/ui/View.cpp:1: platform/ui may not include platform/geo/Location.h",
            "shell/Menu.cpp:1: shell may not include fuel/FuelViewController.h",
        ])

    def test_a_folder_the_layering_does_not_name_is_reported(self):
        self.write("radio/Tuner.cpp", "platform/foundation/Log.h")
        self.assertEqual(include_layers.violations(self.src), ["radio/Tuner.cpp: in no known folder"])


if __name__ == "__main__":
    unittest.main()
