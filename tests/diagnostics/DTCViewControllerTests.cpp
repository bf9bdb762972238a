// The trouble code screen against the adapter simulator, on the manual clock.

#include "DiagnosticsTest.h"

#include "diagnostics/DTCDetViewCon.h"
#include "diagnostics/DTCViewController.h"
#include "diagnostics/DiagnosticsLook.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/net/UrlSession.h"
#include "core/link/ELMScanner.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/VisibleText.h"

namespace {

using Strings = std::vector<std::string>;

struct MilRecorder : DTCViewControllerDelegate {
    int resets = 0;
    void resetMil() override { ++resets; }
};

class DTCScreenTest : public DiagnosticsTest {
protected:
    void SetUp() override
    {
        DiagnosticsTest::SetUp();
        net::UrlSession::setReferenceBaseUrl("off");
        screen = std::make_shared<DTCViewController>();
        screen->setScanner(link);
        screen->setDelegate(menu);
    }
    void TearDown() override { net::UrlSession::setReferenceBaseUrl({}); }

    // Shows the screen and waits for the four one-shot requests to be answered.
    bool showAndRead()
    {
        const int before = requestCount("0a");
        show(screen);
        return waitFor([&] { return requestCount("0a") > before; }) && drain();
    }

    std::vector<std::string> shownTexts() { return testsupport::texts(window()); }
    // The visible lines joined by blanks, so that a wrapped message reads whole.
    std::string shownLines()
    {
        std::string joined;
        for (const std::string& line : shownTexts())
            joined += line + " ";
        return joined;
    }
    bool shows(const std::string& text)
    {
        const auto texts = shownTexts();
        return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(text) != std::string::npos; });
    }

    std::shared_ptr<MilRecorder> menu = std::make_shared<MilRecorder>();
    std::shared_ptr<DTCViewController> screen;
};

TEST_F(DTCScreenTest, ReadsLampAndEveryListOnceOnAppearance)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.storedCodes = {"P0301", "P0420", "C0035"};
        s.pendingCodes = {"P0171"};
        s.permanentCodes = {"P0420"};
    });
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    EXPECT_TRUE(link->isStatusBlocked());
    for (const char* request : {"0101", "03", "07", "0a"})
        EXPECT_EQ(requestCount(request), 1) << request;

    EXPECT_EQ(screen->codes(0), (Strings{"P0301", "P0420", "C0035"}));
    EXPECT_EQ(screen->descriptions(0),
              (Strings{"Cylinder 1 Misfire Detected", "Catalyst System Efficiency Below Threshold (Bank 1)", ""}));
    EXPECT_EQ(screen->codes(1), Strings{"P0171"});
    EXPECT_EQ(screen->codes(2), Strings{"P0420"});
    EXPECT_TRUE(screen->haveMilData());
    EXPECT_EQ(screen->milLabel().text(), fnd::L("MIL msg2") + "  3");
    EXPECT_EQ(screen->table().numberOfRowsInSection(0), 3);

    advance(DTCViewController::loadingPeriod);
    EXPECT_FALSE(screen->spinner().isAnimating());
    EXPECT_TRUE(screen->noCodesLabel().isHidden());
    EXPECT_EQ(menu->resets, 0) << "the lamp is on";

    root->setRootViewController(std::make_shared<ui::ViewController>());
    advance(0.5);
    EXPECT_FALSE(link->isStatusBlocked());
    EXPECT_EQ(link->delegate(), nullptr);
    EXPECT_TRUE(screen->codes(0).empty()) << "leaving empties the lists";
}

TEST_F(DTCScreenTest, CarWithoutCodesShowsNoCodesAndTurnsTheMenuLampOffOnce)
{
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    EXPECT_TRUE(screen->noCodesLabel().isHidden());
    advance(DTCViewController::loadingPeriod);
    EXPECT_FALSE(screen->noCodesLabel().isHidden());
    EXPECT_EQ(screen->milLabel().text(), fnd::L("MIL msg3"));
    EXPECT_EQ(menu->resets, 1);
    EXPECT_FALSE(screen->table().isScrollEnabled());
}

