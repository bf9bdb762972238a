#include "platform/motion/MotionService.h"

#include <cstdlib>

#include "platform/foundation/Log.h"
#include "platform/motion/IioAccelerometer.h"
#include "platform/motion/MotionReplay.h"

namespace motion {

struct MotionService::State {
    SourceKind kind = SourceKind::None;
    std::filesystem::path replayFile;
    // The replay as opened to check it: the first stream plays it, so that a pipe is read once.
    std::unique_ptr<MotionReplay> checkedReplay;
    std::optional<IioAccelerometer> accelerometer;
    Acceleration injected;
};

namespace {

class InjectedStream : public MotionService::Stream {
public:
    explicit InjectedStream(std::shared_ptr<MotionService::State> state) : state_(std::move(state)) {}
    std::optional<Acceleration> next(double, double) override { return state_->injected; }

private:
    std::shared_ptr<MotionService::State> state_;
};

// Each stream plays the recording from its start, reading it as it goes. Only a file can be read again:
// a pipe plays for the first stream alone.
class ReplayStream : public MotionService::Stream {
public:
    ReplayStream(MotionService::State& state, double start) : start_(start)
    {
        std::string error;
        std::error_code ignored;
        if (state.checkedReplay)
            replay_ = std::move(state.checkedReplay);
        else if (std::filesystem::is_regular_file(state.replayFile, ignored))
            replay_ = MotionReplay::open(state.replayFile, error);
        else
            error = "The motion replay " + state.replayFile.string() + " is not a file and was played once";
        if (!replay_)
            fnd::log(fnd::LogLevel::Error, error);
    }
    std::optional<Acceleration> next(double now, double) override
    {
        if (!replay_)
            return std::nullopt;
        return replay_->at(now - start_);
    }

private:
    std::unique_ptr<MotionReplay> replay_;
    double start_;
};

class AccelerometerStream : public MotionService::Stream {
public:
    explicit AccelerometerStream(std::shared_ptr<MotionService::State> state) : state_(std::move(state)) {}
    std::optional<Acceleration> next(double, double interval) override
    {
        const auto total = state_->accelerometer->read();
        if (!total)
            return std::nullopt;
        return gravity_.userAcceleration(*total, interval);
    }

private:
    std::shared_ptr<MotionService::State> state_;
    GravityFilter gravity_;
};

}  // namespace

MotionService::Sources MotionService::sourcesFromEnvironment(const std::filesystem::path& replayFile)
{
    Sources sources;
    sources.replayFile = replayFile;
    if (sources.replayFile.empty())
        if (const char* env = std::getenv("NORVALE_MOTION_REPLAY"); env != nullptr)
            sources.replayFile = env;
    return sources;
}

MotionService& MotionService::shared()
{
    static MotionService service;
    return service;
}

std::string MotionService::start(const Sources& sources)
{
    auto state = std::make_shared<State>();
    std::string error;
    if (!sources.replayFile.empty()) {
        if ((state->checkedReplay = MotionReplay::open(sources.replayFile, error))) {
            state->kind = SourceKind::Replay;
            state->replayFile = sources.replayFile;
        } else {
            fnd::log(fnd::LogLevel::Error, error);
        }
    } else if ((state->accelerometer = IioAccelerometer::find(sources.iioRoot))) {
        state->kind = SourceKind::Accelerometer;
        fnd::log(fnd::LogLevel::Info, "Device motion from the accelerometer " + state->accelerometer->device().string());
    }
    state_ = std::move(state);
    return error;
}

void MotionService::startInjection()
{
    auto state = std::make_shared<State>();
    state->kind = SourceKind::Injection;
    state_ = std::move(state);
}

void MotionService::inject(const Acceleration& userAcceleration)
{
    if (state_ && state_->kind == SourceKind::Injection)
        state_->injected = userAcceleration;
}

void MotionService::stop()
{
    state_.reset();
}

MotionService::SourceKind MotionService::sourceKind() const
{
    return state_ ? state_->kind : SourceKind::None;
}

std::unique_ptr<MotionService::Stream> MotionService::openStream(double now)
{
    switch (sourceKind()) {
    case SourceKind::Injection: return std::make_unique<InjectedStream>(state_);
    case SourceKind::Replay: return std::make_unique<ReplayStream>(*state_, now);
    case SourceKind::Accelerometer: return std::make_unique<AccelerometerStream>(state_);
    case SourceKind::None: break;
    }
    return nullptr;
}

}  // namespace motion
