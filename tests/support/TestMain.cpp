#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemSound.h"
#include "support/LoopbackServer.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// A temporary NORVALE_HOME for the whole program, removed at the end.
class TemporaryHome {
public:
    TemporaryHome()
    {
        std::string pattern = (fs::temp_directory_path() / "norvale-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(2);
        }
        path_ = pattern;
        ::setenv("NORVALE_HOME", path_.c_str(), 1);
    }
    ~TemporaryHome()
    {
        std::error_code ignored;
        if (std::getenv("NORVALE_KEEP_TEST_HOME") == nullptr)
            fs::remove_all(path_, ignored);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

private:
    fs::path path_;
};

// Every test starts in the program's own home, whatever the last one chose.
class HomeReset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        ::setenv("NORVALE_HOME", testsupport::programHome().c_str(), 1);
        fnd::SystemSound::clearPlayed();
    }
};

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // No test reaches the trouble-code reference site: pages come from loopback servers, and a lookup a
    // test did not arrange for is refused at once.
    ::setenv("NORVALE_DTC_REFERENCE_URL", ("http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort())).c_str(), 1);
    // No test fetches map tiles from outside loopback: those that need tiles serve them.
    ::setenv("NORVALE_TILE_URL", "off", 1);
    const TemporaryHome home;
    testsupport::programHome();
    ::testing::InitGoogleTest(&argc, argv);
    fnd::initPlatform(argc, argv);
    fnd::RunLoop::main().useManualClock();
    fnd::SystemSound::setSilent(true);
    ::testing::UnitTest::GetInstance()->listeners().Append(std::make_unique<HomeReset>().release());  // gtest owns it
    const int result = RUN_ALL_TESTS();
    fnd::shutdownPlatform();
    return result;
}
