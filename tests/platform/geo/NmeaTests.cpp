#include <gtest/gtest.h>

#include "platform/geo/Nmea.h"
#include "platform/geo/NmeaText.h"

namespace {

using namespace geo::nmea;

TEST(Nmea, ChecksumsAreChecked)
{
    const std::string good = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
    EXPECT_TRUE(checksumValid(good));
    EXPECT_TRUE(checksumValid(good + "\r\n"));
    EXPECT_TRUE(checksumValid("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a"));

    const char* bad[] = {
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6B",  // wrong sum
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",     // none
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6",   // cut short
        "$GPRMC,123519,A,4807.039,N,01131.000,E,022.4,084.4,230394,003.1,W*6A",  // a changed digit
        "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A",   // no dollar
        "", "$", "$GPRMC*G0",
    };
    for (const char* line : bad) {
        EXPECT_FALSE(checksumValid(line)) << line;
        EXPECT_FALSE(parseSentence(line).has_value()) << line;
    }
    EXPECT_FALSE(parseSentence("$*00").has_value()) << "a valid sum over nothing";
}

TEST(Nmea, SentencesSplitIntoTypeAndFields)
{
    const auto rmc = parseSentence(nmeaLine("GNRMC,081836,A,3751.65,S,14507.36,E,000.0,360.0,130998,011.3,E"));
    ASSERT_TRUE(rmc.has_value());
    EXPECT_EQ(rmc->type, "RMC");
    ASSERT_EQ(rmc->fields.size(), 11u);
    EXPECT_EQ(rmc->fields[2], "3751.65");
    EXPECT_EQ(rmc->fields.back(), "E");

    EXPECT_FALSE(parseSentence(nmeaLine("PGRME,15.0,M")).has_value()) << "not a talker and type";
    const auto empty = parseSentence(nmeaLine("GPGGA,,,,,,0,,,,,,,,"));
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->fields.size(), 14u);
}

TEST(Nmea, HemispheresGiveTheSign)
{
    EXPECT_NEAR(*parseLatitude("4807.038", "N"), 48.1173, 1e-9);
    EXPECT_NEAR(*parseLatitude("4807.038", "S"), -48.1173, 1e-9);
    EXPECT_NEAR(*parseLongitude("01131.000", "E"), 11.516666666, 1e-8);
    EXPECT_NEAR(*parseLongitude("01131.000", "W"), -11.516666666, 1e-8);
    EXPECT_NEAR(*parseLongitude("17959.999", "W"), -179.99998333, 1e-7);

    EXPECT_FALSE(parseLatitude("4807.038", "E"));
    EXPECT_FALSE(parseLatitude("4807.038", ""));
    EXPECT_FALSE(parseLatitude("4867.000", "N")) << "60 minutes or more";
    EXPECT_FALSE(parseLatitude("9100.000", "N"));
    EXPECT_FALSE(parseLongitude("18100.000", "E"));
    EXPECT_FALSE(parseLatitude("48x7.038", "N"));
    EXPECT_FALSE(parseLatitude("", "N"));
    EXPECT_FALSE(parseLatitude("-4807.038", "N"));
}

TEST(Nmea, MomentsJoinTheirSentences)
{
    EpochAssembler assembler;
    const auto add = [&](const std::string& body) { return assembler.add(*parseSentence(nmeaLine(body))); };

    EXPECT_FALSE(add("GPGGA,120000.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,"));
    EXPECT_FALSE(add("GPRMC,120000.00,A,4807.0380,N,01131.0000,E,10.0,084.4,230394,003.1,W,A"));
    EXPECT_FALSE(add("GPVTG,090.0,T,,M,10.0,N,18.52,K,A"));
    EXPECT_FALSE(add("HEHDT,123.4,T"));
    const auto first = add("GPGGA,120001.00,4807.0390,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,");
    ASSERT_TRUE(first.has_value());
    EXPECT_DOUBLE_EQ(*first->timeOfDay, 12 * 3600);
    const auto location = first->location();
    ASSERT_TRUE(location.has_value());
    EXPECT_NEAR(location->coordinate.latitude, 48.1173, 1e-9);
    EXPECT_DOUBLE_EQ(location->altitude, 545.4);
    EXPECT_NEAR(location->horizontalAccuracy, 4.5, 1e-9);
    EXPECT_NEAR(location->speed, 18.52 / 3.6, 1e-9) << "VTG's km/h wins over RMC's knots";
    EXPECT_DOUBLE_EQ(location->course, 90.0);
    EXPECT_DOUBLE_EQ(*first->trueHeading, 123.4);

    const auto last = assembler.finish();
    ASSERT_TRUE(last.has_value());
    EXPECT_DOUBLE_EQ(*last->timeOfDay, 12 * 3600 + 1);
    EXPECT_EQ(last->location()->speed, -1) << "no speed known";
}

TEST(Nmea, BrokenOrVoidSentencesGiveNoPosition)
{
    const char* bodies[] = {
        "GPRMC,120000,V,4807.038,N,01131.000,E,0.0,0.0,230394,,",        // void status
        "GPRMC,120000,A,4807.038,N,01131.000,E,0.0,0.0,230394,,,N",      // mode: no fix
        "GPGGA,120000,4807.038,N,01131.000,E,0,00,,,M,,M,,",              // quality 0
        "GPRMC,120000,A,4807.038,X,01131.000,E,0.0,0.0,230394,,",        // bad hemisphere
        "GPRMC,120000,A,48a7.038,N,01131.000,E,0.0,0.0,230394,,",        // bad digits
        "GPRMC,120000,A,4807.038,N",                                      // cut short
        "GPGGA,120000,4807.038,N,,E,1,08,0.9,545.4,M,,M,,",               // no longitude
    };
    for (const char* body : bodies) {
        EpochAssembler assembler;
        assembler.add(*parseSentence(nmeaLine(body)));
        const auto epoch = assembler.finish();
        EXPECT_FALSE(epoch && epoch->location()) << body;
    }

    EpochAssembler assembler;
    EXPECT_FALSE(assembler.add(*parseSentence(nmeaLine("GPRMC,99x000,A,4807.038,N,01131.000,E,,,,,"))));
    EXPECT_FALSE(assembler.finish()) << "a sentence with a broken time starts nothing";
    EXPECT_FALSE(assembler.add(*parseSentence(nmeaLine("GPVTG,090.0,T,,M,10.0,N,18.52,K,A"))));
    EXPECT_FALSE(assembler.finish()) << "a VTG before any time belongs to no moment";
}

}  // namespace
