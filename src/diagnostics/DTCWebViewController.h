#pragma once

#include <memory>
#include <string>

#include "platform/ui/ViewController.h"
#include "platform/web/WebView.h"

// A trouble code's page on the reference site. A page that cannot be loaded is replaced by a page
// that says why.
class DTCWebViewController : public ui::ViewController, private web::WebViewDelegate {
public:
    explicit DTCWebViewController(std::string urlStr);
    ~DTCWebViewController() override;

    const std::string& urlStr() const { return urlStr_; }
    web::WebView* webView() const { return webView_.get(); }
    bool shouldAutorotate() const override { return true; }

    // The page shown in place of one that failed; the error text is escaped.
    static std::string errorPage(const std::string& error);

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    void webViewDidFailLoad(web::WebView&, const std::string& error) override;

    std::string urlStr_;
    std::shared_ptr<web::WebView> webView_;
};
