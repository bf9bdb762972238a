#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"

#include <cstdint>
#include <memory>
#include <string>

namespace web {

class WebView;

// Told about loads; every method is optional.
class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;
    virtual void webViewDidStartLoad(WebView&) {}
    virtual void webViewDidFinishLoad(WebView&) {}
    // The page could not be fetched (no answer, refused, timed out, bad address).
    virtual void webViewDidFailLoad(WebView&, const std::string& /*error*/) {}
};

// Shows a page as its text, wrapped in a scrolling view: from a URL
// (fetched with net::UrlSession; an HTTP error page still shows) or from an
// HTML string. Loads report to the delegate on the main thread, after the
// call that started them returns; a new load or stopLoading silences the
// one before. Held by a shared_ptr.
class WebView : public ui::View {
public:
    explicit WebView(ui::Rect frame = {});
    ~WebView() override;

    WebViewDelegate* delegate() const { return delegate_; }
    void setDelegate(WebViewDelegate* delegate) { delegate_ = delegate; } // not owned

    void loadUrl(const std::string& url);
    void loadHtmlString(const std::string& html, const std::string& baseUrl = {});
    void stopLoading();
    bool isLoading() const { return loading_; }

    const std::string& url() const { return url_; }
    const std::string& title() const { return title_; }
    const std::string& text() const { return label_->text(); }
    ui::ScrollView& scrollView() { return *scroll_; }
    ui::Label& textLabel() { return *label_; }

    void layoutSubviews() override;

    static constexpr double margin = 8;

private:
    void start(std::uint64_t load);
    void show(const std::string& html);

    WebViewDelegate* delegate_ = nullptr;
    std::shared_ptr<ui::ScrollView> scroll_;
    std::shared_ptr<ui::Label> label_;
    std::string url_;
    std::string title_;
    std::uint64_t load_ = 0; // the current load; answers to older ones are dropped
    bool loading_ = false;
};

} // namespace web