// Codes of several ECUs once replaced each other; the lamp of any ECU counts, and the count is theirs together.
TEST_F(DTCScreenTest, EveryEcuCountsForCodesAndLamp)
{
    sim.setOptions([](elmsim::AdapterOptions& o) { o.ecuCount = 3; });
    sim.updateCar([](elmsim::CarState& s) {
        s.storedCodes = {"P0301"};
        s.otherEcus = {{{"P0700", "P0301"}, {}, {}, true}};
    });
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    EXPECT_EQ(screen->codes(0), (Strings{"P0301", "P0700"}));
    EXPECT_EQ(screen->milLabel().text(), fnd::L("MIL msg2") + "  3");

    sim.updateCar([](elmsim::CarState& s) {
        s.storedCodes.clear();
        s.otherEcus = {{{"P0700"}, {}, {}, true}};
    });
    show(std::make_shared<ui::ViewController>());
    ASSERT_TRUE(showAndRead());
    EXPECT_TRUE(screen->haveMilData()) << "the transmission's lamp is on while the engine's is off";
    advance(DTCViewController::loadingPeriod);
    EXPECT_EQ(menu->resets, 0);
}

struct UnreadCase {
    const char* name;
    elmsim::Fault fault;
};

void PrintTo(const UnreadCase& c, std::ostream* os)
{
    *os << c.name;
}

class DTCUnreadTest : public DTCScreenTest, public ::testing::WithParamInterface<UnreadCase> {};

// A stored-codes reply that cannot be read whole is never the all-clear, whatever the other lists say.
TEST_P(DTCUnreadTest, SaysTheCodesCouldNotBeRead)
{
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = {"P0301", "P0420", "P0171"}; });
    sim.injectFault(GetParam().fault, 1, "03");
    ASSERT_TRUE(connect());
    show(screen);
    ASSERT_TRUE(waitFor([&] { return requestCount("03") == 1; }));
    // A stalled reply times out on the loop's clock; on a loaded machine the request may be timed only after
    // the simulator saw it, so the clock moves on until the next lists are asked for.
    const bool stalled = GetParam().fault == elmsim::Fault::Stall;
    if (stalled)
        advance(ELMScanner::replyTimeout);
    ASSERT_TRUE(waitFor([&] {
        if (stalled && requestCount("0a") == 0)
            advance(0.1);
        return requestCount("0a") == 1;
    }) && drain());
    advance(DTCViewController::loadingPeriod);

    EXPECT_FALSE(shows(fnd::L("No trouble codes"))) << testing::PrintToString(shownTexts());
    EXPECT_NE(shownLines().find(fnd::L("not read msg")), std::string::npos) << shownLines();
    for (const std::string& code : screen->codes(0))
        EXPECT_NE(code.substr(3), "00") << "half a code read as a whole one";
}

INSTANTIATE_TEST_SUITE_P(
    Replies, DTCUnreadTest,
    ::testing::Values(UnreadCase{"ServiceNotSupported", elmsim::Fault::NotSupported},
                      UnreadCase{"ConditionsNotCorrect", elmsim::Fault::Refused},
                      UnreadCase{"ResponsePendingWithoutAnswer", elmsim::Fault::ResponsePending},
                      UnreadCase{"BadHex", elmsim::Fault::BadHex},
                      UnreadCase{"LyingLength", elmsim::Fault::LyingLength},
                      UnreadCase{"LostFrame", elmsim::Fault::LostFrame},
                      UnreadCase{"OddBytes", elmsim::Fault::OddBytes},
                      UnreadCase{"Garbage", elmsim::Fault::Garbage},
                      UnreadCase{"Unknown", elmsim::Fault::Unknown},
                      UnreadCase{"CanError", elmsim::Fault::CanError},
                      UnreadCase{"BufferFull", elmsim::Fault::BufferFull},
                      UnreadCase{"NoPrompt", elmsim::Fault::Stall}),
    [](const auto& info) { return std::string(info.param.name); });

// A car without permanent codes answers "NO DATA" to them: that is no fault, and no codes is the all-clear.
TEST_F(DTCScreenTest, ServiceNoEcuAnswersStillAllowsTheAllClear)
{
    sim.injectFault(elmsim::Fault::NoData, 1, "0a");
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    advance(DTCViewController::loadingPeriod);
    EXPECT_TRUE(shows(fnd::L("No trouble codes"))) << testing::PrintToString(shownTexts());
    EXPECT_FALSE(shows(fnd::L("not read msg")));
}

