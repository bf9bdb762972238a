#include "core/model/RaceEngine.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

#include "core/model/VehicleCalc.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/SystemSound.h"

RaceUnits RaceUnits::forMetric(bool metric)
{
    if (metric)
        return {0.621371f, 1.0f};
    return {1.0f, 1.6093445f};
}

GapReading GapReading::fromTenths(float tenths)
{
    const int d = static_cast<int>(tenths);
    const int s = (d / 10) % 60;  // toward zero, keeping the sign
    const float f = static_cast<float>(std::abs(d) % 10);
    if (s == 0 && f == 0)
        return {fnd::format(" %02d.%01.0f", s, f), std::nullopt};
    if (d < 0)
        return {fnd::format("-%02d.%01.0f", std::abs(s), f), ui::Color::rgb255(13, 75, 177)};
    return {fnd::format("+%02d.%01.0f", s, f), ui::Color::rgb255(180, 0, 45)};
}

std::string lapTimeText(float tenths)
{
    return Lap({}, {}, tenths).lapTimeString();
}

double closestApproach(const geo::Location& from, const geo::Location& to, const geo::Location& point)
{
    // A local flat projection around the point: exact enough over the few tens
    // of metres between two fixes.
    constexpr double metresPerDegree = geo::meanEarthRadius * std::numbers::pi / 180.0;
    const double cosLat = std::cos(point.coordinate.latitude * std::numbers::pi / 180.0);
    auto project = [&](const geo::Location& l) {
        return std::pair{(l.coordinate.longitude - point.coordinate.longitude) * metresPerDegree * cosLat,
                         (l.coordinate.latitude - point.coordinate.latitude) * metresPerDegree};
    };
    const auto [ax, ay] = project(from);
    const auto [bx, by] = project(to);
    const double dx = bx - ax;
    const double dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    double t = 0;
    if (lengthSquared > 0)
        t = std::clamp(-(ax * dx + ay * dy) / lengthSquared, 0.0, 1.0);
    return std::hypot(ax + t * dx, ay + t * dy);
}

float motionAxis(double a)
{
    if (a > -0.099 && a < 0.099)
        return 0;
    return static_cast<float>(a * 1.3);
}

namespace {

float mean(const auto& values)
{
    if (values.empty())
        return 0;
    const double sum = std::accumulate(values.begin(), values.end(), 0.0);
    return static_cast<float>(sum / static_cast<double>(values.size()));
}

}  // namespace

RaceEngine::RaceEngine() = default;

RaceEngine::~RaceEngine()
{
    if (countDownTimer_)
        countDownTimer_->invalidate();
}

void RaceEngine::setSpeed(float speed)
{
    speed_ = speed;
    if (recording_)
        topSpeed_ = std::max(topSpeed_, speed);
}

void RaceEngine::setRpm(float rpm)
{
    rpm_ = rpm;
    if (recording_)
        topRPM_ = std::max(topRPM_, rpm);
}

bool RaceEngine::motionSample(float x, float y, float z)
{
    acc_ = z;
    float top = topAcc_.load();
    while (z > top && !topAcc_.compare_exchange_weak(top, z)) {
    }
    const float threshold = launchThreshold_;
    const bool launch = z > threshold || y > threshold || x > threshold;
    return launch && !recording_ && raceReady_ && connected_;
}

bool RaceEngine::startRecording(const std::optional<geo::Location>& lastKnown)
{
    // Two launch samples 0.05 s apart can both ask for a start.
    if (recording_)
        return false;
    fnd::SystemSound::play(startSound);
    fromStandstill_ = speed_ * units_.conversion < standstillMph;
    recording_ = true;
    raceReady_ = false;
    countDownTimer_ = fnd::Timer::scheduled(0.1, true, [this](fnd::Timer&) { updateRecordLabel(); });
    if (isTrackMode_) {
        startLocation_ = lastKnown;
        awaitingStartLine_ = !lastKnown;
        previousLocation_ = lastKnown;
    }
    return true;
}

void RaceEngine::updateRecordLabel()
{
    ticks_ += 1;
    runTicks_ += 1;
    // The drag figures count from the start of the run, in track mode too.
    const float elapsed = runTicks_ / 10;
    const float mph = speed_ * units_.conversion;
    if (fromStandstill_) {
        if (mph >= 60 && zeroToSixty_ == 0)
            zeroToSixty_ = elapsed;
        if (mph >= 100 && zeroToHundred_ == 0)
            zeroToHundred_ = elapsed;
    }

    if (std::fmod(runTicks_, 2.0f) == 0) {
        distance_ += speed_ / 18000;
        const float miles = distance_ * units_.conversion;
        if (fromStandstill_ && miles >= 0.25f && quarterMile_ == 0)
            quarterMile_ = elapsed;
        if (fromStandstill_ && miles >= 0.125f && eighthMile_ == 0)
            eighthMile_ = elapsed;
        float hp = 0;
        if (hpMode_ == 1)
            hp = VehicleCalc::horsepowerFromTorque(torque_, rpm_);
        else if (hpMode_ == 0)
            hp = VehicleCalc::horsepowerFromAirFlow(maf_);
        topHP_ = std::max(topHP_, hp);
        hp_ = hp;
    }
    if (std::fmod(ticks_, 10.0f) == 0)
        sampleSecond();
    if (delegate_)
        delegate_->raceEngineDidTick(*this);
}

void RaceEngine::sampleSecond()
{
    if (isTrackMode_) {
        if (std::fmod(ticks_, 50.0f) == 0) {
            checkGap_ = true;
            recordGap_ = true;
        }
        if (trackLoaded_ && currentLocation_ && delegate_)
            delegate_->raceEngineDidMove(*this, *currentLocation_);
        // One speed per position: the lap map colours each point by its speed.
        if (currentLocation_) {
            coordinatesArr_.push_back(*currentLocation_);
            speedArr_.push_back(speed_);
        }
    } else {
        speedArr_.push_back(speed_);
    }
    rpmArr_.push_back(rpm_);
    hpArr_.push_back(hp_);
}

