#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/foundation/Localization.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/SystemSound.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

TEST(Localization, GivesTheEnglishTextOfAKeyOrTheKeyItself)
{
    EXPECT_NE(fnd::L("Mail msg"), "Mail msg");
    EXPECT_FALSE(fnd::L("Mail msg").empty());
    EXPECT_EQ(fnd::L("Some text that has no entry"), "Some text that has no entry");
    EXPECT_EQ(fnd::L(""), "");
}

TEST(Paths, DocumentsAreBelowTheHomeFromTheEnvironment)
{
    const fs::path documents = testsupport::freshDocuments();
    EXPECT_EQ(fnd::Paths::documents(), fnd::Paths::home() / "Documents");
    EXPECT_EQ(documents, fnd::Paths::documents());
    EXPECT_TRUE(fs::is_directory(documents));
    EXPECT_TRUE(fs::exists(fnd::Paths::resources() / "strings" / "en.json"));
}

TEST(Log, CapturesLinesWhileTheCaptureLives)
{
    fnd::log(fnd::LogLevel::Info, "before");
    std::vector<std::pair<fnd::LogLevel, std::string>> seen;
    {
        fnd::LogCapture capture;
        fnd::log(fnd::LogLevel::Warning, "HTTP Error 404");
        fnd::LogCapture inner;
        fnd::log(fnd::LogLevel::Debug, "both");
        EXPECT_TRUE(capture.contains("Error 404"));
        EXPECT_FALSE(capture.contains("before"));
        EXPECT_EQ(inner.lines().size(), 1u);
        seen = capture.lines();
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, fnd::LogLevel::Warning);
    EXPECT_EQ(seen[1].second, "both");
}

TEST(SystemSound, RecordsEveryPlayedSound)
{
    fnd::SystemSound::clearPlayed();
    for (const int id : {1052, 1103, 1111, 1112, 1005, 4242})
        fnd::SystemSound::play(id);
    EXPECT_EQ(fnd::SystemSound::played(), (std::vector<int>{1052, 1103, 1111, 1112, 1005, 4242}));
    fnd::SystemSound::clearPlayed();
    EXPECT_TRUE(fnd::SystemSound::played().empty());
}

}  // namespace
