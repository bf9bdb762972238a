#include "shell/TableLook.h"

#include "core/model/Manager.h"
#include "platform/ui/Context.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "shell/RoundedCell.h"

namespace {

constexpr double stripWidth = 3;

// The selected-row background: a plain colour with the strip along the right edge.
class SelectedBackground : public ui::View {
public:
    SelectedBackground(ui::Color color, ui::Color strip) : strip_(strip) { setBackgroundColor(color); }

    void draw(ui::Context& context, ui::Rect) override
    {
        context.setFillColor(strip_);
        context.fillRect(ui::makeRect(bounds().width() - stripWidth, 0, stripWidth, bounds().height()));
    }

private:
    ui::Color strip_;
};

}  // namespace

TableLook TableLook::forTheme(int theme)
{
    TableLook look;
    look.theme = theme;
    look.separator = ui::Color::white(0.2);
    if (theme == 1) {
        look.tableBackground = ui::Color::white(0.85);
        look.cellBackground = ui::Color::white(1.0);
        look.text = ui::Color::white(0.1);
        look.detail = ui::Color::darkGray();
        look.disabledText = ui::Color::white(0.6);
        look.switchBackground = ui::Color::white(0.83);
        look.switchThumb = ui::Color::white();
    } else {
        look.tableBackground = ui::Color::white(0.1);
        look.cellBackground = ui::Color::white(10.0 / 255);
        look.text = ui::Color::white(0.85);
        look.detail = ui::Color::lightGray();
        look.disabledText = ui::Color::white(0.4);
        look.switchBackground = ui::Color::white(0.3);
        look.switchThumb = ui::Color::black();
    }
    return look;
}

TableLook TableLook::current()
{
    return forTheme(Manager::sharedManager().setting().theme);
}

void TableLook::apply(ui::TableView& table) const
{
    table.setBackgroundColor(tableBackground);
    table.setSeparatorColor(separator);
}

void TableLook::apply(RoundedCell& cell, int row, int rowCount) const
{
    cell.setBackgroundColor(cellBackground);
    cell.setTop(row == 0);
    cell.setBottom(row == rowCount - 1);
    // Where the named fonts are missing, the fallback is wider: texts shrink rather than being cut.
    cell.textLabel()->setFont(titleFont());
    cell.textLabel()->setTextColor(text);
    cell.textLabel()->setAdjustsFontSizeToFitWidth(true);
    cell.textLabel()->setMinimumScaleFactor(minimumTextScale);
    if (auto* detailLabel = cell.detailTextLabel()) {
        detailLabel->setFont(detailFont());
        detailLabel->setTextColor(accent());
        detailLabel->setAdjustsFontSizeToFitWidth(true);
        detailLabel->setMinimumScaleFactor(minimumTextScale);
    }
    cell.setSelectedBackgroundView(
        std::make_shared<SelectedBackground>(theme == 1 ? ui::Color::white(0.6) : ui::Color::darkGray(), strip));
}

void TableLook::apply(ui::Switch& toggle) const
{
    toggle.setOnTintColor(accent());
    toggle.setThumbTintColor(switchThumb);
    toggle.setBackgroundColor(switchBackground);
    toggle.setTintColor(switchBackground);
    toggle.setCornerRadius(16);
}

std::shared_ptr<ui::Label> TableLook::titleView(const std::string& title, std::optional<ui::Color> bar) const
{
    auto label = std::make_shared<ui::Label>();
    label->setText(title);
    label->setFont(ui::Font::named("Digital-Serial DB", 17));
    // The bars keep the look of the theme the application started with, so the title takes their title
    // colour rather than a fixed light grey, which would barely show on the light theme's white bars.
    const ui::BarAppearance& bars = ui::NavigationBar::appearance();
    ui::Color color = bars.titleTextAttributes.color.value_or(text);
    if (bar && bar != bars.barTintColor) {
        const double luminance = 0.299 * bar->r + 0.587 * bar->g + 0.114 * bar->b;
        color = forTheme(luminance < 0.5 ? 0 : 1).text;
    }
    label->setTextColor(color);
    label->setBackgroundColor(ui::Color::clear());
    label->sizeToFit();
    return label;
}

void TableLook::applyToBars() const
{
    ui::BarAppearance& bars = ui::NavigationBar::appearance();
    bars.barTintColor = cellBackground;
    bars.tintColor = selectionStrip();
    bars.titleTextAttributes = {titleFont(), text};
}
