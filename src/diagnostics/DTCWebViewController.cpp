#include "diagnostics/DTCWebViewController.h"

#include <algorithm>

#include "diagnostics/DiagnosticsLook.h"
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

// Below the navigation bar and clear of the safe area's sides and bottom (and of a tab bar), so the
// page's first lines, and an error page, are not hidden under the bars.
void DTCWebViewController::viewDidLayoutSubviews()
{
    if (!webView_)
        return;
    const ui::Rect bounds = view()->bounds();
    const ui::EdgeInsets safe = ui::safeAreaInsets(*view());
    const double top = diagnosticsLook::topBarSpace(*this);
    const double height = bounds.size.height - top - diagnosticsLook::bottomBarSpace(*this);
    webView_->setFrame({safe.left, top, bounds.size.width - safe.left - safe.right, std::max(0.0, height)});
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
