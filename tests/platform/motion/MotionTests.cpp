#include <unistd.h>

#include <fstream>
#include <sstream>
#include <streambuf>
#include <mutex>

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/motion/IioAccelerometer.h"
#include "platform/motion/MotionManager.h"
#include "platform/motion/MotionReplay.h"
#include "platform/motion/MotionService.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using motion::Acceleration;
using motion::MotionService;

// What a handler saw, from the operation queue's thread.
struct Samples {
    std::mutex mutex;
    std::vector<motion::DeviceMotion> seen;
    bool offMain = true;

    motion::MotionManager::DeviceMotionHandler handler()
    {
        return [this](const motion::DeviceMotion& m) {
            const std::lock_guard lock(mutex);
            seen.push_back(m);
            offMain = offMain && !fnd::RunLoop::main().isMainThread();
        };
    }
    std::size_t count()
    {
        const std::lock_guard lock(mutex);
        return seen.size();
    }
    motion::DeviceMotion at(std::size_t i)
    {
        const std::lock_guard lock(mutex);
        return seen.at(i);
    }
};

class MotionTest : public ::testing::Test {
protected:
    void TearDown() override { MotionService::shared().stop(); }

    void step(motion::MotionManager& manager, Samples& samples, std::size_t expected)
    {
        fnd::RunLoop::main().advance(manager.deviceMotionUpdateInterval());
        ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return samples.count() >= expected; }));
    }
};

motion::MotionReplay replayOf(const std::string& text)
{
    return motion::MotionReplay(std::make_unique<std::istringstream>(text));
}

TEST_F(MotionTest, ReplayFilesKeepTheirGoodLines)
{
    const std::string text =
        "t,x,y,z\n# a launch\n\n0,0,0,0\n0.5, 0.01 ,-0.02,0.03\r\n1.0,0,0\n1.5,0,0,0,0\n0.4,1,1,1\n2.0,0,0,nan\n"
        "2.5,0.1,0.2,0.3\n" +
        std::string(257, 'x') + "3.0,9,9,9\n";  // the end of an over-long line is no sample
    auto counted = replayOf(text);
    int samples = 0;
    while (counted.nextSample())
        ++samples;
    EXPECT_EQ(samples, 3);
    auto replay = replayOf(text);
    EXPECT_EQ(replay.at(-1), (Acceleration{}));
    EXPECT_EQ(replay.at(0.49), (Acceleration{}));
    EXPECT_EQ(replay.at(0.5), (Acceleration{0.01, -0.02, 0.03}));
    EXPECT_EQ(replay.at(2.4), (Acceleration{0.01, -0.02, 0.03})) << "a value holds until the next line";
    EXPECT_EQ(replay.at(99), (Acceleration{0.1, 0.2, 0.3}));

    std::string error;
    EXPECT_FALSE(motion::MotionReplay::open("/nonexistent.csv", error));
    EXPECT_NE(error.find("/nonexistent.csv"), std::string::npos);
    const auto empty = testsupport::freshDocuments() / "empty.csv";
    std::ofstream(empty) << "t,x,y,z\n";
    EXPECT_FALSE(motion::MotionReplay::open(empty, error));
}

// An endless recording: "t,0,0,1" lines a hundredth of a second apart, counting what is read of it.
class EndlessRecording : public std::streambuf {
public:
    std::size_t taken = 0;

protected:
    int_type underflow() override
    {
        if (gptr() == egptr()) {
            line_ = std::to_string(lines_++ * 0.01) + ",0,0,1\n";
            setg(line_.data(), line_.data(), line_.data() + line_.size());
        }
        return traits_type::to_int_type(*gptr());
    }
    int_type uflow() override
    {
        const int_type c = underflow();
        gbump(1);
        ++taken;
        return c;
    }

private:
    std::string line_;
    long lines_ = 0;
};

