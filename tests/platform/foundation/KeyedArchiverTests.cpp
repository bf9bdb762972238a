#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using fnd::KeyedArchiver;
using fnd::KeyedUnarchiver;
using nlohmann::json;

// A file replaced by a save is a new file: another inode.
ino_t inodeOf(const fs::path& file)
{
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? status.st_ino : 0;
}

void writeRaw(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

TEST(KeyedArchiver, RoundTripsValuesByKey)
{
    const fs::path file = testsupport::freshDocuments() / "settings.dat";
    KeyedArchiver archiver;
    archiver.encode("theme", 1);
    archiver.encode("enabled", true);
    archiver.encode("speedLimit", 65.5);
    archiver.encode("name", "Tërrain ✓");
    archiver.encode("minArr", json::array({0.0, -40.5, 1e6}));
    archiver.encode("flags", json::array({true, false, true}));
    archiver.encode("names", json::array({"a", "", "c"}));
    archiver.encode("nested", json{{"pid", 12}, {"list", json::array({1, 2})}});
    archiver.encode("nan", std::numeric_limits<double>::quiet_NaN());
    ASSERT_TRUE(archiver.writeToFile(file));

    const auto in = KeyedUnarchiver::fromFile(file);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->decodeInt("theme"), 1);
    EXPECT_TRUE(in->decodeBool("enabled"));
    EXPECT_DOUBLE_EQ(in->decodeDouble("speedLimit"), 65.5);
    EXPECT_FLOAT_EQ(in->decodeFloat("speedLimit"), 65.5f);
    EXPECT_EQ(in->decodeString("name"), "Tërrain ✓");
    EXPECT_EQ(in->decodeFloatArray("minArr"), (std::vector<float>{0.f, -40.5f, 1e6f}));
    EXPECT_EQ(in->decodeBoolArray("flags"), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(in->decodeStringArray("names"), (std::vector<std::string>{"a", "", "c"}));
    EXPECT_EQ(in->decodeObject("nested")["pid"], 12);
    EXPECT_DOUBLE_EQ(in->decodeDouble("nan", -1), -1);  // not representable: back as the fallback
    EXPECT_TRUE(in->containsKey("theme"));
    EXPECT_FALSE(in->containsKey("missing"));
    EXPECT_TRUE(in->decodeObject("missing").is_null());
}

TEST(KeyedArchiver, WrongTypesDecodeAsTheFallback)
{
    const KeyedUnarchiver in(json{{"text", "12"},
                                  {"number", 3.7},
                                  {"big", 1e20},
                                  {"flag", 1},
                                  {"list", json::array({1, "two", 3.5, nullptr, true})},
                                  {"object", json::object()}});
    EXPECT_EQ(in.decodeInt("text", -1), -1);
    EXPECT_EQ(in.decodeInt("number"), 3);
    EXPECT_EQ(in.decodeInt("big"), std::numeric_limits<int>::max());
    EXPECT_FALSE(in.decodeBool("flag", false));
    EXPECT_EQ(in.decodeString("number", "none"), "none");
    EXPECT_DOUBLE_EQ(in.decodeDouble("object", 2.5), 2.5);
    EXPECT_EQ(in.decodeIntArray("list"), (std::vector<int>{1, 0, 3, 0, 0}));  // positions kept
    EXPECT_EQ(in.decodeStringArray("list"), (std::vector<std::string>{"", "two", "", "", ""}));
    EXPECT_TRUE(in.decodeFloatArray("text").empty());
    EXPECT_TRUE(in.decodeIntArray("missing").empty());
    EXPECT_FALSE(KeyedUnarchiver(json::array({1, 2})).containsKey("0"));
}

TEST(KeyedArchiver, NumbersBeyondAFloatDecodeAsTheFallbackNotInfinity)
{
    // An infinite float would be saved as null and come back as something else at the next launch.
    const KeyedUnarchiver in(json{{"huge", 1e300}, {"list", json::array({-1e39, 2.5, 3.4e38})}});
    EXPECT_EQ(in.decodeFloat("huge", 7), 7);
    EXPECT_DOUBLE_EQ(in.decodeDouble("huge"), 1e300);
    EXPECT_EQ(in.decodeFloatArray("list"), (std::vector<float>{0, 2.5f, 3.4e38f}));
}

TEST(KeyedArchiver, AMissingFileIsNothingAndLeavesNoTrace)
{
    const fs::path folder = testsupport::freshDocuments();
    EXPECT_FALSE(KeyedUnarchiver::fromFile(folder / "absent.dat"));
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(KeyedArchiver, ACorruptFileLoadsAsNothingAndIsKeptAside)
{
    const fs::path folder = testsupport::freshDocuments();
    const fs::path file = folder / "fuel.dat";
    for (const std::string& bad : {std::string("{\"dateArr\": [\"Nov 1"), std::string("[1, 2, 3]"),
                                  std::string("\x00\xff binary", 9), std::string(),
                                  std::string(fnd::largestSavedFile, ' ') + "{}"}) {
        writeRaw(file, bad);
        fnd::LogCapture log;
        fs::path keptAs;
        EXPECT_FALSE(KeyedUnarchiver::fromFile(file, &keptAs));
        EXPECT_FALSE(fs::exists(file));
        EXPECT_TRUE(fs::exists(keptAs)) << keptAs;
        EXPECT_TRUE(log.contains("corrupt archive"));
    }
    for (int n = 1; n <= 4; ++n) {
        const fs::path aside = folder / ("fuel.dat.corrupt-" + std::to_string(n));
        EXPECT_TRUE(fs::exists(aside)) << aside;
    }
    EXPECT_EQ(*fnd::readFile(folder / "fuel.dat.corrupt-2"), "[1, 2, 3]");
    fs::create_symlink("/dev/zero", file);
    EXPECT_FALSE(KeyedUnarchiver::fromFile(file));
    EXPECT_TRUE(fs::is_symlink(folder / "fuel.dat.corrupt-6"));
}

TEST(KeyedArchiver, SavingReplacesTheFileWholeAndLeavesNoTemporaryFiles)
{
    const fs::path folder = testsupport::freshDocuments();
    const fs::path file = folder / "sub" / "track.dat";
    KeyedArchiver first;
    first.encode("laps", json::array({1, 2, 3}));
    ASSERT_TRUE(first.writeToFile(file));
    KeyedArchiver second;
    second.encode("laps", json::array({4}));
    ASSERT_TRUE(second.writeToFile(file));
    EXPECT_EQ(KeyedUnarchiver::fromFile(file)->decodeIntArray("laps"), std::vector<int>{4});
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder / "sub"))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(KeyedArchiver, SavingTheSameValuesAgainLeavesTheFileAsItIs)
{
    const fs::path file = testsupport::freshDocuments() / "race.dat";
    KeyedArchiver archive;
    archive.encode("laps", json::array({1, 2}));
    ASSERT_TRUE(archive.writeToFile(file));
    const ino_t written = inodeOf(file);
    ASSERT_NE(written, 0u);

    EXPECT_TRUE(archive.writeToFile(file));
    EXPECT_EQ(inodeOf(file), written) << "unchanged: not written again";

    writeRaw(file, "{\"laps\": [1, 2]}");
    EXPECT_TRUE(archive.writeToFile(file));
    EXPECT_NE(inodeOf(file), written) << "the same values in other bytes are written in ours";
    EXPECT_EQ(*fnd::readFile(file), archive.root().dump(1, '\t'));

    const ino_t rewritten = inodeOf(file);
    archive.encode("laps", json::array({1, 2, 3}));
    EXPECT_TRUE(archive.writeToFile(file));
    EXPECT_NE(inodeOf(file), rewritten);
    EXPECT_EQ(KeyedUnarchiver::fromFile(file)->decodeIntArray("laps"), (std::vector<int>{1, 2, 3}));
}

TEST(KeyedArchiver, AFailedSaveReportsFalseAndKeepsTheOldFile)
{
    const fs::path folder = testsupport::freshDocuments();
    const fs::path file = folder / "keep.dat";
    KeyedArchiver good;
    good.encode("v", 1);
    ASSERT_TRUE(good.writeToFile(file));
    fnd::LogCapture log;
    KeyedArchiver blocked;
    blocked.encode("v", 2);
    EXPECT_FALSE(blocked.writeToFile(folder / "keep.dat" / "below-a-file.dat"));
    EXPECT_TRUE(log.contains("cannot save"));
    EXPECT_EQ(KeyedUnarchiver::fromFile(file)->decodeInt("v"), 1);
}

}  // namespace
