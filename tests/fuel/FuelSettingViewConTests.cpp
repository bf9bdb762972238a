#include <algorithm>
#include <memory>

#include "FuelScreenTest.h"
#include "fuel/FuelSettingViewCon.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/Paths.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "shell/DetailViewCon.h"
#include "platform/ui/VisibleText.h"
#include "platform/foundation/Localization.h"
#include "support/Input.h"

namespace {

class FuelSettingViewConTest : public FuelScreenTest {
protected:
    std::shared_ptr<FuelSettingViewCon> showSettings()
    {
        makeWindow();
        auto screen = std::make_shared<FuelSettingViewCon>();
        showInNavigation(screen, 1);
        return screen;
    }

    const FormRow& row(FuelSettingViewCon& screen, std::size_t index) { return screen.sections().at(0).rows.at(index); }
};

TEST_F(FuelSettingViewConTest, RowsShowTheChoicesAndTheEngineRowOnlyForRpmAndMap)
{
    settings().fuelUnitsMode = 2;
    settings().fuelType = 1;
    settings().fuelCalcMethod = 0;
    auto screen = showSettings();
    ASSERT_EQ(screen->sections().at(0).rows.size(), 4u);
    EXPECT_EQ(row(*screen, 0).value, "Litres per 100 km");
    EXPECT_EQ(row(*screen, 1).value, "Diesel");
    EXPECT_EQ(row(*screen, 2).value, "Mass airflow method");
    EXPECT_EQ(row(*screen, 3).value, "1.00");
    EXPECT_EQ(screen->sections()[0].footer, "Fuel cost: $/litre");

    settings().fuelCalcMethod = 1;
    settings().fuelUnitsMode = 3;
    screen->reloadForm();
    ASSERT_EQ(screen->sections().at(0).rows.size(), 5u);
    EXPECT_EQ(row(*screen, 4).title, "Engine size");
    EXPECT_EQ(row(*screen, 4).value, "3.0");
    EXPECT_EQ(screen->sections()[0].footer, "Fuel cost: $/gallon\nEngine size: litres");
}

TEST_F(FuelSettingViewConTest, ChoosingAFuelOpensThePickerWhichStoresItsConstants)
{
    auto screen = showSettings();
    row(*screen, 1).action();
    advance(1);
    auto* picker = dynamic_cast<DetailViewCon*>(navigation->topViewController());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->selectMode(), DetailViewCon::SelectFuelType);
    EXPECT_EQ(picker->checkedRow(), 0);
    picker->didSelectRowAtIndexPath(picker->tableView(), {0, 4});
    EXPECT_EQ(settings().fuelType, 4);
    EXPECT_FLOAT_EQ(settings().fuelDensity, 1.87f);
    EXPECT_FLOAT_EQ(settings().fuelAirRatio, 15.5f);
    navigation->popViewController(true);
    advance(1);
    EXPECT_EQ(row(*screen, 1).value, "Propane");
}

TEST_F(FuelSettingViewConTest, TypedNumbers)
{
    settings().fuelCalcMethod = 1;
    auto screen = showSettings();
    EXPECT_EQ(row(*screen, 3).commit("1.79"), "");
    EXPECT_FLOAT_EQ(settings().fuelCost, 1.79f);
    // A price that is not a number is refused and the price kept.
    EXPECT_EQ(row(*screen, 3).commit("cheap"), "Invalid input msg");
    EXPECT_FLOAT_EQ(settings().fuelCost, 1.79f);

    EXPECT_EQ(row(*screen, 4).commit("2.4"), "");
    EXPECT_FLOAT_EQ(settings().engineDisplacement, 2.4f);
    for (const char* bad : {"0", "-1.6", "big", ""}) {
        EXPECT_EQ(row(*screen, 4).commit(bad), "Invalid input msg") << bad;
        EXPECT_FLOAT_EQ(settings().engineDisplacement, 2.4f);
    }
}

TEST_F(FuelSettingViewConTest, TitlesAndChoicesShowWholeOnPhonesAndPads)
{
    for (const ui::Size size : {ui::Size{390, 844}, ui::Size{844, 390}, ui::Size{1024, 768}}) {
        ui::Device::current().setIdiom(size.width == 1024 ? ui::UserInterfaceIdiom::Pad : ui::UserInterfaceIdiom::Phone);
        ui::Device::current().setScreenSize(size);
        for (int method = 0; method < static_cast<int>(FuelSettingViewCon::methodNames().size()); ++method) {
            settings().fuelCalcMethod = method;
            showSettings();
            root->window().layoutIfNeeded();
            const auto texts = ui::visibleTexts(root->window());
            for (const std::string& text : {std::string("Calculation method"), FuelSettingViewCon::methodNames()[method],
                                            std::string("Fuel economy units"), std::string("Miles per gallon")})
                EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end())
                    << size.width << ": " << text << " in " << ::testing::PrintToString(texts);
        }
    }
}

// A number typed and confirmed with the return key is on disk at once.
TEST_F(FuelSettingViewConTest, TypedNumbersAreSavedAtOnce)
{
    settings().fuelCalcMethod = 1;
    auto screen = showSettings();
    root->window().layoutIfNeeded();
    const auto cell = screen->tableView().cellForRowAtIndexPath({0, 3});
    ASSERT_NE(cell, nullptr);
    auto* field = dynamic_cast<ui::TextField*>(cell->accessoryView().get());
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->becomeFirstResponder());
    field->setText("1.79");
    field->keyPressed({ui::Key::Return, {}});
    const auto saved = fnd::KeyedUnarchiver::fromFile(fnd::Paths::documents() / Manager::settingsFileName);
    ASSERT_TRUE(saved);
    EXPECT_FLOAT_EQ(Settings::fromArchive(*saved).fuelCost, 1.79f);
}

// A price typed with two decimal points is refused with a message; the stored price stays, on disk too.
TEST_F(FuelSettingViewConTest, APriceThatCannotBeReadIsRefusedAndThePriceKept)
{
    settings().fuelCost = 1.5f;
    Manager::sharedManager().saveChanges();
    auto screen = showSettings();
    const auto cell = screen->tableView().cellForRowAtIndexPath({0, 3});
    ASSERT_NE(cell, nullptr);
    tap(*cell->accessoryView(), 0.5);
    ASSERT_TRUE(testsupport::shortcut(window(), 'a'));
    ASSERT_TRUE(testsupport::type(window(), "3.509.5"));
    ASSERT_TRUE(testsupport::key(window(), ui::Key::Return));
    advance(1);
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->message(), fnd::L("Invalid input msg"));
    EXPECT_TRUE(testsupport::shows(window(), "1.50"));
    const auto saved = fnd::KeyedUnarchiver::fromFile(fnd::Paths::documents() / Manager::settingsFileName);
    ASSERT_TRUE(saved);
    EXPECT_FLOAT_EQ(Settings::fromArchive(*saved).fuelCost, 1.5f);
}

TEST_F(FuelSettingViewConTest, InfoExplainsTheCalculation)
{
    auto screen = showSettings();
    screen->showInfo();
    advance(1);
    ASSERT_NE(ui::AlertController::visible(), nullptr);
    EXPECT_EQ(ui::AlertController::visible()->title(), "Info");
    EXPECT_EQ(ui::AlertController::visible()->actionTitles(), (std::vector<std::string>{"Ok"}));
}

}  // namespace
