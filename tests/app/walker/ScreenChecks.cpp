#include "app/walker/ScreenChecks.h"

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "app/walker/VisibleArea.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/Toast.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/VisibleText.h"

namespace walker {

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The texts some views in `view` (its bars, its toasts) draw, where they show in `view`.
std::vector<ui::ShownText> textsOf(const std::vector<const ui::View*>& views, const ui::View& view)
{
    std::vector<ui::ShownText> texts;
    for (const ui::View* bar : views) {
        const ui::Point origin = bar->convertPoint(bar->bounds().origin, &view);
        for (ui::ShownText text : ui::visibleTextFrames(const_cast<ui::View&>(*bar))) {
            text.frame.origin = {text.frame.x() + origin.x, text.frame.y() + origin.y};
            texts.push_back(std::move(text));
        }
    }
    return texts;
}

bool among(const std::vector<ui::ShownText>& texts, const ui::ShownText& text)
{
    return std::any_of(texts.begin(), texts.end(), [&](const ui::ShownText& other) {
        return other.text == text.text && std::abs(other.frame.midX() - text.frame.midX()) < 1
            && std::abs(other.frame.midY() - text.frame.midY()) < 1;
    });
}

// A toast lies over the screen for a moment by design: its texts are drawn over what lies beneath.
void checkTexts(const std::vector<ui::ShownText>& shown, const std::vector<ui::ShownText>& onBars,
                const std::vector<ui::ShownText>& onToasts, std::vector<Finding>& found)
{
    for (const ui::ShownText& text : shown) {
        if (text.cut)
            found.push_back({"cut text", quoted(text.text)});
    }
    const auto onABar = [&](const ui::ShownText& text) { return among(onBars, text); };
    const auto onAToast = [&](const ui::ShownText& text) { return among(onToasts, text); };
    // Line boxes include the leading, so neighbouring lines may touch; overlapping glyphs share much more.
    // Content scrolled beneath a see-through bar is the under-a-bar check's concern.
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            const ui::Rect& a = shown[i].frame;
            const ui::Rect& b = shown[j].frame;
            const ui::Rect both = a.intersection(b);
            const bool drawnTwice = shown[i].text == shown[j].text && a == b;  // a glow or shadow under a text
            if (!drawnTwice && onABar(shown[i]) == onABar(shown[j]) && onAToast(shown[i]) == onAToast(shown[j])
                && both.width() > 2
                && both.height() > 0.4 * std::min(a.height(), b.height()))
                found.push_back({"overlapping texts", quoted(shown[i].text) + " and " + quoted(shown[j].text)});
        }
    }
}

std::vector<const ui::View*> shownToasts(const ui::View& view);

void findPageDots(const ui::View& view, std::vector<const ui::PageControl*>& found)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return;
    if (const auto* dots = dynamic_cast<const ui::PageControl*>(&view)) {
        if (dots->numberOfPages() > 1)
            found.push_back(dots);
        return;
    }
    for (const auto& child : view.subviews())
        findPageDots(*child, found);
}

// Texts drawn across the row of page dots, which a page control draws centred in its bounds.
void checkPageDots(const ui::View& view, const std::vector<ui::ShownText>& shown, std::vector<Finding>& found)
{
    std::vector<const ui::PageControl*> controls;
    findPageDots(view, controls);
    const std::vector<ui::ShownText> onToasts = textsOf(shownToasts(view), view);
    for (const ui::PageControl* dots : controls) {
        const ui::Rect b = dots->bounds();
        const ui::Size row = dots->sizeForNumberOfPages(dots->numberOfPages());
        // The middle third of the row's height: the dots themselves, not the room around them.
        const ui::Rect onDots{{b.midX() - row.width / 2, b.midY() - row.height / 6}, {row.width, row.height / 3}};
        ui::Rect area = dots->convertRect(onDots, &view);
        area.origin = {area.x() - view.bounds().x(), area.y() - view.bounds().y()};
        for (const ui::ShownText& text : shown) {
            if (!text.frame.intersection(area).isEmpty() && !among(onToasts, text))
                found.push_back({"text over page dots", quoted(text.text)});
        }
    }
}

