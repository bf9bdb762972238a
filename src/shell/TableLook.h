#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

namespace ui {
class Switch;
class TableView;
}  // namespace ui
class RoundedCell;

// The look of the settings and editor tables in the dark (0) and light (1)
// themes: table and cell colours, the fonts, and the selected-row background
// with a strip (green unless a screen says otherwise) along its right edge.
struct TableLook {
    int theme = 0;
    ui::Color tableBackground;
    ui::Color cellBackground;
    ui::Color text;
    ui::Color detail;
    ui::Color disabledText;
    ui::Color separator;
    ui::Color switchBackground;  // the track of a switch that is off, and its outline
    ui::Color switchThumb;
    ui::Color strip = selectionStrip();  // along the right edge of a selected row

    static TableLook forTheme(int theme);
    // The look of the theme in Settings now.
    static TableLook current();

    static ui::Color accent() { return ui::Color::rgb255(205, 40, 70); }
    static ui::Color selectionStrip() { return ui::Color::rgb255(0, 185, 109); }
    static ui::Font titleFont() { return ui::Font::named("DigitalSans NowEF ML Demo", 16); }
    static ui::Font detailFont() { return ui::Font::named("Digital-Serial", 15); }
    static constexpr double minimumTextScale = 0.7;

    void apply(ui::TableView& table) const;
    // Colours and fonts, and top/bottom rounding for row `row` of `rowCount`.
    void apply(RoundedCell& cell, int row, int rowCount) const;
    void apply(ui::Switch& toggle) const;
    // A navigation title view in the settings screens' face, in the bars' title colour; on `bar`, a tint
    // its opener gave the bar, in the text colour of the theme whose bars are as dark or light as that.
    std::shared_ptr<ui::Label> titleView(const std::string& title, std::optional<ui::Color> bar = std::nullopt) const;
    // Gives the navigation bars made from now on this look (done once, at start-up).
    void applyToBars() const;
};
