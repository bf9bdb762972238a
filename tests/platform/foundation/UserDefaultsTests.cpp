#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using fnd::UserDefaults;

TEST(UserDefaults, ValuesSurviveARestart)
{
    const fs::path file = testsupport::freshDocuments().parent_path() / "Preferences.json";
    {
        UserDefaults defaults(file);
        defaults.setInteger("LaunchAmounts", 3);
        defaults.setBool("agreed", true);
        defaults.setString("name", "Norvale");
        defaults.setDouble("ratio", 0.25);
        defaults.setObject("kVersionTrail", nlohmann::json{{"versions", {"1.0", "1.1"}}});
        defaults.setString("gone", "x");
        defaults.removeObjectForKey("gone");
        EXPECT_TRUE(defaults.synchronize());
    }
    const UserDefaults reread(file);
    EXPECT_EQ(reread.integerForKey("LaunchAmounts"), 3);
    EXPECT_TRUE(reread.boolForKey("agreed"));
    EXPECT_EQ(reread.stringForKey("name"), "Norvale");
    EXPECT_DOUBLE_EQ(reread.doubleForKey("ratio"), 0.25);
    EXPECT_EQ(reread.objectForKey("kVersionTrail")["versions"][1], "1.1");
    EXPECT_TRUE(reread.objectForKey("gone").is_null());
    EXPECT_EQ(reread.integerForKey("missing"), 0);
    EXPECT_FALSE(reread.boolForKey("missing"));
    EXPECT_EQ(reread.stringForKey("LaunchAmounts"), "");  // wrong type: the empty default
}

TEST(UserDefaults, TheStandardDefaultsLiveInHomeAndSaveOnTheNextTurnOfTheLoop)
{
    const fs::path home = testsupport::freshDocuments().parent_path();
    auto& defaults = UserDefaults::standard();
    EXPECT_EQ(defaults.file(), home / "Preferences.json");
    defaults.setInteger("LaunchAmounts", 7);
    EXPECT_FALSE(fs::exists(defaults.file()));
    fnd::RunLoop::main().processEvents();
    EXPECT_EQ(UserDefaults(home / "Preferences.json").integerForKey("LaunchAmounts"), 7);
}

// Each launch sets the version trail again: as it was, it costs no write.
TEST(UserDefaults, ValuesSetAgainAsTheyWereAreNoChangeToSave)
{
    const fs::path file = testsupport::freshDocuments().parent_path() / "Preferences.json";
    const auto inodeOf = [&] {
        struct stat status {};
        return ::stat(file.c_str(), &status) == 0 ? status.st_ino : 0;
    };
    UserDefaults defaults(file);
    defaults.setObject("kVersionTrail", nlohmann::json{{"versions", {"1.0"}}});
    defaults.setInteger("LaunchAmounts", 3);
    ASSERT_TRUE(defaults.synchronize());
    const ino_t written = inodeOf();

    defaults.setObject("kVersionTrail", nlohmann::json{{"versions", {"1.0"}}});
    defaults.setInteger("LaunchAmounts", 3);
    defaults.removeObjectForKey("missing");
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(inodeOf(), written);

    defaults.setInteger("LaunchAmounts", 4);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_NE(inodeOf(), written);
    EXPECT_EQ(UserDefaults(file).integerForKey("LaunchAmounts"), 4);
}

TEST(UserDefaults, AnUnreadableFileStartsFromDefaultsAndIsKeptBesideAnEarlierOne)
{
    const fs::path file = testsupport::freshDocuments().parent_path() / "Preferences.json";
    std::ofstream(file.string() + ".corrupt-1") << "kept before";
    std::ofstream(file) << "{ not json";
    UserDefaults defaults(file);
    EXPECT_EQ(defaults.integerForKey("LaunchAmounts"), 0);
    EXPECT_EQ(defaults.takeKeptAside(), file.string() + ".corrupt-2");
    EXPECT_EQ(fnd::readFile(file.string() + ".corrupt-2"), "{ not json");
    EXPECT_EQ(fnd::readFile(file.string() + ".corrupt-1"), "kept before") << "an earlier kept file stays";
    EXPECT_TRUE(defaults.takeKeptAside().empty()) << "told once";
}

// A save killed half-way, as by a signal in the first moments of a run, leaves nothing for good.
TEST(UserDefaults, TemporariesOfAGoneWriterAreRemovedAtLoad)
{
    const fs::path file = testsupport::freshDocuments().parent_path() / "Preferences.json";
    const fs::path gone = file.parent_path() / ".Preferences.json.tmp-999999999-0";
    std::ofstream(gone) << "{";
    const UserDefaults defaults(file);
    EXPECT_FALSE(fs::exists(gone));
}

}  // namespace
