#pragma once

#include <array>
#include <memory>

#include "platform/ui/View.h"

namespace ui {
class Label;
}

// The compass strip at the top of the dash camera's overlay: the letter of the
// nearest of the eight compass points slides sideways with the heading, at
// 2.5 points per degree, and sits centred in a 110-point strip when the point
// is straight ahead.
class CompassView : public ui::View {
public:
    static constexpr const char* pointNames[8] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    static constexpr double pointsPerDegree = 2.5;

    explicit CompassView(ui::Rect frame);
    ~CompassView() override;

    // A heading in degrees from true north (0-360). A negative heading means the
    // heading is not known and is ignored.
    void updateData(float heading);
    void updateCompass();

    float val() const { return val_; }
    // The point shown (0 N ... 7 NW) and where its letter is going.
    int shownPoint() const { return shownPoint_; }
    ui::Label& label(int point) const { return *labelArr_.at(static_cast<std::size_t>(point)); }
    // The letter's left edge for a shown value.
    static double letterX(float val);
    static int pointFor(float val);

private:
    float val_ = 0;
    int shownPoint_ = 0;
    std::array<std::shared_ptr<ui::Label>, 8> labelArr_;
};
