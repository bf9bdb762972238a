// The five diagnostics tabs and a code's detail, connected to the adapter simulator, pictured on a phone
// and on a pad under the artifacts folder; the phone's trouble codes tab is compared with its reference.

#include "DiagnosticsTest.h"

#include "diagnostics/CommandViewController.h"
#include "diagnostics/DTCDetViewCon.h"
#include "diagnostics/DTCViewController.h"
#include "diagnostics/DiagViewController.h"
#include "diagnostics/FreezeViewController.h"
#include "diagnostics/InfoViewController.h"
#include "platform/net/UrlSession.h"
#include "platform/ui/TabBarController.h"
#include "support/ApplicationBars.h"
#include "support/ReferenceImage.h"

namespace {

struct ShotCase {
    const char* name;
    ui::UserInterfaceIdiom idiom;
    ui::Size size;
    // The kept reference the trouble codes tab is compared with, if any.
    const char* reference = nullptr;
    int theme = 0;
};

class DiagnosticsScreenshot : public DiagnosticsTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(DiagnosticsScreenshot, EveryTabAndTheDetail)
{
    const ShotCase& c = GetParam();
    Manager::sharedManager().setting().theme = c.theme;
    const testsupport::ApplicationBars bars;
    ui::Device::current().setIdiom(c.idiom);
    ui::Device::current().setScreenSize(c.size);
    ui::Device::current().setScale(2);
    root = std::make_unique<ui::RootWindow>(c.size);
    net::UrlSession::setReferenceBaseUrl("off");
    sim.updateCar([](elmsim::CarState& s) {
        s.storedCodes = {"P0301", "P0420", "U0100"};
        s.pendingCodes = {"P0171"};
        s.permanentCodes = {"P0420"};
    });
    ASSERT_TRUE(connect());

    const std::vector<std::pair<std::string, std::shared_ptr<ui::ViewController>>> tabs{
        {"Emissions", std::make_shared<DiagViewController>()},
        {"Trouble Codes", std::make_shared<DTCViewController>()},
        {"Terminal", std::make_shared<CommandViewController>()},
        {"Info", std::make_shared<InfoViewController>()},
        {"Freeze frame", std::make_shared<FreezeViewController>()}};
    std::vector<std::shared_ptr<ui::ViewController>> navigations;
    for (const auto& [title, screen] : tabs) {
        dynamic_cast<LinkedScreen&>(*screen).setScanner(link);
        auto navigation = std::make_shared<ui::NavigationController>(screen);
        navigation->setTitle(title);
        navigations.push_back(navigation);
    }
    auto bar = std::make_shared<ui::TabBarController>();
    bar->setViewControllers(navigations);
    root->setRootViewController(bar);

    const char* files[] = {"emissions", "trouble-codes", "terminal", "info", "freeze-frame"};
    // The request that ends each tab's reading.
    const char* lastRequests[] = {"0101", "0a", "", "0151", "021100"};
    for (int i = 0; i < 5; ++i) {
        const int before = requestCount(lastRequests[i]);
        bar->setSelectedIndex(i);
        advance(0.5);
        if (*lastRequests[i] != '\0')
            ASSERT_TRUE(waitFor([&] { return requestCount(lastRequests[i]) > before; }));
        ASSERT_TRUE(drain());
        if (i == 2) {
            auto& terminal = dynamic_cast<CommandViewController&>(*tabs[2].second);
            terminal.commandTextField().setText("0100");
            terminal.sendCode();
            ASSERT_TRUE(drain());
        }
        advance(1.0);
        screenshot(std::string(files[i]) + "-" + c.name);
        const auto& title = dynamic_cast<const ui::Label&>(*tabs[i].second->navigationItem().titleView());
        const auto bar = tabs[i].second->navigationController()->navigationBar().barTintColor();
        EXPECT_GT(std::abs(title.textColor().r - bar.value_or(ui::Color::white()).r), 0.5) << title.text();
        if (i == 1 && c.reference != nullptr) {
            EXPECT_TRUE(testsupport::matchesReference(root->window().renderToImage(2), c.reference));
        }
    }

    const int before = requestCount("0a");
    bar->setSelectedIndex(1);
    advance(0.5);
    auto& codes = dynamic_cast<DTCViewController&>(*tabs[1].second);
    ASSERT_TRUE(waitFor([&] { return requestCount("0a") > before; }) && drain());
    ASSERT_EQ(codes.codes(0).size(), 3u);
    auto detail = std::make_shared<DTCDetViewCon>(ui::TableViewStyle::Grouped, "P0420", codes.descriptions(0)[1],
                                                  "\u2022 Poor acceleration\n\u2022 Sulphur smell from the exhaust\n",
                                                  std::nullopt, "Not found on the reference page.");
    auto navigation = std::make_shared<ui::NavigationController>(detail);
    navigation->setModalPresentationStyle(ui::ModalPresentationStyle::FullScreen);
    codes.presentViewController(navigation, false);
    advance(1.0);
    screenshot(std::string("detail-") + c.name);
    net::UrlSession::setReferenceBaseUrl({});
}

INSTANTIATE_TEST_SUITE_P(Devices, DiagnosticsScreenshot,
                         ::testing::Values(ShotCase{"phone", ui::UserInterfaceIdiom::Phone, {390, 844},
                                                    "diagnostics-trouble-codes"},
                                           ShotCase{"phone-landscape", ui::UserInterfaceIdiom::Phone, {844, 390}},
                                           ShotCase{"phone-light", ui::UserInterfaceIdiom::Phone, {390, 844}, nullptr, 1},
                                           ShotCase{"pad", ui::UserInterfaceIdiom::Pad, {768, 1024}}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