// A recording is read as it plays, so an endless one plays; what is not a recording is refused at once
// (a device without line ends, an endless random one, text), and one that turns into garbage ends there.
TEST_F(MotionTest, ReplaysAreReadAsTheyPlayAndWhatIsNotOneIsRefused)
{
    EndlessRecording endless;
    auto stream = std::make_unique<std::istream>(&endless);
    motion::MotionReplay playing(std::move(stream));
    EXPECT_EQ(playing.at(10.0), (Acceleration{0, 0, 1}));
    EXPECT_LT(endless.taken, 20'000u) << "ten seconds of it, not the whole";

    const auto text = testsupport::freshDocuments() / "notes.csv";
    std::ofstream(text) << "shopping list\nmilk\n";
    for (const fs::path& file : {fs::path("/dev/zero"), fs::path("/dev/urandom"), text, text.parent_path()}) {
        std::string error;
        EXPECT_FALSE(motion::MotionReplay::open(file, error)) << file;
        EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    }

    struct FailingDisk : std::streambuf {
        int_type underflow() override { throw std::ios_base::failure("read error"); }
    } failing;
    motion::MotionReplay unreadable(std::make_unique<std::istream>(&failing));
    EXPECT_EQ(unreadable.at(1), (Acceleration{})) << "a read error ends the recording";

    auto turnsBad = replayOf("0,0,0,1\n" + std::string(1 << 20, '\0') + "\n2,0,0,2\n");
    EXPECT_EQ(turnsBad.at(5), (Acceleration{0, 0, 1}));
}

TEST_F(MotionTest, NothingToFeedItMeansUnavailable)
{
    const auto root = testsupport::freshDocuments() / "iio";
    fs::create_directories(root / "iio:device0");
    std::ofstream(root / "iio:device0" / "in_temp_raw") << "42\n";
    MotionService::Sources sources;
    sources.iioRoot = root;
    EXPECT_EQ(MotionService::shared().start(sources), "");
    motion::MotionManager manager;
    EXPECT_FALSE(manager.isDeviceMotionAvailable());
    Samples samples;
    manager.startDeviceMotionUpdates(std::make_shared<fnd::OperationQueue>(), samples.handler());
    EXPECT_FALSE(manager.isDeviceMotionActive());

    sources.replayFile = root / "missing.csv";
    EXPECT_NE(MotionService::shared().start(sources), "");
    EXPECT_FALSE(manager.isDeviceMotionAvailable()) << "a named replay that fails is not replaced by something else";
}

TEST_F(MotionTest, InjectedSamplesReachTheHandlerOnItsQueue)
{
    MotionService::shared().startInjection();
    motion::MotionManager manager;
    ASSERT_TRUE(manager.isDeviceMotionAvailable());
    manager.setDeviceMotionUpdateInterval(0.05);
    Samples samples;
    auto queue = std::make_shared<fnd::OperationQueue>("motion");
    manager.startDeviceMotionUpdates(queue, samples.handler());
    EXPECT_TRUE(manager.isDeviceMotionActive());

    MotionService::shared().inject({0.1, -0.2, 0.3});
    step(manager, samples, 1);
    MotionService::shared().inject({0, 0, 0.5});
    step(manager, samples, 2);
    EXPECT_EQ(samples.at(0).userAcceleration, (Acceleration{0.1, -0.2, 0.3}));
    EXPECT_EQ(samples.at(1).userAcceleration, (Acceleration{0, 0, 0.5}));
    EXPECT_NEAR(samples.at(1).timestamp - samples.at(0).timestamp, 0.05, 1e-9);
    EXPECT_TRUE(samples.offMain);
    EXPECT_EQ(manager.deviceMotion()->userAcceleration, (Acceleration{0, 0, 0.5}));

    manager.stopDeviceMotionUpdates();
    fnd::RunLoop::main().advance(1);
    queue->waitUntilAllOperationsAreFinished();
    EXPECT_EQ(samples.count(), 2u);
}

TEST_F(MotionTest, ReplayRunsFromTheStartOfUpdates)
{
    const auto file = testsupport::freshDocuments() / "launch.csv";
    std::ofstream(file) << "0,0,0,0\n0.2,0.05,0,0.12\n0.3,0,0,0\n";
    MotionService::Sources sources;
    sources.replayFile = file;
    ASSERT_EQ(MotionService::shared().start(sources), "");
    fnd::RunLoop::main().advance(10);  // time before the screen starts its updates does not count

    motion::MotionManager manager;
    manager.setDeviceMotionUpdateInterval(0.1);
    Samples samples;
    manager.startDeviceMotionUpdates(std::make_shared<fnd::OperationQueue>(), samples.handler());
    for (std::size_t n = 1; n <= 4; ++n)
        step(manager, samples, n);
    EXPECT_EQ(samples.at(0).userAcceleration, (Acceleration{}));
    EXPECT_EQ(samples.at(1).userAcceleration, (Acceleration{0.05, 0, 0.12}));
    EXPECT_EQ(samples.at(2).userAcceleration, (Acceleration{}));
}

// The replay checked at start is the one played: a pipe has nothing to give a second reading.
TEST_F(MotionTest, APipeIsReadOnce)
{
    int ends[2] = {-1, -1};
    ASSERT_EQ(::pipe(ends), 0);
    const std::string text = "0,0,0,0\n0.2,0.05,0,0.12\n";
    ASSERT_EQ(::write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(ends[1]);
    MotionService::Sources sources;
    sources.replayFile = "/proc/self/fd/" + std::to_string(ends[0]);
    ASSERT_EQ(MotionService::shared().start(sources), "");
    EXPECT_EQ(MotionService::shared().openStream(0)->next(0.3, 0.1), (Acceleration{0.05, 0, 0.12}));
    EXPECT_FALSE(MotionService::shared().openStream(0)->next(0.3, 0.1));
    ::close(ends[0]);
}

TEST_F(MotionTest, AccelerometerIsReadFromIioWithGravityRemoved)
{
    const auto root = testsupport::freshDocuments() / "iio";
    const auto device = root / "iio:device1";
    fs::create_directories(device);
    fs::create_directories(root / "iio:device0");  // a device without an accelerometer comes first
    const auto write = [&](const char* name, const std::string& value) { std::ofstream(device / name) << value << "\n"; };
    // Lying face up: the kernel reports the reaction to gravity, +1 g on z.
    write("in_accel_x_raw", "0");
    write("in_accel_y_raw", "0");
    write("in_accel_z_raw", "1024");
    write("in_accel_scale", "0.009576806");  // 9.80665 / 1024
    write("in_accel_x_offset", "0");

    const auto accelerometer = motion::IioAccelerometer::find(root);
    ASSERT_TRUE(accelerometer.has_value());
    EXPECT_EQ(accelerometer->device(), device);
    const auto resting = accelerometer->read();
    ASSERT_TRUE(resting.has_value());
    EXPECT_NEAR(resting->z, -1.0, 1e-6) << "the platform reads gravity as -1 g";

    MotionService::Sources sources;
    sources.iioRoot = root;
    ASSERT_EQ(MotionService::shared().start(sources), "");
    EXPECT_EQ(MotionService::shared().sourceKind(), MotionService::SourceKind::Accelerometer);
    motion::MotionManager manager;
    manager.setDeviceMotionUpdateInterval(0.05);
    Samples samples;
    manager.startDeviceMotionUpdates(std::make_shared<fnd::OperationQueue>(), samples.handler());
    step(manager, samples, 1);
    EXPECT_NEAR(samples.at(0).userAcceleration.z, 0, 1e-9) << "at rest there is no user acceleration";

    // The car pulls away: the phone facing the driver is pushed towards its back.
    write("in_accel_z_raw", "717");  // 0.7 g of reaction: moving towards its back at 0.3 g
    step(manager, samples, 2);
    EXPECT_NEAR(samples.at(1).userAcceleration.z, 0.3 * 0.5 / 0.55, 1e-3) << "positive z, as a launch reads";

    // A steady new level fades into the gravity estimate.
    for (std::size_t n = 3; n <= 60; ++n)
        step(manager, samples, n);
    EXPECT_NEAR(samples.at(59).userAcceleration.z, 0, 0.01);

    // A read that fails skips the sample.
    fs::remove(device / "in_accel_y_raw");
    fnd::RunLoop::main().advance(0.2);
    fnd::RunLoop::main().runUntil([] { return false; }, 0.05);
    EXPECT_EQ(samples.count(), 60u);
}

}  // namespace