void RaceEngine::locationUpdate(const std::vector<geo::Location>& batch)
{
    if (batch.empty())
        return;
    const geo::Location& last = batch.back();
    const std::optional<geo::Location> previous =
        batch.size() >= 2 ? std::optional(batch[batch.size() - 2]) : previousLocation_;
    currentLocation_ = last;
    previousLocation_ = last;
    if (previous && previous->coordinate == last.coordinate)
        return;
    if (recording_ && awaitingStartLine_) {
        startLocation_ = last;
        awaitingStartLine_ = false;
    }
    if (!startLocation_)
        return;

    if (hasGapData_ && checkGap_ && !gapArr_.empty())
        checkGapAt(last);
    if (recordGap_) {
        tempGapArr_.push_back(last);
        tempGapTimeArr_.push_back(ticks_);
        recordGap_ = false;
    }

    // Fixes come 10 m or more apart (28 m at 100 km/h), so the line is crossed
    // when the path since the previous fix passes close to it.
    const double approach =
        previous ? closestApproach(*previous, last, *startLocation_) : last.distanceFrom(*startLocation_);
    if (approach <= lapLineMetres && ticks_ > minimumLapTicks_ && recording_) {
        hasGapData_ = true;
        checkGap_ = false;
        if (!trackLoaded_) {
            trackLoaded_ = true;
            if (delegate_)
                delegate_->raceEngineDidRecordTrack(*this, coordinatesArr_);
        }
        updateLapData();
        ticks_ = 0;
    }
}

void RaceEngine::checkGapAt(const geo::Location& location)
{
    // Of the reference samples near this place, the one nearest in lap time:
    // the first in recording order could be the lap's start.
    std::optional<float> match;
    for (std::size_t i = 0; i < gapArr_.size() && i < gapTimeArr_.size(); ++i) {
        if (location.distanceFrom(gapArr_[i]) > gapMatchMetres)
            continue;
        if (!match || std::abs(gapTimeArr_[i] - ticks_) < std::abs(*match - ticks_))
            match = gapTimeArr_[i];
    }
    if (!match)
        return;
    checkGap_ = false;
    if (delegate_)
        delegate_->raceEngineDidMeasureGap(*this, GapReading::fromTenths(ticks_ - *match));
}

std::optional<float> RaceEngine::bestLapTime() const
{
    if (lapArr_.empty())
        return std::nullopt;
    float best = std::numeric_limits<float>::max();
    for (const Lap& lap : lapArr_)
        best = std::min(best, lap.time);
    return best;
}

void RaceEngine::updateLapData()
{
    lapCount_ += 1;
    const bool best = lapArr_.empty() || ticks_ < *bestLapTime();
    if (best) {
        gapArr_ = tempGapArr_;
        gapTimeArr_ = tempGapTimeArr_;
    }
    tempGapArr_.clear();
    tempGapTimeArr_.clear();
    lapArr_.emplace_back(coordinatesArr_, speedArr_, ticks_);
    speedAvgArr_.push_back(static_cast<int>(mean(speedArr_)));
    coordinatesArr_.clear();
    speedArr_.clear();
    if (delegate_)
        delegate_->raceEngineDidCompleteLap(*this, lapArr_.back(), best);
}

void RaceEngine::stopRecording()
{
    if (!recording_)
        return;
    recording_ = false;
    if (countDownTimer_)
        countDownTimer_->invalidate();
    countDownTimer_.reset();
    avgSpeed_ = mean(speedAvgArr_);
    avgRpm_ = mean(rpmArr_);
    avgHp_ = mean(hpArr_);
    dataArr_ = {topSpeed_,   topRPM_,        topHP_,      topAcc_.load(), zeroToSixty_,
                zeroToHundred_, eighthMile_, quarterMile_, avgRpm_,       avgHp_};
    if (lapArr_.empty())
        lapArr_.emplace_back(coordinatesArr_, speedArr_, ticks_);
    if (delegate_)
        delegate_->raceEngineDidStop(*this);
}

void RaceEngine::linkDropped()
{
    connected_ = false;
    raceReady_ = false;
    stopRecording();
}

bool RaceEngine::resetData()
{
    if (recording_)
        return false;
    topSpeed_ = zeroToSixty_ = zeroToHundred_ = topHP_ = topRPM_ = quarterMile_ = eighthMile_ = 0;
    topAcc_ = 0;
    ticks_ = runTicks_ = distance_ = 0;
    avgSpeed_ = avgRpm_ = avgHp_ = 0;
    lapCount_ = 1;
    hasGapData_ = false;
    checkGap_ = false;
    recordGap_ = true;
    hpArr_.clear();
    speedArr_.clear();
    rpmArr_.clear();
    speedAvgArr_.clear();
    coordinatesArr_.clear();
    lapArr_.clear();
    tempGapArr_.clear();
    tempGapTimeArr_.clear();
    gapArr_.clear();
    gapTimeArr_.clear();
    raceReady_ = false;
    startLocation_.reset();
    awaitingStartLine_ = false;
    return true;
}

std::string RaceEngine::timerText() const
{
    const double t = ticks_;
    return fnd::format("%02.0f:%02.0f", std::fmod(std::trunc(t / 600), 60), std::fmod(std::trunc(t / 10), 60));
}

std::string RaceEngine::tenthsText() const
{
    return fnd::format(".%01.0f", std::fmod(static_cast<double>(ticks_), 10));
}
