#include "platform/ui/AlertController.h"

#include "platform/foundation/RunLoop.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/ScrollView.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace ui {

namespace {

struct Pending {
    std::shared_ptr<AlertController> alert;
    bool animated = true;
    std::function<void()> completion;
    bool waitedForExit = false;
};

// The one alert on screen and those waiting their turn.
struct AlertQueue {
    std::shared_ptr<AlertController> shown;
    std::deque<Pending> waiting;
    bool choosing = false; // an action's handler is running: new alerts wait
};

AlertQueue& queue()
{
    static AlertQueue q;
    return q;
}

constexpr double alertWidth = 270;
constexpr double padding = 16;
constexpr double alertButtonHeight = 44;
constexpr double sheetButtonHeight = 57;
constexpr double fieldHeight = 28;
constexpr double windowMargin = 10; // between a box that fills the window and its edges
constexpr double textsRoom = 88; // of the title and message, left them by buttons that stay put

std::shared_ptr<Label> makeLabel(const std::string& text, const Font& font, Color color, double width)
{
    auto label = std::make_shared<Label>();
    label->setText(text);
    label->setFont(font);
    label->setTextColor(color);
    label->setTextAlignment(TextAlignment::Center);
    label->setNumberOfLines(0);
    const Size size = label->sizeThatFits({width, 0});
    label->setFrame({{0, 0}, {width, std::ceil(size.height)}});
    return label;
}

std::shared_ptr<View> separator(Rect frame)
{
    auto line = std::make_shared<View>(frame);
    line->setBackgroundColor(Color::separator());
    return line;
}

} // namespace

// The full-window view behind an alert: dims what is beneath and keeps the
// box centred (alerts) or at the bottom edge (action sheets).
class AlertController::AlertView : public View {
public:
    AlertView(Rect frame, AlertControllerStyle style)
        : View(frame)
        , style_(style)
    {
    }

    void layoutSubviews() override
    {
        if (subviews().empty())
            return;
        View& content = *subviews().front();
        const Rect b = bounds();
        const Size size = content.bounds().size;
        if (style_ == AlertControllerStyle::Alert) {
            content.setFrame({{b.midX() - size.width / 2, b.midY() - size.height / 2}, size});
        } else {
            const double bottom = b.maxY() - safeAreaInsets(*this).bottom - 8;
            content.setFrame({{b.midX() - size.width / 2, bottom - size.height}, size});
        }
    }

private:
    AlertControllerStyle style_;
};

AlertController::AlertController(std::string title, std::string message, AlertControllerStyle style)
    : message_(std::move(message))
    , style_(style)
{
    setTitle(std::move(title));
    setModalPresentationStyle(ModalPresentationStyle::OverFullScreen);
    setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
}

std::shared_ptr<AlertController> AlertController::create(std::string title, std::string message,
                                                         AlertControllerStyle style)
{
    return std::make_shared<AlertController>(std::move(title), std::move(message), style);
}

void AlertController::setMessage(std::string message) { message_ = std::move(message); }

void AlertController::addAction(AlertAction action) { actions_.push_back(std::move(action)); }

std::vector<std::string> AlertController::actionTitles() const
{
    std::vector<std::string> titles;
    for (const AlertAction& action : actions_)
        titles.push_back(action.title);
    return titles;
}

void AlertController::addTextField(const std::function<void(TextField&)>& configure)
{
    if (style_ != AlertControllerStyle::Alert) {
        fnd::log(fnd::LogLevel::Warning, "alert: text fields are for alerts, not action sheets");
        return;
    }
    auto field = std::make_shared<TextField>();
    field->setBorderStyle(TextBorderStyle::RoundedRect);
    field->setFont(Font::systemFont(13));
    if (configure)
        configure(*field);
    textFields_.push_back(std::move(field));
}

void AlertController::setContentBackground(Color color, double cornerRadius)
{
    contentBackground_ = color;
    cancelBackground_ = color;
    contentCornerRadius_ = cornerRadius;
}

void AlertController::setSourceView(View*, Rect) {}

void AlertController::loadView()
{
    auto view = std::make_shared<AlertView>(Device::current().screenBounds(), style_);
    view->setBackgroundColor(Color::black().withAlpha(style_ == AlertControllerStyle::Alert ? 0.2 : 0.4));
    setView(view);
}

// Built each time it comes on screen rather than when the view loads: a screen may touch the view (to
// tint it) before adding the actions, and a sheet shown again may have gained some.
void AlertController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    showContent();
}

// A turned window may be too low for the box: it is built again for the new size.
void AlertController::viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator)
{
    ViewController::viewWillTransitionToSize(size, coordinator);
    const std::weak_ptr<ViewController> weak = weak_from_this();
    coordinator.animateAlongsideTransition([weak] {
        if (const auto self = std::static_pointer_cast<AlertController>(weak.lock()); self && self->content_)
            self->showContent();
    });
}