// The lamp counts two stored codes and the stored-codes request gets "NO DATA": a count the lists cannot
// show is not the all-clear.
TEST_F(DTCScreenTest, CodesTheLampCountsButNoListShowsAreNotTheAllClear)
{
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = {"P0301", "P0420"}; });
    sim.injectFault(elmsim::Fault::NoData, 1, "03");
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    advance(DTCViewController::loadingPeriod);
    EXPECT_NE(shownLines().find(fnd::L("MIL msg2") + "  2"), std::string::npos) << shownLines();
    EXPECT_FALSE(shows(fnd::L("No trouble codes"))) << shownLines();
    EXPECT_NE(shownLines().find(fnd::format(fnd::L("DTC count unread msg").c_str(), 2)), std::string::npos)
        << shownLines();
    EXPECT_TRUE(shows(fnd::L("Current DTCs") + ": " + fnd::L("not read msg"))) << testing::PrintToString(shownTexts());

    // Read again after a clear, the car with no codes left is the all-clear once more.
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes.clear(); });
    ASSERT_TRUE(testsupport::tapText(window(), fnd::L("Clear DTCs")));
    advance(0.5);
    ASSERT_TRUE(testsupport::tapText(window(), "Ok"));
    ASSERT_TRUE(waitFor([&] { return requestCount("04") == 1; }));
    advance(DTCViewController::refreshDelay);
    ASSERT_TRUE(waitFor([&] { return requestCount("0a") == 2; }) && drain());
    advance(DTCViewController::loadingPeriod);
    EXPECT_TRUE(shows(fnd::L("No trouble codes"))) << testing::PrintToString(shownTexts());
}

// Every list holds one and a half codes: each lists the code read under its usual header; the rest is missed once.
TEST_F(DTCScreenTest, ListsReadInPartShowTheirCodesAndSayOnceThatTheRestIsMissing)
{
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = s.pendingCodes = s.permanentCodes = {"P0133", "P0420"}; });
    for (const char* request : {"03", "07", "0a"})
        sim.injectFault(elmsim::Fault::OddBytes, 1, request);
    ASSERT_TRUE(connect() && showAndRead());
    advance(DTCViewController::loadingPeriod);
    const std::string lines = shownLines(), unread = fnd::L("not read msg");
    EXPECT_NE(lines.find(fnd::L("Permanent DTCs") + "  O2 Sensor"), std::string::npos) << lines;
    const auto said = lines.find(unread);
    EXPECT_TRUE(said != std::string::npos && lines.find(unread, said + 1) == std::string::npos) << lines;
}

TEST_F(DTCScreenTest, DroppedServiceLeavesItsListEmpty)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.storedCodes = {"P0301"};
        s.pendingCodes = {"P0171"};
    });
    sim.injectFault(elmsim::Fault::NoData, 1, "07");
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    EXPECT_EQ(screen->codes(0), Strings{"P0301"});
    EXPECT_TRUE(screen->codes(1).empty());
    EXPECT_EQ(screen->table().numberOfRowsInSection(1), 0);
}

// Silence is not "lamp off": the menu keeps its lamp and the screen says it does not know.
TEST_F(DTCScreenTest, NoLampReplyTurnsNothingOff)
{
    sim.injectFault(elmsim::Fault::NoData, 1, "0101");
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    advance(DTCViewController::loadingPeriod);
    EXPECT_EQ(menu->resets, 0);
    EXPECT_EQ(screen->milLabel().text(), fnd::L("MIL msg4"));
}

