// Whether a user can see the texts a screen sets, and reach the controls it offers.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/walker/ScreenChecks.h"
#include "app/walker/VisibleArea.h"
#include "platform/ui/Button.h"
#include "platform/ui/Context.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TextField.h"
#include "platform/ui/VisibleText.h"
#include "platform/ui/View.h"
#include "support/ImageCompare.h"

namespace walker {

namespace {

// Levels (of 255) by which a pixel must change when a text is drawn to count as showing it, how many pixels
// must (the thinnest glyph at the smallest size still has more), and the share of its glyphs' pixels: a
// text in the colour around it changes no more than the few pixels where it crosses a line beneath.
constexpr int standsOut = 24;
constexpr int fewestPixels = 3;
constexpr int shareOfGlyphs = 2;

// The text a view is given to show, or nothing for views that show no text of their own.
std::string textSet(const ui::View& view)
{
    if (const auto* label = dynamic_cast<const ui::Label*>(&view))
        return label->text();
    if (const auto* field = dynamic_cast<const ui::TextField*>(&view))
        return field->text().empty() ? field->placeholder() : field->text();
    if (const auto* button = dynamic_cast<const ui::Button*>(&view))
        return button->currentTitle();
    return {};
}

bool blank(const std::string& text)
{
    return text.find_first_not_of(" \t\n") == std::string::npos;
}

void collectTextViews(ui::View& view, std::vector<ui::View*>& found)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return;
    if (!blank(textSet(view)))
        found.push_back(&view);
    for (const auto& child : view.subviews())
        collectTextViews(*child, found);
}

// Each pixel of `area` (in the picture's points), by its place in the picture's pixels.
template <typename Each>
void forEachPixel(const ui::Image& picture, ui::Rect area, Each each)
{
    const double scale = picture.scale();
    const int x0 = std::max(0, static_cast<int>(area.minX() * scale));
    const int y0 = std::max(0, static_cast<int>(area.minY() * scale));
    const int x1 = std::min(picture.pixelWidth(), static_cast<int>(area.maxX() * scale + 0.999));
    const int y1 = std::min(picture.pixelHeight(), static_cast<int>(area.maxY() * scale + 0.999));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            each(static_cast<std::size_t>(y * picture.pixelWidth() + x));
}

// How many pixels of `area` the text changes: those that differ between the pictures with and without it.
int pixelsStandingOut(const ui::Image& with, const ui::Image& without, ui::Rect area)
{
    int standing = 0;
    forEachPixel(with, area, [&](std::size_t at) {
        standing += testsupport::channelDifference(with.pixels()[at], without.pixels()[at]) > standsOut ? 1 : 0;
    });
    return standing;
}

// The font a view draws its text in, as fitted to its width.
ui::Font fontOf(const ui::View& view)
{
    if (const auto* label = dynamic_cast<const ui::Label*>(&view))
        return label->font().withSize(label->fittedFontSize());
    if (const auto* field = dynamic_cast<const ui::TextField*>(&view))
        return field->font();
    return dynamic_cast<const ui::Button&>(view).titleFont();
}

// How many pixels a line's glyphs cover, drawn alone in the view's font.
int glyphPixels(const ui::ShownText& line, const ui::Font& font)
{
    ui::BitmapContext alone(line.frame.size, 1);
    alone.drawText(line.text, ui::Point{0, 0}, font, ui::Color::black());
    const ui::Image drawn = alone.makeImage();
    int covered = 0;
    forEachPixel(drawn, {{0, 0}, line.frame.size},
                 [&](std::size_t at) { covered += drawn.pixels()[at] >> 24 > 127 ? 1 : 0; });
    return covered;
}

// Takes a view's text away (a label's text and the title a button shows emptied, a field's colours made
// clear) and gives back what puts it back as it was.
std::function<void()> takeTextAway(ui::View& view)
{
    if (auto* label = dynamic_cast<ui::Label*>(&view)) {
        std::string text = label->text();
        label->setText({});
        return [label, text = std::move(text)] { label->setText(text); };
    }
    if (auto* field = dynamic_cast<ui::TextField*>(&view)) {
        const ui::Color text = field->textColor();
        const ui::Color placeholder = field->placeholderColor();
        field->setTextColor(ui::Color::clear());
        field->setPlaceholderColor(ui::Color::clear());
        return [=] {
            field->setTextColor(text);
            field->setPlaceholderColor(placeholder);
        };
    }
    auto& button = dynamic_cast<ui::Button&>(view);
    const ui::ControlState state = button.state();
    std::optional<std::string> own = button.titleForState(state);
    button.setTitle(std::string(), state);
    return [&button, state, own = std::move(own)] { button.setTitle(own, state); };
}

// The view pictured as it shows, and without the texts of `textViews`.
std::pair<ui::Image, ui::Image> picturedWithAndWithout(ui::View& view, const std::vector<ui::View*>& textViews)
{
    ui::Image with = view.renderToImage(1);
    std::vector<std::function<void()>> putBack;
    for (ui::View* shown : textViews)
        putBack.push_back(takeTextAway(*shown));
    ui::Image without = view.renderToImage(1);
    for (auto back = putBack.rbegin(); back != putBack.rend(); ++back)
        (*back)();
    return {std::move(with), std::move(without)};
}

// Every view in drawing order: a view before its subviews, subviews from the back.
void inDrawingOrder(const ui::View& view, std::vector<const ui::View*>& order)
{
    order.push_back(&view);
    for (const auto& child : view.subviews())
        inDrawingOrder(*child, order);
}

bool covers(const ui::Rect& a, const ui::Rect& b)
{
    const ui::Rect both = a.intersection(b);
    return both.width() > 1 && both.height() > 1;
}

// Whether a view's own draw() paints anything inside `area` (window coordinates, within what shows of it).
bool drawsIn(const ui::View& view, const ui::Rect& area)
{
    const ui::Rect local = view.convertRectFromView(area, nullptr).intersection(view.bounds());
    if (local.width() < 1 || local.height() < 1)
        return false;
    ui::BitmapContext own(local.size, 1);
    own.translate(-local.x(), -local.y());
    const_cast<ui::View&>(view).draw(own, local);
    const ui::Image drawn = own.makeImage();
    bool painted = false;
    forEachPixel(drawn, {{0, 0}, local.size},
                 [&](std::size_t at) { painted = painted || drawn.pixels()[at] >> 24 > 25; });
    return painted;
}

// Whether a view paints something of its own over `title` (window coordinates): its background, a control
// or an image all over itself, a label its lines, any other view what its draw() paints.
bool paintsOver(const ui::View& view, const ui::Rect& title)
{
    if (!isShown(view))
        return false;
    const ui::Rect shown = visibleRect(view);
    if (!covers(shown, title))
        return false;
    const auto background = view.backgroundColor();
    if ((background && background->a > 0.01) || dynamic_cast<const ui::Control*>(&view))
        return true;
    if (const auto* image = dynamic_cast<const ui::ImageView*>(&view))
        return !image->image().isNull();
    if (dynamic_cast<const ui::Label*>(&view)) {
        const std::vector<ui::ShownText> lines = ui::visibleTextFrames(const_cast<ui::View&>(view));
        return std::any_of(lines.begin(), lines.end(), [&](const ui::ShownText& line) {
            return covers(fromBoundsOrigin(view, line.frame).intersection(shown), title);
        });
    }
    const ui::Rect over = shown.intersection(title);
    return covers(over, title) && drawsIn(view, over);
}

}  // namespace

