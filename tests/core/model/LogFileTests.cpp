#include <gtest/gtest.h>

#include "core/model/FuelLog.h"
#include "core/model/MultiLog.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/RunLoop.h"
#include "support/TestSupport.h"

namespace {

std::string contents(const std::filesystem::path& file)
{
    return fnd::readFile(file).value_or("<missing>");
}

TEST(FuelLog, WritesHeaderThenOneLinePerDay)
{
    const auto documents = testsupport::freshDocuments();
    FuelLog log({"Mar 2, 2024", "Mar 1, 2024"}, {{31.25f, 28}, {1.04f, 2}, {12.5f}}, "Date, MPG, Gallons, Cost");
    EXPECT_EQ(log.filePath(), documents / "Fuel_eco_DATA.csv");
    ASSERT_TRUE(log.saveToFile());
    EXPECT_EQ(contents(log.filePath()),
              "Date, MPG, Gallons, Cost\n"
              "\"Mar 2, 2024\", 31.2, 1.0, 12.5\n"
              "\"Mar 1, 2024\", 28.0, 2.0, \n");  // a short column leaves its cell empty

    FuelLog labelsOnly({"Mar 3, 2024"}, {}, "Date");
    ASSERT_TRUE(labelsOnly.saveToFile());
    EXPECT_EQ(contents(labelsOnly.filePath()), "Date\n\"Mar 3, 2024\", \n") << "the old file is replaced";

    // The label is one field however it reads: its comma and quotes stay inside it.
    FuelLog odd({"say \"hi\", then"}, {{1}}, "Label, Value");
    ASSERT_TRUE(odd.saveToFile());
    EXPECT_EQ(contents(odd.filePath()), "Label, Value\n\"say \"\"hi\"\", then\", 1.0\n");
}

TEST(FuelLog, ReportsAFileItCannotWrite)
{
    const auto documents = testsupport::freshDocuments();
    std::filesystem::create_directories(documents / "Fuel_eco_DATA.csv" / "in-the-way");
    EXPECT_FALSE(FuelLog({"Mar 2, 2024"}, {{1}}, "Date, MPG").saveToFile());
}

TEST(MultiLog, WritesTitleHeaderAndRows)
{
    const auto documents = testsupport::freshDocuments();
    MultiLog log({"Engine speed", "Vehicle speed", "Coolant"}, {"rpm", "km/h", "°C"}, "datalog");
    EXPECT_EQ(log.filePath(), documents / "datalog.csv");
    auto& values = log.sensorValArray();
    ASSERT_EQ(values.size(), 3u);
    values[0] = {"800", "2500", "3100"};
    values[1] = {"0", "42"};
    values[2] = {"88", "89", "90", "91"};  // longer than the first: its extra value is not a row
    log.addTimeStamp();
    const std::string first = fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now());
    fnd::RunLoop::main().advance(1);
    log.addTimeStamp();
    const std::string second = fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now());

    ASSERT_TRUE(log.saveToFile());
    const std::string date = fnd::DateFormatter("MMM d, yyyy-HH:mm a").stringFromDate(fnd::Date::now());
    EXPECT_EQ(contents(log.filePath()), "Norvale data log " + date + "\n" +
                                            "Time,Engine speed (rpm),Vehicle speed (km/h),Coolant (°C),\n" +
                                            first + ",800,0,88,\n" +
                                            second + ",2500,42,89,\n" +
                                            ",3100,,90,\n");
}

TEST(MultiLog, WithoutStampsThereIsNoTimeColumn)
{
    testsupport::freshDocuments();
    MultiLog log({"Boost"}, {}, "Air/fuel");
    EXPECT_EQ(log.filePath().filename(), "Air-fuel.csv") << "a slash in the title must not name a folder";
    log.sensorValArray()[0] = {"0.4", "0.5"};
    ASSERT_TRUE(log.saveToFile());
    const std::string text = contents(log.filePath());
    EXPECT_EQ(text.substr(text.find('\n') + 1), "Boost (),\n0.4,\n0.5,\n");
}

}  // namespace
