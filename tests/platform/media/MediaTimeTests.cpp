#include <gtest/gtest.h>

#include <cmath>

#include "platform/media/MediaTime.h"

namespace {

using media::MediaTime;

TEST(MediaTime, ArithmeticAcrossTimescalesIsExact)
{
    const MediaTime frame = MediaTime::make(1001, 30000);
    const MediaTime sample = MediaTime::make(1024, 44100);
    const MediaTime sum = frame + sample;
    EXPECT_TRUE(sum.isNumeric());
    EXPECT_EQ(sum.flags & MediaTime::HasBeenRounded, 0u);
    EXPECT_NEAR(sum.seconds(), 1001.0 / 30000 + 1024.0 / 44100, 1e-12);
    EXPECT_EQ(sum - sample, frame);
    EXPECT_EQ(MediaTime::make(1, 2), MediaTime::make(2, 4));
    EXPECT_LT(MediaTime::make(1, 3), MediaTime::make(334, 1000));
    EXPECT_EQ((MediaTime::make(3, 600) - MediaTime::make(1, 200)).value, 0);
    // Nanosecond clock times against a sample-rate time stay exact at the common multiple when it fits...
    const MediaTime host = MediaTime::make(2'500'000'000, 1'000'000'000);
    EXPECT_DOUBLE_EQ((host - MediaTime::make(48000, 48000)).seconds(), 1.5);
    // ...and are rounded to the larger timescale when it does not.
    const MediaTime odd = MediaTime::make(1, 999'999'937) + MediaTime::make(1, 999'999'929);
    EXPECT_TRUE(odd.isNumeric());
    EXPECT_NE(odd.flags & MediaTime::HasBeenRounded, 0u);
    EXPECT_NEAR(odd.seconds(), 2e-9, 1e-15);
}

TEST(MediaTime, SpecialValuesFollowTheirRules)
{
    const MediaTime one = MediaTime::make(1, 1);
    EXPECT_FALSE((MediaTime::invalid() + one).isValid());
    EXPECT_TRUE((MediaTime::indefinite() + one).isIndefinite());
    EXPECT_TRUE((MediaTime::positiveInfinity() + one).isPositiveInfinity());
    EXPECT_TRUE((MediaTime::positiveInfinity() + MediaTime::indefinite()).isPositiveInfinity());
    EXPECT_FALSE((MediaTime::positiveInfinity() + MediaTime::negativeInfinity()).isValid());
    EXPECT_FALSE((MediaTime::positiveInfinity() - MediaTime::positiveInfinity()).isValid());
    EXPECT_TRUE((one - MediaTime::negativeInfinity()).isPositiveInfinity());
    EXPECT_TRUE((MediaTime::negativeInfinity() - one).isNegativeInfinity());

    // -inf < numbers < indefinite < +inf < invalid.
    EXPECT_LT(MediaTime::negativeInfinity(), MediaTime::make(-1'000'000, 1));
    EXPECT_LT(MediaTime::make(1'000'000, 1), MediaTime::indefinite());
    EXPECT_LT(MediaTime::indefinite(), MediaTime::positiveInfinity());
    EXPECT_LT(MediaTime::positiveInfinity(), MediaTime::invalid());
    EXPECT_EQ(MediaTime::invalid(), MediaTime::invalid());
    EXPECT_EQ(MediaTime::indefinite(), MediaTime::indefinite());

    EXPECT_TRUE(std::isnan(MediaTime::invalid().seconds()));
    EXPECT_TRUE(std::isnan(MediaTime::indefinite().seconds()));
    EXPECT_EQ(MediaTime::negativeInfinity().seconds(), -INFINITY);
    EXPECT_FALSE(MediaTime::make(1, 0).isValid());
    MediaTime nextLoop = MediaTime::make(0, 600);
    nextLoop.epoch = 1;
    EXPECT_LT(MediaTime::make(1'000'000, 1), nextLoop);
    EXPECT_FALSE((nextLoop + one).isValid());
    // Overflowing sums saturate to the infinities rather than wrap.
    EXPECT_TRUE((MediaTime::make(INT64_MAX, 1) + one).isPositiveInfinity());
}

TEST(MediaTime, SecondsConversionAndDescription)
{
    const MediaTime t = MediaTime::makeWithSeconds(0.1, 600);
    EXPECT_EQ(t.value, 60);
    EXPECT_EQ(t.timescale, 600);
    EXPECT_EQ(MediaTime::makeWithSeconds(1.0 / 3, 1000).value, 333);
    EXPECT_EQ(MediaTime::make(1001, 30000).convertScale(600).value, 20);
    EXPECT_EQ(MediaTime::make(1001, 30000).description(), "{1001/30000 = 0.033}");
    EXPECT_EQ(MediaTime::invalid().description(), "{INVALID}");
    EXPECT_EQ(MediaTime::indefinite().description(), "{INDEFINITE}");
    EXPECT_EQ(MediaTime::positiveInfinity().description(), "{+INFINITY}");
    EXPECT_TRUE(MediaTime::makeWithSeconds(NAN, 600).flags == 0);
}

}  // namespace