std::vector<Finding> checkTextsSeen(ui::View& view)
{
    view.layoutIfNeeded();
    std::vector<ui::View*> textViews;
    collectTextViews(view, textViews);
    std::vector<Finding> found;
    if (textViews.empty())
        return found;
    const auto [with, without] = picturedWithAndWithout(view, textViews);
    // Lines that a view painted later hides wholly (the menu behind a screen) are not there to be seen.
    const std::vector<ui::ShownText> onTop = ui::visibleTextFrames(view);
    const auto uncovered = [&](const ui::View& shown, const ui::ShownText& line) {
        const ui::Rect frame = toBoundsOrigin(view, fromBoundsOrigin(shown, line.frame));
        return std::any_of(onTop.begin(), onTop.end(), [&](const ui::ShownText& top) {
            return top.text == line.text && std::abs(top.frame.midX() - frame.midX()) < 1
                && std::abs(top.frame.midY() - frame.midY()) < 1;
        });
    };
    // A bar shown over content hides it on purpose (one that slides in for a moment) or is the under-a-bar
    // check's concern.
    const std::vector<const ui::View*> bars = shownBars(view);
    const auto underABar = [&](const ui::View& shown, const ui::Rect& line) {
        return std::any_of(bars.begin(), bars.end(), [&](const ui::View* bar) {
            return !shown.isDescendantOf(bar) && visibleRect(*bar).intersection(line).height() >= line.height() / 2;
        });
    };
    const ui::Rect checked = fromBoundsOrigin(view, {{0, 0}, view.bounds().size});
    for (ui::View* shown : textViews) {
        const ui::Rect area = visibleRect(*shown).intersection(checked);
        // Scrolled away or clipped off: nothing of it is on screen to be seen.
        if (!isShown(*shown) || (area.isEmpty() && !shown->bounds().isEmpty()))
            continue;
        const std::vector<ui::ShownText> lines = ui::visibleTextFrames(*shown);
        if (lines.empty()) {
            found.push_back({"unseen text", describe(*shown) + " draws none of its text"});
            continue;
        }
        // A line mostly scrolled off the edge shows too little of itself to judge.
        for (const ui::ShownText& line : lines) {
            const ui::Rect onScreen = fromBoundsOrigin(*shown, line.frame).intersection(area);
            if (blank(line.text) || onScreen.height() < line.frame.height() / 2 || !uncovered(*shown, line)
                || underABar(*shown, onScreen))
                continue;
            const int standing = pixelsStandingOut(with, without, toBoundsOrigin(view, onScreen));
            if (standing < fewestPixels || standing < glyphPixels(line, fontOf(*shown)) / shareOfGlyphs) {
                found.push_back({"unseen text", describe(*shown) + " draws \"" + line.text
                                                    + "\" in no colour that stands out from what lies beneath"});
                break;
            }
        }
    }
    return found;
}

