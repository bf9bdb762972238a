#include <gtest/gtest.h>

#include "core/model/Manager.h"
#include "core/model/MethodClass.h"
#include "support/TestSupport.h"

namespace {

class MethodClassTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::freshDocuments();
        Manager::resetForTesting();
    }
    Settings& settings = Manager::sharedManager().setting();
};

struct UnitCase {
    int mode;
    float mpg;       // US mpg
    float inUnit;    // the same economy in the mode's unit
    float miles;
    float distance;  // the same distance in the mode's unit
    float gallons;
    float fuel;      // the same fuel in the mode's unit
};

TEST_F(MethodClassTest, ConvertsByTheFuelUnitSetting)
{
    const UnitCase cases[] = {
        {0, 30, 30, 10, 10, 2, 2},
        {1, 30, 30 * 0.42514369f, 10, 16.0934f, 2, 7.57082f},
        {2, 30, 100 / (30 * 1.60934f) * 3.78541f, 10, 16.0934f, 2, 7.57082f},
        {3, 30, 30 * 1.20095f, 10, 10, 2, 2},
        {7, 30, 30, 10, 10, 2, 2},  // an unknown unit leaves values alone
    };
    for (const auto& c : cases) {
        settings.fuelUnitsMode = c.mode;
        EXPECT_NEAR(MethodClass::convertFromMPG(c.mpg), c.inUnit, 1e-3f) << "mode " << c.mode;
        // The two directions use separately rounded factors; they must still agree closely.
        EXPECT_NEAR(MethodClass::convertToMPG(c.inUnit), c.mpg, 1e-3f) << "mode " << c.mode;
        EXPECT_NEAR(MethodClass::convertFromMiles(c.miles), c.distance, 1e-3f) << "mode " << c.mode;
        EXPECT_NEAR(MethodClass::convertToMiles(c.distance), c.miles, 1e-3f) << "mode " << c.mode;
        EXPECT_NEAR(MethodClass::convertGallons(c.gallons), c.fuel, 1e-3f) << "mode " << c.mode;
    }
}

TEST_F(MethodClassTest, LitresPerHundredKilometresNeverDividesByZero)
{
    settings.fuelUnitsMode = 2;
    for (const float value : {0.0f, -4.0f}) {
        EXPECT_EQ(MethodClass::convertFromMPG(value), 0) << value;
        EXPECT_EQ(MethodClass::convertToMPG(value), 0) << value;
    }
}

TEST_F(MethodClassTest, CarbonDioxideByFuelType)
{
    const std::pair<int, float> kgPerLitre[] = {{0, 2.394f}, {1, 2.64f}, {2, 1.67f}, {3, 2.25f}, {4, 0}, {6, 0}, {-1, 0}};
    for (const auto& [type, factor] : kgPerLitre) {
        settings.fuelType = type;
        EXPECT_FLOAT_EQ(MethodClass::convertFuelToCO2(10), 10 * factor) << "fuel type " << type;
    }
}

}  // namespace
