// The five tabs under random use against a misbehaving adapter, and a link lost in the middle of a
// reading. Whatever happens, nothing throws, nothing crashes and the link is never left with a screen
// that is gone.

#include "DiagnosticsTest.h"

#include <random>

#include "diagnostics/CommandViewController.h"
#include "diagnostics/DTCViewController.h"
#include "diagnostics/DiagViewController.h"
#include "diagnostics/FreezeViewController.h"
#include "diagnostics/InfoViewController.h"
#include "platform/net/UrlSession.h"
#include "platform/ui/TabBarController.h"

namespace {

class DiagnosticsRandomTest : public DiagnosticsTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(DiagnosticsRandomTest, TabsSurviveAnythingTheAdapterDoes)
{
    std::mt19937 rng(GetParam());
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    net::UrlSession::setReferenceBaseUrl("off");
    sim.updateCar([](elmsim::CarState& s) {
        s.storedCodes = {"P0301", "P0420"};
        s.pendingCodes = {"P0171"};
        s.otherEcus = {{{"P0700"}, {"U0100"}, {}, true}};
    });
    sim.setOptions([](elmsim::AdapterOptions& o) { o.ecuCount = 2; });

    auto codes = std::make_shared<DTCViewController>();
    auto terminal = std::make_shared<CommandViewController>();
    const std::vector<std::shared_ptr<ui::ViewController>> screens{std::make_shared<DiagViewController>(), codes, terminal,
                                                                   std::make_shared<InfoViewController>(),
                                                                   std::make_shared<FreezeViewController>()};
    std::vector<std::shared_ptr<ui::ViewController>> tabs;
    for (const auto& screen : screens) {
        dynamic_cast<LinkedScreen&>(*screen).setScanner(link);
        tabs.push_back(std::make_shared<ui::NavigationController>(screen));
    }
    auto bar = std::make_shared<ui::TabBarController>();
    bar->setViewControllers(tabs);
    root->setRootViewController(bar);
    // Their buttons are used whether their tab is on view or not.
    terminal->loadViewIfNeeded();
    codes->loadViewIfNeeded();
    ASSERT_TRUE(connect());

    const elmsim::Fault faults[] = {elmsim::Fault::NoData, elmsim::Fault::Garbage, elmsim::Fault::Unknown,
                                    elmsim::Fault::CanError, elmsim::Fault::BufferFull, elmsim::Fault::StrayBytes,
                                    elmsim::Fault::Refused, elmsim::Fault::Stopped};
    const char* typed[] = {"0100", "ATZ", "ATS0", "ATH0", "ATSP3", "03", "04", "", "zz", "0902", "AT RV", "ATE1"};
    for (int step = 0; step < 150; ++step) {
        switch (below(8)) {
        case 0: bar->setSelectedIndex(below(5)); break;
        case 1: sim.injectFault(faults[below(8)], 1 + below(2)); break;
        case 2:
            terminal->commandTextField().setText(typed[below(12)]);
            terminal->sendCode();
            break;
        case 3:
            codes->clearDTCs();
            if (auto alert = ui::AlertController::visible())
                alert->triggerAction(below(2) ? "Ok" : "Cancel");
            break;
        case 4:
            if (!link->isConnected())
                link->connect();
            break;
        case 5:
            if (below(10) == 0)
                sim.injectFault(elmsim::Fault::Drop);
            break;
        default: break;
        }
        // Some of the traffic goes on before the next move (a request answered, or a moment at most).
        const auto sent = sim.requests().size();
        fnd::RunLoop::main().runUntil([&] { return sim.requests().size() > sent + 1; }, 0.02);
        advance(0.05 * below(40));
        if (auto alert = ui::AlertController::visible())
            alert->triggerAction(alert->actionTitles().front());
    }
    // Every tab gives the link back when the bar goes.
    root->setRootViewController(std::make_shared<ui::ViewController>());
    advance(1);
    for (const auto& screen : screens)
        EXPECT_FALSE(dynamic_cast<LinkedScreen&>(*screen).holdsLink());
    net::UrlSession::setReferenceBaseUrl({});
}

INSTANTIATE_TEST_SUITE_P(Seeds, DiagnosticsRandomTest, ::testing::Values(1u, 2u, 3u));

// A link lost while the codes are read stops nothing; leaving keeps what was read for the next visit.
TEST_F(DiagnosticsTest, LinkLostWhileReadingCodes)
{
    net::UrlSession::setReferenceBaseUrl("off");
    sim.updateCar([](elmsim::CarState& s) { s.storedCodes = {"P0301"}; });
    sim.injectFault(elmsim::Fault::Drop, 1, "07");
    auto screen = std::make_shared<DTCViewController>();
    screen->setScanner(link);
    ASSERT_TRUE(connect());
    show(screen);
    ASSERT_TRUE(waitFor([&] { return !link->isConnected(); }));
    EXPECT_EQ(screen->codes(0), std::vector<std::string>{"P0301"});
    advance(DTCViewController::loadingPeriod);
    root->setRootViewController(std::make_shared<ui::ViewController>());
    advance(0.5);
    EXPECT_EQ(screen->codes(0), std::vector<std::string>{"P0301"});
    screen->clearDTCs();
    advance(0.5);
    EXPECT_FALSE(ui::AlertController::visible()) << "clearing needs the link";
    net::UrlSession::setReferenceBaseUrl({});
}

}  // namespace
