#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Control.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class View;

// The platform's system bar items, with its numbers.
enum class SystemItem {
    Done = 0,
    Cancel = 1,
    Edit = 2,
    Save = 3,
    Add = 4,
    FlexibleSpace = 5,
    FixedSpace = 6,
    Action = 9,
    Refresh = 13,
};

enum class BarButtonItemStyle { Plain, Done }; // Done: bold title

struct TitleTextAttributes {
    std::optional<Font> font;
    std::optional<Color> color;
};

// A button of a navigation bar or toolbar: a title, an image, a custom view
// or a system item, with an action. Bars show it and follow its changes.
class BarButtonItem {
public:
    using Action = std::function<void(BarButtonItem&)>;

    BarButtonItem(std::string title, BarButtonItemStyle style, Action action);
    BarButtonItem(Image image, BarButtonItemStyle style, Action action);
    BarButtonItem(SystemItem item, Action action);
    explicit BarButtonItem(std::shared_ptr<View> customView);
    BarButtonItem(const BarButtonItem&) = delete;
    BarButtonItem& operator=(const BarButtonItem&) = delete;

    // The system items' own titles ("Done", "Cancel", "Edit", "Save") come
    // with them; Add, Action and Refresh are drawn images.
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    const std::optional<Image>& image() const { return image_; }
    void setImage(std::optional<Image> image);
    const std::shared_ptr<View>& customView() const { return customView_; }
    void setCustomView(std::shared_ptr<View> view);
    std::optional<SystemItem> systemItem() const { return systemItem_; }
    bool isSpace() const;
    BarButtonItemStyle style() const { return style_; }
    void setStyle(BarButtonItemStyle style);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Unset: the bar's tint.
    std::optional<Color> tintColor() const { return tintColor_; }
    void setTintColor(std::optional<Color> color);
    void setTitleTextAttributes(TitleTextAttributes attributes, ControlState state = ControlState::Normal);
    TitleTextAttributes titleTextAttributes(ControlState state = ControlState::Normal) const;
    double width() const { return width_; } // of a fixed space; 0: natural width
    void setWidth(double width);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    void setAction(Action action) { action_ = std::move(action); }
    // What a tap on the item does: runs the action when the item is enabled.
    void sendAction();

    // For the bar that shows the item: told after every visible change.
    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed() const;

    std::string title_;
    std::optional<Image> image_;
    std::shared_ptr<View> customView_;
    std::optional<SystemItem> systemItem_;
    BarButtonItemStyle style_ = BarButtonItemStyle::Plain;
    bool enabled_ = true;
    std::optional<Color> tintColor_;
    TitleTextAttributes normalAttributes_;
    std::optional<TitleTextAttributes> disabledAttributes_;
    double width_ = 0;
    int tag_ = 0;
    Action action_;
    std::function<void()> changed_;
};

using BarButtonItems = std::vector<std::shared_ptr<BarButtonItem>>;

// What shows an item in a bar `barHeight` high: its custom view, or a system
// button that sends the item's action when tapped; null for spaces.
std::shared_ptr<View> makeBarButtonItemView(const std::shared_ptr<BarButtonItem>& item, double barHeight);

// What a screen shows in a navigation bar while it is on top: a title (or a
// title view), bar button items on either side, and the title of the back
// button that leads back to it.
class NavigationItem {
public:
    NavigationItem() = default;
    NavigationItem(const NavigationItem&) = delete;
    NavigationItem& operator=(const NavigationItem&) = delete;

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    const std::shared_ptr<View>& titleView() const { return titleView_; }
    void setTitleView(std::shared_ptr<View> view);

    const BarButtonItems& leftBarButtonItems() const { return left_; }
    const BarButtonItems& rightBarButtonItems() const { return right_; }
    std::shared_ptr<BarButtonItem> leftBarButtonItem() const;
    std::shared_ptr<BarButtonItem> rightBarButtonItem() const;
    void setLeftBarButtonItems(BarButtonItems items);
    void setRightBarButtonItems(BarButtonItems items); // first item rightmost
    void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item);
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item);

    // The back button of the next screen shows this title; unset: this
    // item's title, or "Back" when that is empty or too long.
    const std::optional<std::string>& backButtonTitle() const { return backTitle_; }
    void setBackButtonTitle(std::optional<std::string> title);
    bool hidesBackButton() const { return hidesBackButton_; }
    void setHidesBackButton(bool hides);

    // For the owning screen: told after every change.
    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed() const;

    std::string title_;
    std::shared_ptr<View> titleView_;
    BarButtonItems left_;
    BarButtonItems right_;
    std::optional<std::string> backTitle_;
    bool hidesBackButton_ = false;
    std::function<void()> changed_;
};

// What a tab bar shows for a screen.
class TabBarItem {
public:
    TabBarItem() = default;
    TabBarItem(const TabBarItem&) = delete;
    TabBarItem& operator=(const TabBarItem&) = delete;

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    const std::optional<Image>& image() const { return image_; }
    void setImage(std::optional<Image> image);
    const std::optional<Image>& selectedImage() const { return selectedImage_; }
    void setSelectedImage(std::optional<Image> image);
    const std::string& badgeValue() const { return badge_; }
    void setBadgeValue(std::string badge);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed() const;

    std::string title_;
    std::optional<Image> image_;
    std::optional<Image> selectedImage_;
    std::string badge_;
    int tag_ = 0;
    std::function<void()> changed_;
};

} // namespace ui
