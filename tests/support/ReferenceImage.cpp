#include "support/ReferenceImage.h"

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
    std::size_t differing = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const bool differs = channelDifference(actual.pixels()[i], reference.pixels()[i]) > tolerance.channel;
        differing += differs ? 1 : 0;
        diff[i] = differs ? 0xFFFF0000u : fadedPixel(reference.pixels()[i]);
    }
    const std::size_t allowed = static_cast<std::size_t>(std::floor(tolerance.share * static_cast<double>(count)));
    if (differing <= allowed)
        return ::testing::AssertionSuccess();
    const fs::path actualFile = failureFile(name, "-actual");
    const fs::path diffFile = failureFile(name, "-diff");
    actual.writePNG(actualFile);
    ui::Image::fromPixels(width, height, diff.data(), static_cast<std::size_t>(width) * 4, actual.scale())
        .writePNG(diffFile);
    return ::testing::AssertionFailure() << name << ": " << differing << " of " << count
                                         << " pixels differ by more than " << tolerance.channel << " levels, "
                                         << allowed << " may; the actual image is " << actualFile
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
