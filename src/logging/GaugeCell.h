#pragma once

#include <memory>
#include <string>

#include "core/model/UserData.h"
#include "platform/foundation/Timer.h"
#include "shell/RoundedCell.h"

namespace ui {
class Label;
}
class GaugeCell;
class ListGaugeView;

// The sensor list as its cells see it.
class GaugeCellDelegate {
public:
    virtual ~GaugeCellDelegate() = default;
    virtual void cellDataDidUpdate(GaugeCell&) {}
};

// One row of the sensor list: title, unit, range, the live number and a bar
// gauge. A new value is animated in 0.05 s steps from where the row stands,
// over about as many steps as passed since the previous value, so the motion
// lasts about as long as the gap between two replies.
class GaugeCell : public RoundedCell {
public:
    // `width` is the row's width (the table's).
    GaugeCell(double width, int theme, std::string reuseIdentifier = "CustomCell");
    ~GaugeCell() override;

    void setDelegate(GaugeCellDelegate* delegate) { delegate_ = delegate; }
    void setCellData(int min, int max, const std::string& title, const std::string& units, int index);
    // The sensor's warning settings, for the number and the bar (none until set).
    void setLimits(const SensorLimits& limits);
    void updateCell(float value);
    // No value yet: "--" and an empty bar. The next value shows at once.
    void showNoValue();
    // The row's formula failed: "--", and in place of the bar what went wrong.
    void showFault(const std::string& message);
    // One animation step.
    void updateGauge();
    void stopTimer();
    // Lays the labels out again for the cell's width.
    void reloadCell();

    ui::Label& titleLabel() { return *titleLabel_; }
    ui::Label& valLabel() { return *valLabel_; }
    ui::Label& unitsLabel() { return *unitsLabel_; }
    ui::Label& minLabel() { return *minLabel_; }
    ui::Label& maxLabel() { return *maxLabel_; }
    ListGaugeView& gView() { return *gView_; }
    ui::Label& faultLabel() { return *faultLabel_; }
    bool isAnimating() const { return timer_ != nullptr; }
    int index() const { return index_; }

    static constexpr double rowHeight = 65;
    static constexpr double step = 0.05;

    // The number as the row shows it for a range's maximum.
    static std::string valueText(float value, float maxUnit);

private:
    void layOut(double width, bool reloaded);
    float clamped(float value) const;
    void show(float bar, float number);
    void forgetValue();

    std::shared_ptr<ui::Label> titleLabel_;
    std::shared_ptr<ui::Label> valLabel_;
    std::shared_ptr<ui::Label> unitsLabel_;
    std::shared_ptr<ui::Label> minLabel_;
    std::shared_ptr<ui::Label> maxLabel_;
    std::shared_ptr<ListGaugeView> gView_;
    std::shared_ptr<ui::Label> faultLabel_;
    GaugeCellDelegate* delegate_ = nullptr;
    int theme_;
    float minUnit_ = 0;
    float maxUnit_ = 0;
    int index_ = 0;
    SensorLimits limits_;
    float value_ = 0;
    float value2_ = 0;
    float prevVal_ = 0;
    float prevVal2_ = 0;
    float offset_ = 0;
    float offset2_ = 0;
    int count_ = 1;
    int limit_ = 2;
    bool hasValue_ = false;
    std::shared_ptr<fnd::Timer> timer_;
};
