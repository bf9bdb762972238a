#include "Screens.h"

#include "platform/web/HtmlText.h"
#include "platform/web/WebView.h"
#include "support/LoopbackServer.h"
#include "support/TestSupport.h"

using namespace controllertests;
using testsupport::HttpReply;
using testsupport::LoopbackHttpServer;

namespace {

TEST(HtmlTextTest, TextWithoutMarkup)
{
    struct Case {
        std::string html;
        std::string text;
    };
    const Case cases[] = {
        {"<html><head><title>P0133</title><style>p{color:red}</style></head><body><h2>Symptoms</h2><p>Engine  light\n on</p></body></html>",
         "Symptoms\nEngine light on"},
        {"a<script>document.write('<p>x</p>')</script>b", "ab"},
        {"<SCRIPT type=x>if (a < b) {}</SCRIPT>kept", "kept"},
        {"Tom &amp; Jerry &lt;3 &quot;q&quot; &#65;&#x42; caf&eacute;", "Tom & Jerry <3 \"q\" AB caf&eacute;"},
        {"one<br>two<br/>three", "one\ntwo\nthree"},
        {"<p>first</p>\n\n\n<p>second</p>", "first\nsecond"},
        {"one<br><br><br><br>two", "one\n\ntwo"},
        {"<ul><li>a</li><li>b</li></ul>", "\u2022 a\n\u2022 b"},
        {"x < y and y > z", "x < y and y > z"},
        {"<!-- hidden <p>not</p> -->shown", "shown"},
        {"text then <unterminated", "text then"},
        {"<script>never closed", ""},
        {"&#0; &#xD800; &#99999999;", "\uFFFD \uFFFD &#99999999;"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(web::textContent(c.html), c.text) << c.html;
    EXPECT_EQ(web::pageTitle("<title> Trouble\ncode </title>"), "Trouble code");
    EXPECT_EQ(web::pageTitle("<p>no title</p>"), "");
}

TEST(HtmlTextTest, BodiesBecomeUtf8)
{
    EXPECT_EQ(web::decodeBody("caf\xe9", "text/html; charset=ISO-8859-1"), "caf\xc3\xa9");
    EXPECT_EQ(web::decodeBody("caf\xe9", "text/html"), "caf\xc3\xa9") << "not UTF-8: read as Latin-1";
    EXPECT_EQ(web::decodeBody("caf\xc3\xa9", "text/html; charset=utf-8"), "caf\xc3\xa9");
}

class Recorder : public web::WebViewDelegate {
public:
    std::vector<std::string> events;
    void webViewDidStartLoad(web::WebView&) override { events.push_back("start"); }
    void webViewDidFinishLoad(web::WebView& view) override { events.push_back("finish: " + view.text()); }
    void webViewDidFailLoad(web::WebView&, const std::string& error) override
    {
        events.push_back(error.empty() ? "fail without a reason" : "fail");
    }
};

class WebViewTest : public ControllerTest {
protected:
    WebViewTest()
    {
        view->setDelegate(&recorder);
        window().addSubview(view);
    }
    bool waitForEvents(std::size_t count)
    {
        return fnd::RunLoop::main().runUntil([&] { return recorder.events.size() >= count; });
    }
    Recorder recorder;
    std::shared_ptr<web::WebView> view = std::make_shared<web::WebView>(ui::makeRect(0, 0, 390, 844));
};

TEST_F(WebViewTest, LoadsAnHtmlString)
{
    view->loadHtmlString("<html><title>Error</title><center><font size=+5 color='red'>An error occurred:<br>"
                         "Could not connect</font></center></html>");
    EXPECT_TRUE(recorder.events.empty()) << "reports come after the call returns";
    EXPECT_TRUE(view->isLoading());
    advance(0);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"start", "finish: An error occurred:\nCould not connect"}));
    EXPECT_EQ(view->title(), "Error");
    EXPECT_FALSE(view->isLoading());
    window().renderToImage().writePNG(testsupport::artifactsDir() / "web-view-error-page.png");
}

TEST_F(WebViewTest, LoadsAPageFromTheNetwork)
{
    std::string page = "<h2>Possible causes</h2>";
    for (int i = 0; i < 200; ++i)
        page += "<p>Faulty sensor wiring, line " + std::to_string(i) + "</p>";
    LoopbackHttpServer server([&](const std::string& path) {
        return path == "/P0133" ? HttpReply{200, "text/html", page} : HttpReply{404, "text/html", "<h1>Not Found</h1>"};
    });
    view->loadUrl(server.url("/P0133"));
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(recorder.events[0], "start");
    EXPECT_EQ(recorder.events[1].substr(0, 32), "finish: Possible causes\nFaulty s");
    EXPECT_EQ(view->url(), server.url("/P0133"));
    window().layoutIfNeeded();
    EXPECT_GT(view->scrollView().contentSize().height, view->bounds().height()) << "a long page scrolls";

    view->loadUrl(server.url("/missing"));
    ASSERT_TRUE(waitForEvents(4));
    EXPECT_EQ(recorder.events[3], "finish: Not Found") << "an HTTP error page still shows";
}

TEST_F(WebViewTest, ARefusedConnectionFails)
{
    view->loadUrl("http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort()) + "/P0133");
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"start", "fail"}));
    EXPECT_FALSE(view->isLoading());
}

TEST_F(WebViewTest, ANewLoadSilencesTheOldOne)
{
    LoopbackHttpServer server([](const std::string&) { return HttpReply{200, "text/html", "<p>old</p>"}; });
    view->loadUrl(server.url("/old"));
    view->loadHtmlString("<p>new</p>");
    advance(0);
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return server.requestedPaths().size() == 1; }));
    advance(1);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"start", "finish: new"}));
    EXPECT_EQ(view->text(), "new");
}

} // namespace
