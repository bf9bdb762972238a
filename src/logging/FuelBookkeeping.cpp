#include "logging/FuelBookkeeping.h"

#include <cmath>
#include <numeric>

#include "core/model/DataStore.h"
#include "logging/SensorDecoder.h"
#include "platform/foundation/RunLoop.h"

namespace {

void dropFirst(std::vector<float>& list)
{
    if (!list.empty())
        list.erase(list.begin());
}

}  // namespace

FuelBookkeeping::~FuelBookkeeping()
{
    if (minuteTimer_)
        minuteTimer_->invalidate();
    if (distanceTimer_)
        distanceTimer_->invalidate();
}

void FuelBookkeeping::start()
{
    stop();
    minuteTimer_ = fnd::Timer::scheduled(60.0, true, [this](fnd::Timer&) { updateFuelEco(); });
    distanceTimer_ = fnd::Timer::scheduled(1.0, true, [this](fnd::Timer&) { updateDistance(); });
    fuelStartTime_ = fnd::Date::now();
    mpgArr_.clear();
    fuelIndex_ = 0;
    minCount_ = 0;
    minuteReached_ = false;
}

void FuelBookkeeping::stop()
{
    if (!isRunning())
        return;
    minuteTimer_->invalidate();
    distanceTimer_->invalidate();
    minuteTimer_.reset();
    distanceTimer_.reset();
    DataStore& store = DataStore::sharedDataStore();
    store.fuelElapsedTime =
        static_cast<int>(store.fuelElapsedTime + std::fabs(fnd::Date::now().timeIntervalSince(fuelStartTime_)));
    store.fuelEcoMinArr = mpgArr_;
}

void FuelBookkeeping::addSample(float mpg)
{
    DataStore& store = DataStore::sharedDataStore();
    mpgArr_.push_back(mpg);
    if (minuteReached_)
        dropFirst(mpgArr_);
    if (fuelIndex_ % 5 == 0) {
        if (min5Reached_)
            dropFirst(store.fuelEco5MinArr);
        store.fuelEco5MinArr.push_back(mpg);
    }
    if (fuelIndex_ % 20 == 0) {
        if (min30Reached_)
            dropFirst(store.fuelEco30MinArr);
        store.fuelEco30MinArr.push_back(mpg);
    }
    if (fuelIndex_ % 10 == 0)
        store.fuelTotalAvgArr.push_back(mpg);
    ++fuelIndex_;
}

void FuelBookkeeping::updateFuelEco()
{
    // A minute without a sample has no mean; it adds nothing.
    if (!mpgArr_.empty()) {
        auto& averages = DataStore::sharedDataStore().fuelEconomyArr;
        const float mean = std::accumulate(mpgArr_.begin(), mpgArr_.end(), 0.0f) / static_cast<float>(mpgArr_.size());
        averages.insert(averages.begin(), mean);
        if (averages.size() > minuteAverages)
            averages.pop_back();
    }
    ++minCount_;
    minuteReached_ = true;
    if (minCount_ >= 5)
        min5Reached_ = true;
    if (minCount_ >= 30)
        min30Reached_ = true;
}

void FuelBookkeeping::updateDistance()
{
    const double age = fnd::RunLoop::main().now() - decoder_.speedTime();
    if (decoder_.speedTime() < 0 || age > speedFreshness)
        return;
    DataStore::sharedDataStore().distance += decoder_.speed() / 3600.0f;
}
