#include "diagnostics/DTCWebViewController.h"

#include "html/HTMLEntities.h"
#include "html/HTMLUTF8.h"
#include "platform/foundation/Strings.h"

DTCWebViewController::DTCWebViewController(std::string urlStr) : urlStr_(std::move(urlStr)) {}

DTCWebViewController::~DTCWebViewController()
{
    if (webView_)
        webView_->setDelegate(nullptr);
}

void DTCWebViewController::viewDidLoad()
{
    webView_ = std::make_shared<web::WebView>(view()->bounds());
    webView_->setDelegate(this);
    webView_->loadUrl(urlStr_);
    view()->addSubview(webView_);
}

void DTCWebViewController::viewDidLayoutSubviews()
{
    if (webView_)
        webView_->setFrame(view()->bounds());
}

std::string DTCWebViewController::errorPage(const std::string& error)
{
    const std::string escaped = UTF8FromUTF16(html_stringByEscapingForHTML(UTF16FromUTF8(error)));
    return fnd::format("<html><center><font size=+5 color='red'>An error occurred:<br>%s</font></center></html>",
                       escaped);
}

void DTCWebViewController::webViewDidFailLoad(web::WebView& webView, const std::string& error)
{
    webView.loadHtmlString(errorPage(error));
}
