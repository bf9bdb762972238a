#pragma once

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "platform/ui/Device.h"

namespace testsupport {

// A device and its screen, for a test run at several sizes; the name names the test case.
struct ScreenShape {
    std::string name;
    ui::UserInterfaceIdiom idiom;
    ui::Size size;

    // Makes the current device this one.
    void apply() const
    {
        ui::Device::current().setIdiom(idiom);
        ui::Device::current().setScreenSize(size);
    }
};

inline void PrintTo(const ScreenShape& shape, std::ostream* os)
{
    *os << shape.name;
}

inline const ScreenShape phonePortrait{"phone", ui::UserInterfaceIdiom::Phone, {390, 844}};
inline const ScreenShape phoneLandscape{"landscape", ui::UserInterfaceIdiom::Phone, {844, 390}};
inline const ScreenShape pad{"pad", ui::UserInterfaceIdiom::Pad, {1024, 768}};

// The name gtest gives each shape's case.
inline std::string shapeName(const ::testing::TestParamInfo<ScreenShape>& info)
{
    return info.param.name;
}

}  // namespace testsupport
