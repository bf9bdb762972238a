// The reference site: reading a code's page, and the lookups of the trouble code screen against a
// loopback web server.

#include "DiagnosticsTest.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "diagnostics/DTCDetViewCon.h"
#include "diagnostics/DTCReferencePage.h"
#include "diagnostics/DTCViewController.h"
#include "diagnostics/DTCWebViewController.h"
#include "platform/net/UrlSession.h"
#include "platform/ui/VisibleText.h"
#include "support/LoopbackServer.h"

namespace {

struct PageCase {
    const char* name;
    std::string page;
    std::optional<std::string> symptoms;
    std::optional<std::string> causes;
};

class ReadsPage : public ::testing::TestWithParam<PageCase> {};

TEST_P(ReadsPage, IntoSymptomsAndCauses)
{
    const DTCReferenceTexts texts = readReferencePage(GetParam().page);
    EXPECT_EQ(texts.symptoms, GetParam().symptoms);
    EXPECT_EQ(texts.causes, GetParam().causes);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ReadsPage,
    ::testing::Values(
        PageCase{"HeadingsOnTheirOwnLines",
                 "<html><body>\n<h2>Symptoms</h2>\n<ul><li>Rough idle</li><li>Stalling</li></ul>\n<h2>Causes</h2>\n"
                 "<ul><li>Faulty sensor</li><li>Wiring</li><li>Exhaust leak</li></ul>\n<h2>Repair</h2>\n<p>Replace</p>",
                 "\u2022 Rough idle\n\u2022 Stalling\n", "\u2022 Faulty sensor\n\u2022 Wiring\n\u2022 Exhaust leak\n"},
        PageCase{"ParagraphsWithoutItems", "<h2>Symptoms</h2><p>First</p><p>Second</p><h2>Causes</h2><h2>Solution</h2>",
                 "First\nSecond\n", ""},
        PageCase{"ItemsWinOverParagraphs", "<h2>Symptoms</h2><p>Intro</p><ul><li>One</li></ul><h2>Cause</h2>",
                 "\u2022 One\n", std::nullopt},
        PageCase{"UpperCaseTagsAndText", "<H2>SYMPTOMS</H2><LI>A</LI>\n<H2>POSSIBLE CAUSES</H2><LI>B</LI>\n<H2>TROUBLESHOOTING</H2>",
                 "\u2022 A\n", "\u2022 B\n"},
        PageCase{"HeadingSplitOverTwoLines", "<h2>Symptoms</h2><li>A</li><h2>Possible\ncauses</h2><li>B</li><h2>Repair</h2>",
                 std::nullopt, std::nullopt},
        // Minified pages once matched from the first heading to the last on the line.
        PageCase{"MinifiedWithAttributes",
                 "<div><h2 class=\"t\">Symptoms</h2><ul><li>S</li></ul><h2 id='c'>Common causes</h2><ul><li>C</li></ul>"
                 "<h2 data-x=1>How to diagnose</h2><ul><li>D</li></ul><h2>Related</h2></div>",
                 "\u2022 S\n", "\u2022 C\n"},
        // The symptoms end at the first cause heading after them.
        PageCase{"TwoCauseHeadings",
                 "<h2>Symptoms</h2><li>S</li>\n<h2>Causes</h2><li>C1</li>\n<h2>Other causes</h2><li>C2</li>\n<h2>Repair</h2>",
                 "\u2022 S\n", "\u2022 C2\n"},
        PageCase{"NotAnH2", "<h2x>Symptoms</h2x><li>S</li><h2>Causes</h2>", std::nullopt, std::nullopt},
        PageCase{"EmptySection", "<h2>Symptoms</h2>\n<h2>Causes</h2>", "", std::nullopt},
        PageCase{"EntitiesAndNesting", "<h2><span>Symptoms</span></h2><li>Idle &amp; <b>stall</b></li><h2>Causes</h2>",
                 "\u2022 Idle & stall\n", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// A megabyte on one line, with many headings and lists: read without recursion per character.
TEST(ReferencePage, LongOneLinePage)
{
    std::string page = "<h2>Symptoms</h2>";
    for (int i = 0; i < 20000; ++i)
        page += "<li>item</li><p>text</p>";
    page += "<h2>Causes</h2><li>C</li><h2>Repair</h2>";
    page += std::string(1 << 20, 'x');
    const DTCReferenceTexts texts = readReferencePage(page);
    ASSERT_TRUE(texts.symptoms);
    EXPECT_EQ(texts.symptoms->size(), 20000u * std::string("\u2022 item\n").size());
    EXPECT_EQ(texts.causes, "\u2022 C\n");
}

// Pages of headings that never close on their line, or that all share one far closing tag: each read in
// one pass over the page, where a scan per heading would take hours.
TEST(ReferencePage, ManyHeadingsSharingOneEnd)
{
    constexpr int count = 100000;
    std::string opens;
    std::string spaced;
    std::string symptoms;
    for (int i = 0; i < count; ++i) {
        opens += "<h2>";
        spaced += "<h2 ";
        symptoms += "<h2>Symptoms</h2>";
    }
    for (const std::string& page : {opens + "</h2>", opens + "\n</h2>", spaced + "></h2>"}) {
        const DTCReferenceTexts texts = readReferencePage(page);
        EXPECT_FALSE(texts.symptoms);
        EXPECT_FALSE(texts.causes);
    }
    const DTCReferenceTexts texts = readReferencePage(symptoms + "<li>S</li><h2>Causes</h2>");
    EXPECT_EQ(texts.symptoms, "\u2022 S\n");
    EXPECT_FALSE(texts.causes);
}

TEST(ReferencePage, ErrorPageEscapesTheError)
{
    const std::string page = DTCWebViewController::errorPage("<b>refused</b> & gone");
    EXPECT_NE(page.find("An error occurred:<br>&lt;b&gt;refused&lt;/b&gt; &amp; gone"), std::string::npos) << page;
}

const std::string kPage = "<html><body><h1>P0133</h1>\n<h2>Symptoms</h2>\n<ul><li>Poor fuel economy</li></ul>\n"
                          "<h2>Causes</h2>\n<ul><li>Worn oxygen sensor</li></ul>\n<h2>Repair</h2>\n</body></html>";

class ReferenceLookupTest : public DiagnosticsTest {
protected:
    void SetUp() override
    {
        DiagnosticsTest::SetUp();
        net::UrlSession::setReferenceBaseUrl(server.url("/codes"));
        screen = std::make_shared<DTCViewController>();
        screen->setScanner(link);
    }
    void TearDown() override
    {
        release();
        net::UrlSession::setReferenceBaseUrl({});
    }

    testsupport::HttpReply route(const std::string& path)
    {
        if (path == "/codes/P0133")
            return {200, "text/html; charset=utf-8", kPage};
        if (path == "/codes/P0420")
            return {200, "text/html; charset=iso-8859-1", "<h2>Sympt\xF4mes</h2><li>Caf\xE9</li><h2>Causes</h2>"};
        if (path == "/codes/P0171") {
            std::unique_lock lock(mutex);
            released.wait(lock, [&] { return go; });
            return {200, "text/html", kPage};
        }
        return {404, "text/html", "<h1>Not found</h1>"};
    }
    void release()
    {
        std::lock_guard lock(mutex);
        go = true;
        released.notify_all();
    }

    std::mutex mutex;
    std::condition_variable released;
    bool go = false;
    testsupport::LoopbackHttpServer server{[this](const std::string& path) { return route(path); }};
    std::shared_ptr<DTCViewController> screen;
};

TEST_F(ReferenceLookupTest, EachCodeReadIsLookedUpAndItsDetailSaysWhatCameOfIt)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.storedCodes = {"P0133", "P0301"};
        s.permanentCodes = {"P0420"};
    });
    ASSERT_TRUE(connect());
    show(screen);
    ASSERT_TRUE(waitFor([&] {
        return screen->symptoms(0).count("P0133") && !screen->lookupNote(0, "P0301").empty() &&
               !screen->lookupNote(2, "P0420").empty();
    }));
    EXPECT_EQ(screen->symptoms(0).at("P0133"), "\u2022 Poor fuel economy\n");
    EXPECT_EQ(screen->causes(0).at("P0133"), "\u2022 Worn oxygen sensor\n");
    EXPECT_TRUE(screen->symptoms(2).empty()) << "a page of another list fills its own dictionaries";
    EXPECT_EQ(screen->lookupNote(0, "P0301"), "The reference site has no page for this code (HTTP 404).");
    EXPECT_EQ(screen->lookupNote(2, "P0420"), "The reference page could not be read.");

    const DTCDetViewCon missing(ui::TableViewStyle::Grouped, "P0301", "Cylinder 1 Misfire Detected", std::nullopt,
                                std::nullopt, screen->lookupNote(0, "P0301"));
    EXPECT_EQ(missing.rowText(0), "Cylinder 1 Misfire Detected");
    EXPECT_EQ(missing.rowText(1), "The reference site has no page for this code (HTTP 404).");
    const DTCDetViewCon empty(ui::TableViewStyle::Grouped, "P0129", "", std::string(), std::string());
    EXPECT_EQ(empty.rowText(0), "Data unavailable");
    EXPECT_EQ(empty.rowText(2), "Info not available");
}

TEST_F(ReferenceLookupTest, ASlowSiteTimesOut)
{
    sim.updateCar([](elmsim::CarState& s) { s.pendingCodes = {"P0171"}; });
    ASSERT_TRUE(connect());
    show(screen);
    ASSERT_TRUE(waitFor([&] { return server.requestedPaths().size() == 1; }));
    advance(net::UrlSession::shared().timeout() + 1);
    ASSERT_TRUE(waitFor([&] { return !screen->lookupNote(1, "P0171").empty(); }));
    EXPECT_NE(screen->lookupNote(1, "P0171").find("timed out"), std::string::npos) << screen->lookupNote(1, "P0171");
    EXPECT_TRUE(screen->symptoms(1).empty());
}

TEST_F(ReferenceLookupTest, MoreShowsThePageAndBackLeavesTheDetail)
{
    auto detail = std::make_shared<DTCDetViewCon>(ui::TableViewStyle::Grouped, "P0133", "O2 Sensor", "\u2022 S\n",
                                                  std::nullopt);
    show(detail);
    const std::string before = detail->rowText(1);
    detail->loadWebsite();
    advance(1);
    auto* web = dynamic_cast<DTCWebViewController*>(navigation->topViewController());
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(web->urlStr(), server.url("/codes/P0133"));
    ASSERT_TRUE(waitFor([&] { return web->webView()->text().find("Poor fuel economy") != std::string::npos; }));
    navigation->popViewController(true);
    advance(1);
    EXPECT_EQ(navigation->topViewController(), detail.get());
    EXPECT_EQ(detail->rowText(1), before);
}

TEST_F(ReferenceLookupTest, AFailedPageLoadShowsTheErrorPage)
{
    net::UrlSession::setReferenceBaseUrl("http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort()));
    auto web = std::make_shared<DTCWebViewController>(DTCDetViewCon::pageAddress("P0133"));
    show(web);
    ASSERT_TRUE(waitFor([&] { return web->webView()->text().find("An error occurred:") != std::string::npos; }));
}

struct PageLayoutCase {
    const char* name;
    ui::UserInterfaceIdiom idiom;
    ui::Size size;
};

void PrintTo(const PageLayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class MorePageLayout : public ReferenceLookupTest, public ::testing::WithParamInterface<PageLayoutCase> {};

// "More" on a code's detail, as the user reaches it: the page, an error page too, is read below the bar.
TEST_P(MorePageLayout, ShowsThePageBelowTheBar)
{
    ui::Device::current().setIdiom(GetParam().idiom);
    ui::Device::current().setScreenSize(GetParam().size);
    root = std::make_unique<ui::RootWindow>(GetParam().size);
    net::UrlSession::setReferenceBaseUrl("http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort()));
    show(std::make_shared<DTCDetViewCon>(ui::TableViewStyle::Grouped, "P0133", "O2 Sensor", std::nullopt, std::nullopt));
    root->window().layoutIfNeeded();
    ui::View* more = navigation->navigationBar().viewForItem(*navigation->topViewController()->navigationItem().rightBarButtonItem());
    ASSERT_NE(more, nullptr);
    tap(more->convertPoint(more->bounds().center(), nullptr));
    advance(1);
    auto* web = dynamic_cast<DTCWebViewController*>(navigation->topViewController());
    ASSERT_NE(web, nullptr);
    ASSERT_TRUE(waitFor([&] { return web->webView()->text().find("An error occurred:") != std::string::npos; }));
    advance(0.5);
    root->window().layoutIfNeeded();

    const auto texts = ui::visibleTexts(root->window());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "An error occurred:"), texts.end()) << testing::PrintToString(texts);
    const ui::Rect page = web->webView()->convertRect(web->webView()->bounds(), nullptr);
    const ui::Rect bar = navigation->navigationBar().convertRect(navigation->navigationBar().bounds(), nullptr);
    EXPECT_GE(page.minY(), bar.maxY());
    EXPECT_LE(page.maxY(), GetParam().size.height - ui::Device::current().safeAreaInsets().bottom);
    EXPECT_GT(page.size.height, 0);
}

INSTANTIATE_TEST_SUITE_P(Devices, MorePageLayout,
                         ::testing::Values(PageLayoutCase{"Phone", ui::UserInterfaceIdiom::Phone, {390, 844}},
                                           PageLayoutCase{"PhoneLandscape", ui::UserInterfaceIdiom::Phone, {844, 390}},
                                           PageLayoutCase{"Pad", ui::UserInterfaceIdiom::Pad, {1024, 768}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