TEST_F(DTCScreenTest, ClearAsksThenClearsAndReadsAgain)
{
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = {"P0301"}; });
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    advance(DTCViewController::loadingPeriod);

    screen->clearButton()->sendAction();
    advance(0.5);
    auto alert = ui::AlertController::visible();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Clear DTCs");
    EXPECT_TRUE(alert->triggerAction("Cancel"));
    advance(0.5);
    EXPECT_EQ(requestCount("04"), 0);

    screen->clearButton()->sendAction();
    advance(0.5);
    ASSERT_TRUE(ui::AlertController::visible());
    EXPECT_TRUE(ui::AlertController::visible()->triggerAction("Ok"));
    ASSERT_TRUE(waitFor([&] { return requestCount("04") == 1; }));
    EXPECT_TRUE(screen->spinner().isAnimating());
    advance(DTCViewController::refreshDelay);
    ASSERT_TRUE(waitFor([&] { return requestCount("0a") == 2; }) && drain());
    EXPECT_TRUE(screen->codes(0).empty());
    advance(DTCViewController::loadingPeriod);
    EXPECT_FALSE(screen->noCodesLabel().isHidden());
    EXPECT_EQ(menu->resets, 1);
}

TEST_F(DTCScreenTest, RefusedClearIsReported)
{
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = {"P0301"}; });
    sim.injectFault(elmsim::Fault::Refused, 1, "04");
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    screen->clearButton()->sendAction();
    advance(0.5);
    ASSERT_TRUE(ui::AlertController::visible()->triggerAction("Ok"));
    advance(0.5);
    ASSERT_TRUE(waitFor([&] { return requestCount("0a") == 2; }) && drain());
    advance(0.5);
    const auto alert = ui::AlertController::visible();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), fnd::L("Clear refused msg"));
    EXPECT_EQ(screen->codes(0), Strings{"P0301"});
}

// An end of the loading period from an earlier appearance must not cut the newer one short; the latest
// still ends after the screen was left.
TEST_F(DTCScreenTest, OnlyTheLatestLoadingPeriodEnds)
{
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    advance(2.0);
    auto other = std::make_shared<ui::ViewController>();
    root->setRootViewController(other);
    advance(0.2);
    ASSERT_TRUE(showAndRead());
    advance(1.0);
    EXPECT_TRUE(screen->spinner().isAnimating()) << "the first appearance's end came";
    root->setRootViewController(other);
    advance(DTCViewController::loadingPeriod);
    EXPECT_FALSE(screen->spinner().isAnimating());
    EXPECT_EQ(menu->resets, 1);
}

// The lamp panel's message is read in full, whatever fonts are installed, in both orientations.
TEST_F(DTCScreenTest, DisconnectedMessageIsShownWhole)
{
    for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}}) {
        ui::Device::current().setScreenSize(size);
        root = std::make_unique<ui::RootWindow>(size);
        show(screen);
        std::string shown;
        for (const std::string& line : shownTexts())
            shown += line + " ";
        EXPECT_NE(shown.find(fnd::L("Device msg")), std::string::npos) << size.width << ": " << shown;
        root->setRootViewController(std::make_shared<ui::ViewController>());
    }
}

// However the lamp message wraps, every line of it starts clear of the banner's rounded left edge.
TEST_F(DTCScreenTest, LampBannerLinesKeepClearOfItsEdges)
{
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = {"P0301", "P0420", "C0035"}; });
    ASSERT_TRUE(connect());
    for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{1024, 768}}) {
        ui::Device::current().setIdiom(size.width == 1024 ? ui::UserInterfaceIdiom::Pad : ui::UserInterfaceIdiom::Phone);
        ui::Device::current().setScreenSize(size);
        root = std::make_unique<ui::RootWindow>(size);
        ASSERT_TRUE(showAndRead());
        root->window().layoutIfNeeded();
        const ui::View& banner = *screen->milLabel().superview();
        const ui::Rect box = banner.convertRect(banner.bounds(), nullptr);
        std::string message;
        for (const ui::ShownText& line : ui::visibleTextFrames(root->window())) {
            if (!line.frame.intersects(box))
                continue;
            message += (message.empty() ? "" : " ") + line.text;
            EXPECT_NE(line.text.front(), ' ') << size.width << ": \"" << line.text << "\"";
            EXPECT_GE(line.frame.minX(), box.minX() + 8) << size.width << ": \"" << line.text << "\"";
            EXPECT_LE(line.frame.maxX(), box.maxX() - 8) << size.width << ": \"" << line.text << "\"";
        }
        EXPECT_NE(message.find("3"), std::string::npos) << size.width << ": " << message;
        root->setRootViewController(std::make_shared<ui::ViewController>());
        advance(0.5);
    }
}

