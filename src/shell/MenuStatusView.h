#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/View.h"

namespace ui {
class Button;
class ImageView;
class Label;
}  // namespace ui

// The strip at the top of the main menu: the power button (manual connection mode only), the connection
// status or, while the car reports it on, the warning lamp in its place, and the adapter's name.
class MenuStatusView : public ui::View {
public:
    enum class Power { Off, Connecting, On };

    explicit MenuStatusView(int theme);
    void setTheme(int theme);

    // Texts as shown (already localized).
    void setStatusText(const std::string& text);
    const std::string& statusText() const;
    void setDeviceName(const std::string& name);
    const std::string& deviceName() const;

    void setPower(Power power);
    Power power() const { return power_; }
    void setPowerButtonShown(bool shown);
    bool isPowerButtonShown() const;
    void setPowerAction(std::function<void()> action);
    ui::Button& powerButton() { return *powerButton_; }

    // The label of the status text, as drawn.
    const ui::Label& statusLabel() const { return *statusLabel_; }

    void setMilShown(bool shown);
    bool isMilShown() const;

    void layoutSubviews() override;

    static constexpr double height = 64;

private:
    std::shared_ptr<ui::Button> powerButton_;
    std::shared_ptr<ui::Label> statusLabel_;
    std::shared_ptr<ui::Label> deviceLabel_;
    std::shared_ptr<ui::ImageView> milIcon_;
    Power power_ = Power::Off;
};
