#pragma once

#include "platform/ui/BarItems.h"
#include "platform/ui/View.h"

#include <functional>
#include <optional>
#include <vector>

namespace ui {

// The bar of tabs at the bottom of a tab bar controller, drawn by us: each
// tab's image above its title, the selected one in the tint colour, badges
// in red. A tap on a tab asks the owner to select it.
class TabBar : public View {
public:
    TabBar();

    // The items of the tabs, in order (not owned: the screens keep them).
    void setItems(std::vector<TabBarItem*> items);
    const std::vector<TabBarItem*>& items() const { return items_; }
    int selectedIndex() const { return selected_; }
    void setSelectedIndex(int index);
    void setSelectHandler(std::function<void(int)> handler) { selectHandler_ = std::move(handler); }

    std::optional<Color> barTintColor() const { return barTintColor_; }
    void setBarTintColor(std::optional<Color> color);
    // The colour of the tabs not selected.
    void setUnselectedItemTintColor(std::optional<Color> color);

    // The tab under a point of the bar's bounds.
    std::optional<int> indexAtPoint(Point point) const;
    Rect rectForItem(int index) const;

    void draw(Context& context, Rect dirty) override;
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>&) override {}
    void touchesCancelled(const std::vector<Touch>&) override { pressed_.reset(); }

    static constexpr double height = 49; // above the home indicator's inset

private:
    std::vector<TabBarItem*> items_;
    int selected_ = 0;
    std::optional<int> pressed_;
    std::function<void(int)> selectHandler_;
    std::optional<Color> barTintColor_;
    std::optional<Color> unselectedTint_;
};

} // namespace ui
