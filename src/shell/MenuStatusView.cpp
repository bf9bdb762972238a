#include "shell/MenuStatusView.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "shell/TableLook.h"

namespace {

constexpr double buttonSize = 36;
constexpr double iconSize = 26;
constexpr double margin = 10;

ui::Color powerColor(MenuStatusView::Power power)
{
    switch (power) {
    case MenuStatusView::Power::On: return ui::Color::systemGreen();
    case MenuStatusView::Power::Connecting: return ui::Color::systemOrange();
    case MenuStatusView::Power::Off: break;
    }
    return ui::Color::systemGray();
}

}  // namespace

MenuStatusView::MenuStatusView(int theme)
    : powerButton_(std::make_shared<ui::Button>(ui::ButtonType::System))
    , statusLabel_(std::make_shared<ui::Label>())
    , deviceLabel_(std::make_shared<ui::Label>())
    , milIcon_(std::make_shared<ui::ImageView>())
{
    setTheme(theme);

    powerButton_->setImage(ui::Image::named("power").asTemplate());
    powerButton_->setTintColor(powerColor(power_));
    addSubview(powerButton_);

    statusLabel_->setFont(ui::Font::boldSystemFont(14));
    // A failure's reason may take several lines; it has the strip to itself then.
    statusLabel_->setNumberOfLines(0);
    statusLabel_->setLineBreakMode(ui::LineBreakMode::WordWrap);
    statusLabel_->setAdjustsFontSizeToFitWidth(true);
    statusLabel_->setMinimumScaleFactor(0.7);
    addSubview(statusLabel_);

    deviceLabel_->setFont(ui::Font::systemFont(12));
    deviceLabel_->setTextColor(TableLook::selectionStrip());
    addSubview(deviceLabel_);

    milIcon_->setImage(ui::Image::named("milOn").asTemplate());
    milIcon_->setTintColor(TableLook::accent());
    milIcon_->setContentMode(ui::ContentMode::ScaleAspectFit);
    milIcon_->setHidden(true);
    addSubview(milIcon_);
}

void MenuStatusView::setTheme(int theme)
{
    const TableLook look = TableLook::forTheme(theme);
    setBackgroundColor(look.cellBackground);
    statusLabel_->setTextColor(look.text);
}

void MenuStatusView::setStatusText(const std::string& text)
{
    statusLabel_->setText(text);
}

const std::string& MenuStatusView::statusText() const
{
    return statusLabel_->text();
}

void MenuStatusView::setDeviceName(const std::string& name)
{
    deviceLabel_->setText(name);
    setNeedsLayout();
}

const std::string& MenuStatusView::deviceName() const
{
    return deviceLabel_->text();
}

void MenuStatusView::setPower(Power power)
{
    power_ = power;
    powerButton_->setTintColor(powerColor(power));
}

void MenuStatusView::setPowerButtonShown(bool shown)
{
    powerButton_->setHidden(!shown);
    setNeedsLayout();
}

bool MenuStatusView::isPowerButtonShown() const
{
    return !powerButton_->isHidden();
}

void MenuStatusView::setPowerAction(std::function<void()> action)
{
    powerButton_->removeTargets(ui::ControlEvent::TouchUpInside);
    powerButton_->addTarget(ui::ControlEvent::TouchUpInside, [action = std::move(action)](ui::Control&) { action(); });
}

void MenuStatusView::setMilShown(bool shown)
{
    milIcon_->setHidden(!shown);
    statusLabel_->setHidden(shown);
}

bool MenuStatusView::isMilShown() const
{
    return !milIcon_->isHidden();
}

void MenuStatusView::layoutSubviews()
{
    const ui::Rect b = bounds();
    double left = margin;
    if (isPowerButtonShown()) {
        powerButton_->setFrame({{margin, b.midY() - buttonSize / 2}, {buttonSize, buttonSize}});
        left += buttonSize + margin;
    }
    const double width = std::max(0.0, b.width() - left - margin);
    if (deviceLabel_->text().empty())
        statusLabel_->setFrame({{left, b.minY() + 4}, {width, b.height() - 8}});
    else
        statusLabel_->setFrame({{left, b.midY() - 20}, {width, 20}});
    milIcon_->setFrame({{left, b.midY() - iconSize}, {iconSize, iconSize}});
    deviceLabel_->setFrame({{left, b.midY() + 2}, {width, 18}});
}
