#include "diagnostics/DiagnosticsLook.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"
#include "shell/TableLook.h"

namespace diagnosticsLook {

std::shared_ptr<ui::Label> titleLabel(const std::string& text, const ui::Font& font)
{
    // White on the dark bars; on the light theme's white bars it would vanish, so there it takes the bars'
    // title colour, as the settings screens' titles do.
    auto label = TableLook::current().titleView(text);
    const ui::Color barTitle = label->textColor();
    if (0.299 * barTitle.r + 0.587 * barTitle.g + 0.114 * barTitle.b >= 0.5)
        label->setTextColor(ui::Color::white());
    label->setFont(font);
    label->setTextAlignment(ui::TextAlignment::Center);
    label->sizeToFit();
    return label;
}

std::shared_ptr<ui::View> badgeHeader(const std::string& text, ui::Color color, double height, double x, double y,
                                      const ui::Font& font)
{
    auto header = std::make_shared<ui::View>(ui::Rect{0, 0, 320, height});
    header->setBackgroundColor(ui::Color::clear());
    auto label = std::make_shared<ui::Label>();
    label->setText(text);
    label->setFont(font);
    label->setTextColor(ui::Color::black());
    label->setBackgroundColor(color);
    label->setCornerRadius(8);
    label->setClipsToBounds(true);
    label->setHidden(text.empty());
    const double width = label->sizeThatFits({1000, 20}).width + 6;  // room for the rounded corners
    label->setFrame({x, y, width, 20});
    header->addSubview(label);
    return header;
}

std::shared_ptr<ui::View> textHeader(const std::string& text, ui::Color color, double height, double x, double y,
                                     const ui::Font& font)
{
    auto header = std::make_shared<ui::View>(ui::Rect{0, 0, 320, height});
    header->setBackgroundColor(ui::Color::clear());
    auto label = std::make_shared<ui::Label>();
    label->setText(text);
    label->setFont(font);
    label->setTextColor(color);
    label->setBackgroundColor(ui::Color::clear());
    label->setFrame({x, y, 300, 20});
    header->addSubview(label);
    return header;
}

double topBarSpace(ui::ViewController& screen)
{
    ui::NavigationController* navigation = screen.navigationController();
    if (navigation && !navigation->isNavigationBarHidden())
        return navigation->navigationBar().frame().maxY();
    return ui::safeAreaInsets(*screen.view()).top;
}

double bottomBarSpace(const ui::ViewController& screen)
{
    ui::TabBarController* tabs = screen.tabBarController();
    const double bar = tabs && !tabs->tabBar().isHidden() ? ui::TabBar::height : 0;
    return bar + (screen.isViewLoaded() ? ui::safeAreaInsets(*screen.viewIfLoaded()).bottom : 0);
}

double textHeight(const std::string& text, const ui::Font& font, double width)
{
    if (text.empty())
        return 0;
    ui::Label label;
    label.setFont(font);
    label.setNumberOfLines(0);
    label.setLineBreakMode(ui::LineBreakMode::WordWrap);
    label.setText(text);
    return label.sizeThatFits({width, 9999}).height;
}

}  // namespace diagnosticsLook
