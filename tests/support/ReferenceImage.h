#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Image.h"

namespace testsupport {

// How far a rendering may stray from its kept reference: any pixel by up to
// `channel` levels (of 255) in each channel, and a `share` of the pixels by
// more, as long as no `region` of more than that many touching pixels differs.
// Renderings repeat exactly from run to run and between the normal and
// sanitizer builds; the slack lets a rasterizer update shade scattered edge
// pixels a little differently, while one changed digit of 10 pt text (a
// connected patch of some tens of pixels even at scale 1) still fails.
struct ReferenceTolerance {
    int channel = 8;
    double share = 0.0001;
    int region = 6;
};

// Success when `actual` matches `reference` within `tolerance`. Otherwise the
// actual image and a diff (the reference faded, differing pixels in red) are
// written to the artifacts folder's reference-screens/ as <name>-actual.png
// and <name>-diff.png, and the message says where.
::testing::AssertionResult matchesImage(const ui::Image& actual, const ui::Image& reference, const std::string& name,
                                        ReferenceTolerance tolerance = {});

// Compares `actual` with the kept reference-screens/<name>.png in the test
// data folder. With NORVALE_UPDATE_REFERENCES=1 in the environment, writes
// `actual` as that reference instead.
::testing::AssertionResult matchesReference(const ui::Image& actual, const std::string& name,
                                            ReferenceTolerance tolerance = {});

}  // namespace testsupport