void AlertController::showContent()
{
    if (content_)
        content_->removeFromSuperview();
    content_ = buildContent(view()->bounds());
    view()->addSubview(content_);
    view()->setNeedsLayout();
}

std::shared_ptr<View> AlertController::buildContent(Rect bounds)
{
    const bool alert = style_ == AlertControllerStyle::Alert;
    const Size screen = Device::current().screenSize();
    const double width = alert ? alertWidth : std::min(std::min(screen.width, screen.height), bounds.width()) - 16;
    const Color textColor = alert ? Color::black() : Color::systemGray();

    auto content = std::make_shared<View>();
    auto box = std::make_shared<View>();
    box->setBackgroundColor(contentBackground_);
    box->setCornerRadius(contentCornerRadius_);
    box->setClipsToBounds(true);
    content->addSubview(box);

    // Title, message and fields scroll in their own view, so that however long the message the box fits
    // the window and its buttons stay on screen; buttons too many for the window scroll with them.
    auto texts = std::make_shared<ScrollView>();
    double y = 0;
    if (!title().empty() || !message_.empty())
        y += alert ? 20 : 14;
    const auto addText = [&](const std::string& text, const Font& font) {
        auto label = makeLabel(text, font, textColor, width - 2 * padding);
        label->setFrame({{padding, y}, label->bounds().size});
        y += label->bounds().height() + 4;
        texts->addSubview(label);
    };
    if (!title().empty())
        addText(title(), alert ? Font::boldSystemFont(17) : Font::boldSystemFont(13));
    if (!message_.empty())
        addText(message_, Font::systemFont(13));
    if (!title().empty() || !message_.empty())
        y += alert ? 12 : 10;
    for (const auto& field : textFields_) {
        field->setFrame({{padding, y}, {width - 2 * padding, fieldHeight}});
        texts->addSubview(field);
        y += fieldHeight + 8;
    }
    if (!textFields_.empty())
        y += 8;

    // Buttons: cancel leads a pair of alert buttons and closes a stack;
    // a sheet's cancel button sits apart, below the others.
    std::vector<std::size_t> order;
    std::optional<std::size_t> cancel;
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        if (actions_[i].style == AlertActionStyle::Cancel && !cancel)
            cancel = i;
        else
            order.push_back(i);
    }
    const bool sideBySide = alert && actions_.size() == 2;
    if (cancel && alert && sideBySide)
        order.insert(order.begin(), *cancel);
    else if (cancel && alert)
        order.push_back(*cancel);

    const double buttonHeight = alert ? alertButtonHeight : sheetButtonHeight;
    const double buttonsHeight = (sideBySide ? 1.0 : static_cast<double>(order.size())) * buttonHeight;
    const EdgeInsets safe = safeAreaInsets(*view());
    const double room = std::max(0.0, bounds.height() - safe.top - safe.bottom - 2 * windowMargin
                                          - (cancel && !alert ? 8 + buttonHeight : 0));
    const double textsHeight = y;
    // Fixed below the texts, the buttons would leave them too little room (or not fit at all): the user
    // reads the title and message first and scrolls down to the buttons.
    const bool buttonsScroll = buttonsHeight + std::min(textsHeight, textsRoom) > room;
    const double scrolled = buttonsScroll ? textsHeight + buttonsHeight : textsHeight;
    const double shown = std::min(buttonsScroll ? room : std::max(0.0, room - buttonsHeight), scrolled);
    texts->setFrame({{0, 0}, {width, shown}});
    texts->setContentSize({width, scrolled});
    texts->setScrollEnabled(shown < scrolled);
    box->addSubview(texts);
    View& buttons = buttonsScroll ? *texts : *box;
    y = buttonsScroll ? textsHeight : shown;

    const std::weak_ptr<ViewController> weakSelf = weak_from_this();
    const auto makeButton = [&](std::size_t index, Rect frame) {
        const AlertAction& action = actions_[index];
        auto button = std::make_shared<Button>(ButtonType::System, frame);
        button->setTitle(action.title);
        const bool bold = action.style == AlertActionStyle::Cancel;
        button->setTitleFont(bold ? Font::boldSystemFont(alert ? 17 : 20) : Font::systemFont(alert ? 17 : 20));
        if (action.style == AlertActionStyle::Destructive)
            button->setTitleColor(Color::systemRed());
        button->setEnabled(action.enabled);
        button->addTarget(ControlEvent::TouchUpInside, [weakSelf, index](Control&) {
            if (auto self = std::static_pointer_cast<AlertController>(weakSelf.lock()))
                self->choose(index);
        });
        return button;
    };
    if (sideBySide) {
        buttons.addSubview(separator({{0, y}, {width, 0.5}}));
        for (std::size_t i = 0; i < order.size(); ++i) {
            const double x = i * width / 2;
            buttons.addSubview(makeButton(order[i], {{x, y}, {width / 2, buttonHeight}}));
            if (i > 0)
                buttons.addSubview(separator({{x, y}, {0.5, buttonHeight}}));
        }
        y += buttonHeight;
    } else {
        for (const std::size_t index : order) {
            if (y > 0)
                buttons.addSubview(separator({{0, y}, {width, 0.5}}));
            buttons.addSubview(makeButton(index, {{0, y}, {width, buttonHeight}}));
            y += buttonHeight;
        }
    }
    double height = buttonsScroll ? shown : y;
    box->setFrame({{0, 0}, {width, height}});
    if (cancel && !alert) {
        auto cancelBox = std::make_shared<View>(Rect{{0, height + 8}, {width, buttonHeight}});
        cancelBox->setBackgroundColor(cancelBackground_);
        cancelBox->setCornerRadius(contentCornerRadius_);
        cancelBox->setClipsToBounds(true);
        cancelBox->addSubview(makeButton(*cancel, {{0, 0}, {width, buttonHeight}}));
        content->addSubview(cancelBox);
        height += 8 + buttonHeight;
    }
    content->setFrame({{0, 0}, {width, height}});
    return content;
}