ui::Rect titleArea(ui::View& control)
{
    const ui::Rect shown = visibleRect(control);
    if (dynamic_cast<ui::SegmentedControl*>(&control))
        return shown;
    const std::vector<ui::ShownText> lines = ui::visibleTextFrames(control);
    if (lines.empty())
        return shown;
    ui::Rect title = fromBoundsOrigin(control, lines.front().frame);
    for (const ui::ShownText& line : lines) {
        // A row's title is its first line; a button's may wrap onto more.
        if (dynamic_cast<ui::Button*>(&control))
            title = title.unite(fromBoundsOrigin(control, line.frame));
    }
    return title.intersection(shown);
}

std::vector<Finding> checkReach(ui::View& control, ui::View& screen, ui::Point at)
{
    std::vector<Finding> found;
    ui::View& window = *[&] {
        ui::View* top = &control;
        while (top->superview())
            top = top->superview();
        return top;
    }();
    bool reached = false;
    ui::View* hit = window.hitTest(at);
    for (ui::View* v = hit; v && !reached; v = v->superview())
        reached = v == &control;
    if (!reached)
        found.push_back({"unreachable control", "a tap on the middle of " + describe(control) + " reaches "
                                                    + (hit ? describe(*hit) : std::string("nothing"))});

    const ui::Rect title = titleArea(control);
    std::vector<const ui::View*> order;
    inDrawingOrder(screen, order);
    const auto self = std::find(order.begin(), order.end(), &control);
    if (self == order.end())
        return found;
    for (auto later = self + 1; later != order.end(); ++later) {
        const ui::View& other = **later;
        if (other.isDescendantOf(&control))
            continue;
        if (paintsOver(other, title)) {
            found.push_back({"covered control", describe(control) + " under " + describe(other)});
            break;
        }
    }
    return found;
}

}  // namespace walker