std::vector<const ui::View*> shownToasts(const ui::View& view)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return {};
    if (dynamic_cast<const ui::ToastView*>(&view))
        return {&view};
    std::vector<const ui::View*> toasts;
    for (const auto& child : view.subviews()) {
        for (const ui::View* toast : shownToasts(*child))
            toasts.push_back(toast);
    }
    return toasts;
}

bool isBar(const ui::View& view)
{
    return dynamic_cast<const ui::NavigationBar*>(&view) || dynamic_cast<const ui::TabBar*>(&view)
        || dynamic_cast<const ui::Toolbar*>(&view);
}

// Views that show something of their own: texts, controls, images and opaque leaves.
bool drawsContent(const ui::View& view)
{
    if (const auto* label = dynamic_cast<const ui::Label*>(&view))
        return !label->text().empty();
    if (const auto* image = dynamic_cast<const ui::ImageView*>(&view))
        return !image->image().isNull();
    if (dynamic_cast<const ui::Control*>(&view))
        return true;
    const auto background = view.backgroundColor();
    return view.subviews().empty() && background && background->a > 0.99;
}

void collectContent(const ui::View& view, std::vector<const ui::View*>& found)
{
    if (isBar(view) || view.isHidden() || view.alpha() < 0.01)
        return;
    if (drawsContent(view))
        found.push_back(&view);
    if (dynamic_cast<const ui::Control*>(&view))
        return;
    for (const auto& child : view.subviews())
        collectContent(*child, found);
}

// The bars shown, in a screen's view.
void findBars(const ui::View& view, std::vector<const ui::View*>& found)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return;
    if (isBar(view)) {
        if (view.superview() && isShown(view))
            found.push_back(&view);
        return;
    }
    for (const auto& child : view.subviews())
        findBars(*child, found);
}

void checkBars(const std::vector<const ui::View*>& bars, std::vector<Finding>& found)
{
    for (const ui::View* bar : bars) {
        const ui::Rect barRect = bar->convertRect(bar->bounds(), nullptr);
        // The screen the bar belongs to: what its controller shows beside it.
        std::vector<const ui::View*> content;
        collectContent(*bar->superview(), content);
        for (const ui::View* view : content) {
            const ui::Rect under = visibleRect(*view).intersection(barRect);
            if (under.width() > 1 && under.height() > 1)
                found.push_back({"under a bar", describe(*view) + " under the " + describe(*bar)});
        }
    }
}

}  // namespace

std::string describe(const ui::View& view)
{
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(typeid(view).name(), nullptr, nullptr, &status), &std::free);
    std::string text = status == 0 && name ? name.get() : typeid(view).name();
    if (const auto* label = dynamic_cast<const ui::Label*>(&view))
        text += " " + quoted(label->text());
    else if (const auto* button = dynamic_cast<const ui::Button*>(&view); button && !button->currentTitle().empty())
        text += " " + quoted(button->currentTitle());
    return text;
}

std::vector<const ui::View*> shownBars(const ui::View& view)
{
    std::vector<const ui::View*> bars;
    findBars(view, bars);
    return bars;
}

std::vector<Finding> checkView(ui::View& view)
{
    view.layoutIfNeeded();
    const std::vector<const ui::View*> bars = shownBars(view);
    std::vector<Finding> found;
    const std::vector<ui::ShownText> shown = ui::visibleTextFrames(view);
    checkTexts(shown, textsOf(bars, view), textsOf(shownToasts(view), view), found);
    checkPageDots(view, shown, found);
    checkBars(bars, found);
    for (Finding& finding : checkTextsSeen(view))
        found.push_back(std::move(finding));
    return found;
}

}  // namespace walker
