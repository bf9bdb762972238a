#include "fuel/FuelView.h"
#include "platform/ui/Device.h"

#include <algorithm>
#include <cmath>

#include "core/model/MethodClass.h"
#include "platform/ui/Label.h"

FuelView::FuelView(ui::Rect frame, int theme, int unitsMode)
    : ui::View(frame),
      theme_(theme),
      geometry_(makeGeometry(ui::Device::current().screenSize())),
      mode_(unitsMode),
      glide_(0),
      gaugeTimer_(tickInterval, [this] { updateGauge(); })
{
    buildLabels();
    initArrays();
    showOrientation();
}

FuelView::~FuelView() { stopTimer(); }

void FuelView::setMAF(float gramsPerSecond)
{
    if (!std::isfinite(gramsPerSecond))
        return;
    mafVal_ = gramsPerSecond;
    sample(VehicleCalc::fuelEconomyFromAirFlow(speedVal_, gramsPerSecond, fuel_));
}

void FuelView::setFuelRate(float litresPerHour)
{
    // No fuel flows while the engine coasts with its injection cut: that gives no economy figure, as in
    // the other live screens, rather than one of thousands of mpg.
    if (!std::isfinite(litresPerHour) || !(litresPerHour > 0))
        return;
    sample(VehicleCalc::fuelEconomyFromFuelRate(speedVal_, litresPerHour));
}

void FuelView::sample(float mpg)
{
    if (!std::isfinite(mpg))
        return;
    insMpgVal_ = mpg;
    glide_.setTarget(mpg);
    updateData();
}

float FuelView::shownValue() const { return MethodClass::convertFromMPG(glide_.shown(), mode_); }

void FuelView::updateGauge()
{
    glide_.tick();
    const float shown = shownValue();
    if (!(shown > 0))
        return;
    const int whole = static_cast<int>(shown);
    insMpgLargeLabel_->setText(std::to_string(whole));
    insMpgDecimalLabel_->setText("." + std::to_string(static_cast<int>((shown - static_cast<float>(whole)) * 10)));
    insMpgLabel_->setText(smallValueText());
    updateColors();
    refreshPicture();
}

void FuelView::updateData()
{
    averages_.addSample(insMpgVal_);
    if (updateCount_++ % 25 == 0)
        average_ = calculateAverage();
    updateLabels();
    avgMpgLabels_[0]->setText(averageText(0));
    avgMpgLabels_[1]->setText(averageText(1));
    avgMpgLabels_[2]->setText(averageText(2));
}

void FuelView::tallied(float minuteMean)
{
    adaptScale(minuteMean);
    updateLabels();
}

void FuelView::adaptScale(float minuteMean)
{
    // The bounds are in the display unit, the mean in US mpg.
    const float shown = MethodClass::convertFromMPG(minuteMean, mode_);
    if (!std::isfinite(shown) || !(shown > 0))
        return;
    if (mode_ == 2) {
        if (shown < minVal_)
            minVal_ = 0.95f * shown;
    } else if (shown > maxVal_) {
        maxVal_ = 1.05f * shown;
    }
}

float FuelView::calculateAverage()
{
    const auto mean = averages_.tripMean();
    totalAverage_ = mean ? MethodClass::convertFromMPG(*mean, mode_) : minVal_;
    return totalAverage_;
}

FuelTally::Handover FuelView::takeOverShared()
{
    FuelTally::Handover handover = averages_.takeOverShared();
    updateLabels();
    return handover;
}

void FuelView::updateMetric(int unitsMode)
{
    if (unitsMode == mode_ && !firstLaunch_)
        return;
    firstLaunch_ = false;
    mode_ = unitsMode;
    switch (unitsMode) {
    case 2:
        maxVal_ = 199.0f;
        minVal_ = 5.9f;
        break;
    case 1:
    case 3:
        minVal_ = 0;
        maxVal_ = MethodClass::convertFromMPG(40.0f, mode_);
        break;
    default:
        minVal_ = 0;
        maxVal_ = 40.0f;
        break;
    }
    mpgLabel_->setText(unitText());
    insMpgVal_ = 0;
    average_ = calculateAverage();
    updateLabels();
    redraw();
}

void FuelView::startTimer()
{
    updateCount_ = 0;
    glide_.reset(minVal_);
    gaugeTimer_.stop();
    averages_.start([this](float mean) { tallied(mean); });
    gaugeTimer_.start();
}

void FuelView::stopTimer()
{
    gaugeTimer_.stop();
    averages_.stop();
}

void FuelView::resetGauge()
{
    insMpgVal_ = 0;
    glide_.reset(0);
}

void FuelView::resetData(bool restart)
{
    stopTimer();
    averages_.reset();
    updateCount_ = 0;
    insMpgVal_ = 0;
    glide_.reset(0);
    average_ = 0;
    totalAverage_ = 0;
    for (auto& label : labelArr_)
        label->setText("");
    bars_ = {};
    if (restart)
        startTimer();
    updateLabels();
    redraw();
}

void FuelView::setBarArrays(std::vector<float> bars, std::vector<float> bars2, std::vector<float> bars3)
{
    if (bars.size() == FuelAverages::minuteBars)
        averages_.avgMpgArr = std::move(bars);
    if (bars2.size() == FuelAverages::fiveMinuteBars)
        averages_.avgMpgArr2 = std::move(bars2);
    if (bars3.size() == FuelAverages::thirtyMinuteBars)
        averages_.avgMpgArr3 = std::move(bars3);
    updateLabels();
}
