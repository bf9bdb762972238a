#pragma once

#include <memory>
#include <string>

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

// The colours, fonts and section headers the diagnostics screens share.
namespace diagnosticsLook {

inline ui::Color accent() { return ui::Color::rgb255(205, 40, 70); }
inline ui::Color teal() { return ui::Color::rgb255(117, 215, 199); }
inline ui::Color green() { return ui::Color::rgb255(0, 185, 109); }
inline ui::Font digitalSans(double size) { return ui::Font::named("DigitalSans NowEF ML Demo", size); }
inline ui::Font digitalSerial(double size) { return ui::Font::named("Digital-Serial", size); }
inline ui::Font digitalSerialBold(double size) { return ui::Font::named("Digital-Serial DB", size); }

// A navigation title view: text in the bars' title colour on a clear background.
std::shared_ptr<ui::Label> titleLabel(const std::string& text, const ui::Font& font);

// A clear header `height` high holding a label at (x, y), 20 high, as wide as its text: black on `color`
// with rounded corners. An empty text gives a hidden label.
std::shared_ptr<ui::View> badgeHeader(const std::string& text, ui::Color color, double height, double x, double y,
                                      const ui::Font& font = digitalSans(16));

// A clear header `height` high with plain text at (x, y).
std::shared_ptr<ui::View> textHeader(const std::string& text, ui::Color color, double height, double x, double y,
                                     const ui::Font& font);

// How much of the screen's top the navigation bar (or the status bar) covers.
double topBarSpace(ui::ViewController& screen);
// How much of the screen's bottom the tab bar (when the screen is a tab's) and the home indicator cover.
double bottomBarSpace(const ui::ViewController& screen);

// The height of `text` wrapped at `width` in `font`.
double textHeight(const std::string& text, const ui::Font& font, double width);

}  // namespace diagnosticsLook
