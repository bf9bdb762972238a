#pragma once

#include "platform/ui/BarItems.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/View.h"

#include <memory>
#include <optional>
#include <vector>

namespace ui {

// A bar of bar button items, drawn by us: the items from the left edge in
// order, flexible spaces sharing the room left over, fixed spaces their
// width. Items change at the next layout, never under a running action.
class Toolbar : public View {
public:
    Toolbar();
    explicit Toolbar(Rect frame);
    ~Toolbar() override;

    const BarButtonItems& items() const { return items_; }
    void setItems(BarButtonItems items, bool animated = false);

    BarStyle barStyle() const { return barStyle_; }
    void setBarStyle(BarStyle style);
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent);
    std::optional<Color> barTintColor() const { return barTintColor_; }
    void setBarTintColor(std::optional<Color> color);

    // The view showing an item, null for a space or an item not on the bar.
    View* viewForItem(const BarButtonItem& item);

    void layoutSubviews() override;
    static constexpr double height = 44;

private:
    struct Shown {
        std::shared_ptr<BarButtonItem> item;
        std::shared_ptr<View> view;
    };
    void setNeedsRebuild();
    void rebuildIfNeeded();
    void clearItems(); // stops following the items' changes
    void applyColors();

    BarButtonItems items_;
    std::vector<Shown> shown_;
    bool needsRebuild_ = false;
    BarStyle barStyle_ = BarStyle::Default;
    bool translucent_ = true;
    std::optional<Color> barTintColor_;
    std::shared_ptr<View> background_;
    std::shared_ptr<View> hairline_;
};

} // namespace ui
