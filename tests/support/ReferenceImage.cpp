#include "support/ReferenceImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#include "support/ImageCompare.h"
#include "support/TestSupport.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

bool updatingReferences()
{
    const char* value = std::getenv("NORVALE_UPDATE_REFERENCES");
    return value != nullptr && std::string_view(value) == "1";
}

fs::path failureFile(const std::string& name, const std::string& suffix)
{
    const fs::path folder = artifactsDir() / "reference-screens";
    fs::create_directories(folder);
    return folder / (name + suffix + ".png");
}

// The reference at a third of its brightness, so the red differing pixels stand out where they are.
std::uint32_t fadedPixel(std::uint32_t pixel)
{
    const std::uint32_t grey = ((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 9;
    return 0xFF000000u | grey << 16 | grey << 8 | grey;
}

// The most pixels marked in `differs` that touch one another (across corners too).
std::size_t largestRegion(std::vector<bool> differs, int width, int height)
{
    std::size_t largest = 0;
    std::vector<std::size_t> pending;
    for (std::size_t start = 0; start < differs.size(); ++start) {
        if (!differs[start])
            continue;
        differs[start] = false;
        pending.push_back(start);
        std::size_t size = 0;
        while (!pending.empty()) {
            const std::size_t at = pending.back();
            pending.pop_back();
            ++size;
            const int x = static_cast<int>(at % static_cast<std::size_t>(width));
            const int y = static_cast<int>(at / static_cast<std::size_t>(width));
            for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny) {
                for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx) {
                    const std::size_t next = static_cast<std::size_t>(ny) * static_cast<std::size_t>(width)
                        + static_cast<std::size_t>(nx);
                    if (differs[next]) {
                        differs[next] = false;
                        pending.push_back(next);
                    }
                }
            }
        }
        largest = std::max(largest, size);
    }
    return largest;
}

}  // namespace

::testing::AssertionResult matchesImage(const ui::Image& actual, const ui::Image& reference, const std::string& name,
                                        ReferenceTolerance tolerance)
{
    const int width = actual.pixelWidth();
    const int height = actual.pixelHeight();
    if (width != reference.pixelWidth() || height != reference.pixelHeight()) {
        const fs::path actualFile = failureFile(name, "-actual");
        actual.writePNG(actualFile);
        return ::testing::AssertionFailure() << name << ": " << width << "x" << height << " pixels against the "
                                             << reference.pixelWidth() << "x" << reference.pixelHeight()
                                             << " of the reference; the actual image is " << actualFile;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint32_t> diff(count);
    std::vector<bool> differs(count);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < count; ++i) {
        differs[i] = channelDifference(actual.pixels()[i], reference.pixels()[i]) > tolerance.channel;
        differing += differs[i] ? 1 : 0;
        diff[i] = differs[i] ? 0xFFFF0000u : fadedPixel(reference.pixels()[i]);
    }
    const std::size_t allowed = static_cast<std::size_t>(std::floor(tolerance.share * static_cast<double>(count)));
    const std::size_t region = differing == 0 ? 0 : largestRegion(std::move(differs), width, height);
    if (differing <= allowed && region <= static_cast<std::size_t>(tolerance.region))
        return ::testing::AssertionSuccess();
    const fs::path actualFile = failureFile(name, "-actual");
    const fs::path diffFile = failureFile(name, "-diff");
    actual.writePNG(actualFile);
    ui::Image::fromPixels(width, height, diff.data(), static_cast<std::size_t>(width) * 4, actual.scale())
        .writePNG(diffFile);
    return ::testing::AssertionFailure() << name << ": " << differing << " of " << count
                                         << " pixels differ by more than " << tolerance.channel << " levels, "
                                         << allowed << " may; " << region << " of them touch, "
                                         << tolerance.region << " may; the actual image is " << actualFile
                                         << " and the differences are red in " << diffFile;
}

::testing::AssertionResult matchesReference(const ui::Image& actual, const std::string& name,
                                            ReferenceTolerance tolerance)
{
    const fs::path file = testDataDir() / "reference-screens" / (name + ".png");
    if (updatingReferences()) {
        fs::create_directories(file.parent_path());
        if (!actual.writePNG(file))
            return ::testing::AssertionFailure() << "could not write the reference " << file;
        return ::testing::AssertionSuccess();
    }
    const auto reference = ui::Image::fromFile(file, actual.scale());
    if (!reference) {
        const fs::path actualFile = failureFile(name, "-actual");
        actual.writePNG(actualFile);
        return ::testing::AssertionFailure() << "no reference " << file << " (the actual image is " << actualFile
                                             << "; NORVALE_UPDATE_REFERENCES=1 keeps it as the reference)";
    }
    return matchesImage(actual, *reference, name, tolerance);
}

}  // namespace testsupport