void AlertController::viewDidDisappear(bool animated)
{
    ViewController::viewDidDisappear(animated);
    if (chosen_ || queue().shown.get() != this)
        return;
    // Unanswered, it left the screen: the screen it was shown over went and took it along. Once that
    // dismissal is over it is shown again over the screen that stays, or the queue would wait for an answer
    // nobody can give. (Covered by another screen, it is still presented and stays as it is.)
    const std::weak_ptr<AlertController> weak = std::static_pointer_cast<AlertController>(shared_from_this());
    fnd::RunLoop::main().post([weak] {
        const auto self = weak.lock();
        AlertQueue& q = queue();
        if (!self || self->chosen_ || q.shown != self || self->presentingViewController())
            return;
        q.shown.reset();
        q.waiting.push_front({self, false, {}});
        showNext();
    });
}

void AlertController::showNext()
{
    AlertQueue& q = queue();
    if (q.shown || q.choosing || q.waiting.empty())
        return;
    // A screen still sliding away leaves first, so that the alert goes over the screen that stays. The
    // end of its exit may show an alert itself, which is then the one shown.
    ViewController::finishModalTransition();
    if (q.shown || q.waiting.empty())
        return;
    RootWindow* root = RootWindow::current();
    ViewController* top = root ? root->topViewController() : nullptr;
    if (top && !top->view()->window() && !q.waiting.front().waitedForExit) {
        // The screen on top is leaving, and the end of its exit is what shows this alert: it goes over the
        // screen that stays once that exit is over.
        q.waiting.front().waitedForExit = true;
        fnd::RunLoop::main().post([] { showNext(); });
        return;
    }
    Pending next = std::move(q.waiting.front());
    q.waiting.pop_front();
    q.shown = next.alert;
    if (!top) {
        // No window (a screen under test): the alert is still the one shown.
        if (next.completion)
            next.completion();
        return;
    }
    top->presentModally(next.alert, next.animated, std::move(next.completion));
}

void AlertController::show(bool animated, std::function<void()> completion)
{
    AlertQueue& q = queue();
    const auto self = std::static_pointer_cast<AlertController>(shared_from_this());
    const bool queued = std::any_of(q.waiting.begin(), q.waiting.end(), [&](const Pending& p) { return p.alert == self; });
    if (q.shown == self || queued)
        return;
    chosen_ = false;
    q.waiting.push_back({self, animated, std::move(completion)});
    showNext();
}

bool AlertController::triggerAction(const std::string& title)
{
    if (queue().shown.get() != this)
        return false;
    const auto found = std::find_if(actions_.begin(), actions_.end(),
                                    [&](const AlertAction& a) { return a.title == title && a.enabled; });
    if (found == actions_.end())
        return false;
    choose(static_cast<std::size_t>(found - actions_.begin()));
    return true;
}

void AlertController::choose(std::size_t index)
{
    AlertQueue& q = queue();
    if (chosen_ || q.shown.get() != this || index >= actions_.size())
        return;
    chosen_ = true;
    const auto self = std::static_pointer_cast<AlertController>(shared_from_this());
    const AlertAction action = actions_[index];
    if (presentingViewController())
        dismissViewController(true);
    q.shown.reset();
    q.choosing = true;
    if (action.handler)
        action.handler(action);
    q.choosing = false;
    showNext();
}

std::shared_ptr<AlertController> AlertController::visible() { return queue().shown; }

std::size_t AlertController::queuedCount() { return queue().waiting.size(); }

void AlertController::dismissAll()
{
    AlertQueue& q = queue();
    q.waiting.clear();
    if (const auto shown = std::exchange(q.shown, nullptr); shown && shown->presentingViewController())
        shown->dismissViewController(false);
}

} // namespace ui
