#include "platform/web/WebView.h"

#include "platform/foundation/RunLoop.h"
#include "platform/net/UrlSession.h"
#include "platform/web/HtmlText.h"

#include <cmath>

namespace web {

WebView::WebView(ui::Rect frame)
    : View(frame)
    , scroll_(std::make_shared<ui::ScrollView>())
    , label_(std::make_shared<ui::Label>())
{
    setBackgroundColor(ui::Color::white());
    label_->setNumberOfLines(0);
    label_->setLineBreakMode(ui::LineBreakMode::WordWrap);
    label_->setFont(ui::Font::systemFont(15));
    scroll_->setAlwaysBounceVertical(true);
    scroll_->addSubview(label_);
    addSubview(scroll_);
}

WebView::~WebView() = default;

void WebView::start(std::uint64_t load)
{
    if (load != load_)
        return;
    if (delegate_)
        delegate_->webViewDidStartLoad(*this);
}

void WebView::show(const std::string& html)
{
    loading_ = false;
    title_ = pageTitle(html);
    label_->setText(textContent(html));
    scroll_->setContentOffset({0, 0});
    setNeedsLayout();
}

void WebView::loadHtmlString(const std::string& html, const std::string& baseUrl)
{
    const std::uint64_t load = ++load_;
    loading_ = true;
    url_ = baseUrl;
    const std::weak_ptr<View> weak = weak_from_this();
    fnd::RunLoop::main().post([weak, load, html] {
        const auto self = std::static_pointer_cast<WebView>(weak.lock());
        if (!self || self->load_ != load)
            return;
        self->start(load);
        if (self->load_ != load)
            return; // the delegate started another load
        self->show(html);
        if (self->delegate_)
            self->delegate_->webViewDidFinishLoad(*self);
    });
}

void WebView::loadUrl(const std::string& url)
{
    const std::uint64_t load = ++load_;
    loading_ = true;
    url_ = url;
    const std::weak_ptr<View> weak = weak_from_this();
    fnd::RunLoop::main().post([weak, load] {
        if (const auto self = std::static_pointer_cast<WebView>(weak.lock()))
            self->start(load);
    });
    net::UrlSession::shared().get(url, [weak, load](const net::UrlResponse& response) {
        const auto self = std::static_pointer_cast<WebView>(weak.lock());
        if (!self || self->load_ != load)
            return;
        if (response.status == 0) {
            self->loading_ = false;
            if (self->delegate_)
                self->delegate_->webViewDidFailLoad(*self, response.error.empty() ? "no response" : response.error);
            return;
        }
        self->show(decodeBody(response.body, response.contentType));
        if (self->delegate_)
            self->delegate_->webViewDidFinishLoad(*self);
    });
}

void WebView::stopLoading()
{
    ++load_;
    loading_ = false;
}

void WebView::layoutSubviews()
{
    const ui::Rect b = bounds();
    scroll_->setFrame(b);
    const double width = std::max(0.0, b.width() - 2 * margin);
    const double height = std::ceil(label_->sizeThatFits({width, 0}).height);
    label_->setFrame({{margin, margin}, {width, height}});
    scroll_->setContentSize({b.width(), height + 2 * margin});
}

} // namespace web