// Long descriptions wrap at their full size in rows that grow to hold them: none is shrunk or cut.
TEST_F(DTCScreenTest, LongDescriptionsAreShownWholeAtFullSize)
{
    const Strings descriptions{"Evaporative Emission Control System Leak Detected (gross leak)",
                               "Catalyst System Efficiency Below Threshold (Bank 1)",
                               "O2 Sensor Circuit Slow Response (Bank 1 Sensor 1)"};
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = {"P0455", "P0420", "P0133"}; });
    ASSERT_TRUE(connect());
    const double lineHeight = diagnosticsLook::digitalSans(18).lineHeight();
    for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{1024, 768}}) {
        ui::Device::current().setIdiom(size.width == 1024 ? ui::UserInterfaceIdiom::Pad : ui::UserInterfaceIdiom::Phone);
        ui::Device::current().setScreenSize(size);
        root = std::make_unique<ui::RootWindow>(size);
        ASSERT_TRUE(showAndRead());
        advance(DTCViewController::loadingPeriod);
        root->window().layoutIfNeeded();
        const ui::Rect table = screen->table().convertRect(screen->table().bounds(), nullptr);
        std::string rows;
        for (const ui::ShownText& line : ui::visibleTextFrames(root->window())) {
            if (!line.frame.intersects(table))
                continue;
            rows += line.text + " ";
            EXPECT_FALSE(line.cut) << size.width << ": \"" << line.text << "\"";
            if (descriptions[0].find(line.text) != std::string::npos) {
                EXPECT_GE(line.frame.height(), lineHeight * 0.95) << size.width << ": \"" << line.text << "\" shrunk";
            }
        }
        for (const std::string& description : descriptions)
            EXPECT_NE(rows.find(description), std::string::npos) << size.width << ": " << rows;
        root->setRootViewController(std::make_shared<ui::ViewController>());
        advance(0.5);
    }
}

TEST_F(DTCScreenTest, DisconnectedReadsNothing)
{
    show(screen);
    EXPECT_EQ(screen->milLabel().text(), fnd::L("Device msg"));
    EXPECT_FALSE(screen->clearButton()->isEnabled());
    screen->clearDTCs();
    advance(0.5);
    EXPECT_FALSE(ui::AlertController::visible());
    EXPECT_TRUE(sim.requests().empty());
}

TEST_F(DTCScreenTest, TappingAPendingCodeOpensItsDetail)
{
    sim.updateCar([](elmsim::CarState& s) {
        s.storedCodes = {"P0301"};
        s.pendingCodes = {"P0455"};
    });
    ASSERT_TRUE(connect());
    ASSERT_TRUE(showAndRead());
    root->window().layoutIfNeeded();
    const ui::Rect row = screen->table().rectForRowAtIndexPath({1, 0});
    tap(screen->table().convertPoint(row.center(), nullptr));
    advance(1.0);
    auto* presented = dynamic_cast<ui::NavigationController*>(navigation->presentedViewController());
    ASSERT_NE(presented, nullptr);
    auto* detail = dynamic_cast<DTCDetViewCon*>(presented->topViewController());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->codeString(), "P0455");
    EXPECT_EQ(detail->rowText(0), "Evaporative Emission Control System Leak Detected (gross leak)");
    EXPECT_EQ(detail->rowText(1), "No reference site is set.");
    EXPECT_FALSE(screen->table().indexPathForSelectedRow());

    // Without a site "More" has no page to show: it looks as dead as it is, beside a live "Done".
    root->window().layoutIfNeeded();
    auto* more = dynamic_cast<ui::Button*>(presented->navigationBar().viewForItem(*detail->navigationItem().rightBarButtonItem()));
    auto* done = dynamic_cast<ui::Button*>(presented->navigationBar().viewForItem(*detail->navigationItem().leftBarButtonItem()));
    ASSERT_TRUE(more && done);
    EXPECT_LT(more->currentTitleColor().a, done->currentTitleColor().a / 2) << "\"More\" drawn as if it worked";
    tap(more->convertPoint(more->bounds().center(), nullptr));
    advance(1.0);
    EXPECT_EQ(presented->topViewController(), detail);
}

}  // namespace
