#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dashboard/GaugeGlide.h"
#include "dashboard/TickTimer.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

namespace ui {
class Label;
}

// The round gauge tile of the dash camera's overlay: a 240-degree dial of tick
// marks with seven scale labels, the sensor's name and unit, "Min:" and "Max:"
// read-outs, and a needle that glides to each value in 0.08 s steps. It also
// makes the images the overlay paints every frame: its face without the needle,
// the row of all faces, and one needle image per degree of the dial.
class CamGaugeView : public ui::View {
public:
    static constexpr float tickInterval = 0.08f;
    static constexpr int needleImageCount = 240;

    CamGaugeView();
    ~CamGaugeView() override;

    // Lays the tile out for its current bounds.
    void setupLayer();
    // Binds the tile to a sensor: name, range and unit (the two indices are kept for the owner).
    void initData(const std::string& label, float minVal, float maxVal, const std::string& units, int index,
                  int pageIndex);
    void setVal(float value);
    void updateGauge();
    // The value the needle shows now.
    float getVal() const { return glide_.shown(); }
    // The needle image for a value: 0 at the minimum to 239 at the maximum; 0 for a range that is
    // empty or a value that is not a number.
    int getGaugeIndex(float value) const;
    // The needle's angle in degrees for a value: -120 at the minimum, +120 at the maximum.
    double needleAngle(float value) const;

    std::vector<ui::Image> renderGaugeNeedle();
    ui::Image takeScreenShot();
    // The images side by side, entry 0 rightmost, each the size of this tile.
    ui::Image attachBGImages(const std::vector<ui::Image>& images) const;
    void hideContent();
    void resizeTextLabels();
    void checkVisuals();

    float minUnit() const { return minUnit_; }
    float maxUnit() const { return maxUnit_; }
    int index() const { return index_; }
    bool isAnimating() const { return timer_.isRunning(); }
    bool isContentHidden() const { return shouldHideContent_; }
    ui::View& needleLayer() const { return *needle_; }
    ui::Label& labelLabel() const { return *labelLabel_; }
    ui::Label& unitsLabel() const { return *unitsLabel_; }
    ui::Label& minLabel() const { return *minLabel_; }
    ui::Label& maxLabel() const { return *maxLabel_; }
    ui::Label& minValLabel() const { return *minValLabel_; }
    ui::Label& maxValLabel() const { return *maxValLabel_; }
    // The intermediate scale labels, 1 to 5.
    ui::Label& gaugeLabel(int n) const { return *gaugeLabels_.at(static_cast<std::size_t>(n - 1)); }

    void draw(ui::Context& context, ui::Rect dirty) override;

private:
    struct Dial {
        float radius;
        ui::Point center;
    };
    Dial dial() const;
    float clamp(float value) const;
    // Where a value lies on the range, 0 to 1; 0 when the range is empty.
    float fraction(float value) const;
    void showNeedleAt(double degrees);
    std::shared_ptr<ui::Label> addLabel(ui::Color color, ui::TextAlignment alignment);

    float minUnit_ = 0;
    float maxUnit_ = 0;
    int index_ = 0;
    float currMinVal_ = 0;
    float currMaxVal_ = 0;
    float barLength_ = 0;
    bool shouldHideContent_ = false;
    GaugeGlide glide_;
    TickTimer timer_;

    std::shared_ptr<ui::View> needle_;
    std::shared_ptr<ui::Label> labelLabel_, unitsLabel_, minLabel_, maxLabel_, minValLabel_, maxValLabel_;
    std::array<std::shared_ptr<ui::Label>, 5> gaugeLabels_;
};
