#include "core/model/FuelTally.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/model/DataStore.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"

namespace {

constexpr std::size_t maxMinuteMeans = 120;
constexpr int fiveMinutes = 5;
constexpr int thirtyMinutes = 30;

}  // namespace

void FuelTally::Window::add(float value)
{
    values->push_back(value);
    if (length && values->size() > *length)
        values->erase(values->begin());
}

void FuelTally::Window::freeze()
{
    if (!length)
        length = std::max<std::size_t>(values->size(), 1);
}

FuelTally::FuelTally(Config config) : config_(config)
{
    auto& store = DataStore::sharedDataStore();
    fiveMinute_ = config.shared ? &store.fuelEco5MinArr : &ownFiveMinute_;
    thirtyMinute_ = config.shared ? &store.fuelEco30MinArr : &ownThirtyMinute_;
    trip_ = config.shared ? &store.fuelTotalAvgArr : &ownTrip_;
    fiveMinuteWindow_ = {fiveMinute_, {}};
    thirtyMinuteWindow_ = {thirtyMinute_, {}};
}

FuelTally::~FuelTally()
{
    if (minuteTimer_)
        minuteTimer_->invalidate();
    if (distanceTimer_)
        distanceTimer_->invalidate();
}

void FuelTally::start()
{
    if (minuteTimer_)
        minuteTimer_->invalidate();
    if (distanceTimer_)
        distanceTimer_->invalidate();
    distanceTimer_.reset();

    // The minute starts afresh and grows for a whole minute before it slides.
    if (config_.shared) {
        minute_.clear();
        freshSamples_ = 0;
    }
    minuteWindow_.length.reset();
    samples_ = 0;
    minutes_ = 0;
    startedAt_ = fnd::RunLoop::main().now();
    minuteTimer_ = fnd::Timer::scheduled(60.0, true, [this](fnd::Timer&) {
        const auto average = tallyMinute();
        if (average && minuteHandler_)
            minuteHandler_(*average);
    });
    if (config_.shared)
        distanceTimer_ = fnd::Timer::scheduled(1.0, true, [this](fnd::Timer&) { tickDistance(); });
}

void FuelTally::stop()
{
    if (!isRunning())
        return;
    minuteTimer_->invalidate();
    minuteTimer_.reset();
    if (distanceTimer_)
        distanceTimer_->invalidate();
    distanceTimer_.reset();
    if (!config_.shared)
        return;
    auto& store = DataStore::sharedDataStore();
    const double seconds = std::fabs(fnd::RunLoop::main().now() - startedAt_);
    store.fuelElapsedTime = static_cast<int>(store.fuelElapsedTime + seconds);
    store.fuelEcoMinArr = std::move(minute_);
    minute_.clear();
    freshSamples_ = 0;
}

void FuelTally::addSample(float mpg)
{
    if (!std::isfinite(mpg))
        return;
    minuteWindow_.add(mpg);
    ++freshSamples_;
    if (samples_ % config_.fiveMinuteStride == 0)
        fiveMinuteWindow_.add(mpg);
    if (samples_ % config_.thirtyMinuteStride == 0)
        thirtyMinuteWindow_.add(mpg);
    if (samples_ % config_.tripStride == 0)
        trip_->push_back(mpg);
    ++samples_;
}

void FuelTally::setSpeed(float kmh)
{
    speed_ = std::isfinite(kmh) && kmh > 0 ? kmh : 0;
}

void FuelTally::tickDistance()
{
    DataStore::sharedDataStore().distance += speed_ / 3600.0f;
}

std::optional<float> FuelTally::tallyMinute()
{
    if (freshSamples_ == 0 && minutes_ == 0)
        return std::nullopt;
    ++minutes_;
    minuteWindow_.freeze();
    if (minutes_ >= fiveMinutes)
        fiveMinuteWindow_.freeze();
    if (minutes_ >= thirtyMinutes)
        thirtyMinuteWindow_.freeze();

    const auto average = mean(minute_);
    if (freshSamples_ == 0 || !average)
        return std::nullopt;
    freshSamples_ = 0;
    auto& means = DataStore::sharedDataStore().fuelEconomyArr;
    means.insert(means.begin(), *average);
    if (means.size() > maxMinuteMeans)
        means.pop_back();
    return average;
}

std::optional<float> FuelTally::minuteAverage() const
{
    return mean(minute_);
}

std::optional<float> FuelTally::fiveMinuteAverage() const
{
    return mean(*fiveMinute_);
}

std::optional<float> FuelTally::thirtyMinuteAverage() const
{
    return mean(*thirtyMinute_);
}

std::optional<float> FuelTally::tripAverage() const
{
    return mean(*trip_);
}

FuelTally::Handover FuelTally::takeOverShared()
{
    auto& store = DataStore::sharedDataStore();
    Handover handover{std::move(store.fuelEconomyArr), std::move(store.fuelEcoMinArr), store.fuelElapsedTime,
                      store.distance};
    store.fuelEconomyArr.clear();
    store.fuelEcoMinArr.clear();
    store.fuelElapsedTime = 0;
    store.distance = 0;
    if (!std::isfinite(handover.distanceKm) || handover.distanceKm < 0)
        handover.distanceKm = 0;
    // Nothing handed over leaves this screen's own minute as it is.
    if (!handover.unfinishedMinute.empty()) {
        minute_ = handover.unfinishedMinute;
        freshSamples_ = static_cast<int>(minute_.size());
    }
    return handover;
}

void FuelTally::reset()
{
    minute_.clear();
    fiveMinute_->clear();
    thirtyMinute_->clear();
    trip_->clear();
    minuteWindow_.length.reset();
    fiveMinuteWindow_.length.reset();
    thirtyMinuteWindow_.length.reset();
    samples_ = 0;
    freshSamples_ = 0;
    minutes_ = 0;
}

std::optional<float> FuelTally::mean(const std::vector<float>& values)
{
    if (values.empty())
        return std::nullopt;
    const float sum = std::accumulate(values.begin(), values.end(), 0.0f);
    return sum / static_cast<float>(values.size());
}
