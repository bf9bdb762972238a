#pragma once

#include "platform/ui/BarItems.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

enum class BarStyle { Default, Black };

// What new bars start with (the platform's appearance proxy); set once at start-up.
struct BarAppearance {
    std::optional<Color> barTintColor;
    std::optional<Color> tintColor;
    TitleTextAttributes titleTextAttributes;
};

// The bar at the top of a navigation controller, drawn by us: the top
// screen's title (or title view) in the middle, its bar button items at the
// sides and, below the root, a back button titled for the screen beneath.
// Its background reaches up under the status bar.
class NavigationBar : public View {
public:
    NavigationBar();
    ~NavigationBar() override;

    static BarAppearance& appearance();

    std::optional<Color> barTintColor() const { return barTintColor_; }
    void setBarTintColor(std::optional<Color> color);
    BarStyle barStyle() const { return barStyle_; }
    void setBarStyle(BarStyle style);
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent) { translucent_ = translucent; }
    const TitleTextAttributes& titleTextAttributes() const { return titleAttributes_; }
    void setTitleTextAttributes(TitleTextAttributes attributes);

    // Shows `item`; `backTitle` set means a back button with that title.
    void showItem(NavigationItem* item, std::optional<std::string> backTitle);
    void setBackAction(std::function<void()> action) { backAction_ = std::move(action); }
    // How far the background reaches above the bar (the status bar's height).
    void setBackgroundExtension(double top);

    // What the bar shows (brought up to date first).
    const std::string& displayedTitle();
    // The back button while one shows, else null.
    Button* backButton();
    // The view showing a bar button item, null when the item is not shown.
    View* viewForItem(const BarButtonItem& item);

    void layoutSubviews() override;
    static constexpr double height = 44;

private:
    struct Shown {
        std::shared_ptr<BarButtonItem> item;
        std::shared_ptr<View> view;
    };
    // Bars change their buttons at the next layout, never under a button
    // whose action is running.
    void setNeedsRebuild();
    void rebuildIfNeeded();
    void rebuild();
    void applyColors();
    void clearItems();

    std::optional<Color> barTintColor_;
    BarStyle barStyle_ = BarStyle::Default;
    bool translucent_ = true;
    TitleTextAttributes titleAttributes_;
    NavigationItem* item_ = nullptr;
    std::optional<std::string> backTitle_;
    std::function<void()> backAction_;
    bool needsRebuild_ = false;

    std::shared_ptr<View> background_;
    std::shared_ptr<View> hairline_;
    std::shared_ptr<Label> titleLabel_;
    std::shared_ptr<View> titleView_;
    std::shared_ptr<Button> backButton_;
    std::vector<Shown> left_;
    std::vector<Shown> right_;
};

} // namespace ui
