// Whether a user can see the texts a screen sets, and reach the controls it offers.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/walker/ScreenChecks.h"
#include "app/walker/VisibleArea.h"
#include "platform/ui/Button.h"
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

// Levels (of 255) by which a pixel of a text must differ from the colour around it to be seen, and how
// many pixels must: the thinnest glyph at the smallest size still has more.
constexpr int standsOut = 24;
constexpr int fewestPixels = 3;

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

// How many pixels of `area` (in the picture's points) differ from its commonest colour, the background.
int pixelsStandingOut(const ui::Image& picture, ui::Rect area)
{
    const double scale = picture.scale();
    const int x0 = std::max(0, static_cast<int>(area.minX() * scale));
    const int y0 = std::max(0, static_cast<int>(area.minY() * scale));
    const int x1 = std::min(picture.pixelWidth(), static_cast<int>(area.maxX() * scale + 0.999));
    const int y1 = std::min(picture.pixelHeight(), static_cast<int>(area.maxY() * scale + 0.999));
    if (x1 <= x0 || y1 <= y0)
        return 0;
    const auto pixel = [&](int x, int y) { return picture.pixels()[static_cast<std::size_t>(y * picture.pixelWidth() + x)]; };
    std::unordered_map<std::uint32_t, int> counts;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            ++counts[pixel(x, y)];
    const std::uint32_t background =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; })
            ->first;
    int standing = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            standing += testsupport::channelDifference(pixel(x, y), background) > standsOut ? 1 : 0;
    return standing;
}

// Every view in drawing order: a view before its subviews, subviews from the back.
void inDrawingOrder(const ui::View& view, std::vector<const ui::View*>& order)
{
    order.push_back(&view);
    for (const auto& child : view.subviews())
        inDrawingOrder(*child, order);
}

// Where a view paints something of its own, in window coordinates; empty where it only holds others.
std::vector<ui::Rect> paintedAreas(const ui::View& view)
{
    if (!isShown(view))
        return {};
    const ui::Rect shown = visibleRect(view);
    const auto background = view.backgroundColor();
    if ((background && background->a > 0.01) || dynamic_cast<const ui::Control*>(&view))
        return {shown};
    if (const auto* image = dynamic_cast<const ui::ImageView*>(&view); image && !image->image().isNull())
        return {shown};
    std::vector<ui::Rect> areas;
    if (dynamic_cast<const ui::Label*>(&view)) {
        for (const ui::ShownText& text : ui::visibleTextFrames(const_cast<ui::View&>(view)))
            areas.push_back(fromBoundsOrigin(view, text.frame).intersection(shown));
    }
    return areas;
}

bool covers(const ui::Rect& a, const ui::Rect& b)
{
    const ui::Rect both = a.intersection(b);
    return both.width() > 1 && both.height() > 1;
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
    const ui::Image picture = view.renderToImage(1);
    // Lines that a view painted later hides wholly (the menu behind a screen) are not there to be seen.
    const std::vector<ui::ShownText> onTop = ui::visibleTextFrames(view);
    const auto uncovered = [&](const ui::View& shown, const ui::ShownText& line) {
        const ui::Rect frame = toBoundsOrigin(view, fromBoundsOrigin(shown, line.frame));
        return std::any_of(onTop.begin(), onTop.end(), [&](const ui::ShownText& top) {
            return top.text == line.text && std::abs(top.frame.midX() - frame.midX()) < 1
                && std::abs(top.frame.midY() - frame.midY()) < 1;
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
        bool judged = false;
        int standing = 0;
        for (const ui::ShownText& line : lines) {
            const ui::Rect onScreen = fromBoundsOrigin(*shown, line.frame).intersection(area);
            if (onScreen.height() < line.frame.height() / 2 || !uncovered(*shown, line))
                continue;
            judged = true;
            standing += pixelsStandingOut(picture, toBoundsOrigin(view, onScreen));
        }
        if (judged && standing < fewestPixels)
            found.push_back({"unseen text", describe(*shown) + " draws its text in no colour that stands out"});
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
        const std::vector<ui::Rect> painted = paintedAreas(other);
        if (std::any_of(painted.begin(), painted.end(), [&](const ui::Rect& r) { return covers(r, title); })) {
            found.push_back({"covered control", describe(control) + " under " + describe(other)});
            break;
        }
    }
    return found;
}

}  // namespace walker
