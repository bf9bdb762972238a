#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Font.h"

#include <optional>
#include <string>
#include <vector>

namespace ui {

// A row of titled segments, one selected. A tap on another segment selects
// it and sends ValueChanged; setting the selection from code sends nothing.
// Drawn in the tint colour: outlined segments, the selected one filled.
class SegmentedControl : public Control {
public:
    static constexpr int noSegment = -1;

    explicit SegmentedControl(std::vector<std::string> titles = {});

    int numberOfSegments() const { return static_cast<int>(titles_.size()); }
    void insertSegment(std::string title, int index);
    void removeAllSegments();
    std::string titleForSegment(int index) const; // empty when out of range
    void setTitle(std::string title, int index);

    int selectedSegmentIndex() const { return selected_; }
    // Out-of-range values select nothing.
    void setSelectedSegmentIndex(int index);
    // The fill of the selected segment; the tint colour when none is set.
    const std::optional<Color>& selectedSegmentTintColor() const { return selectedTint_; }
    void setSelectedSegmentTintColor(std::optional<Color> color);
    const Font& titleFont() const { return font_; }
    void setTitleFont(Font font);

    Size sizeThatFits(Size size) const override;
    void draw(Context& context, Rect dirty) override;

protected:
    void endTracking(Point location, bool inside) override;

private:
    int segmentAt(Point location) const;

    std::vector<std::string> titles_;
    int selected_ = noSegment;
    std::optional<Color> selectedTint_;
    Font font_;
};

} // namespace ui
