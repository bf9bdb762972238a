#include "platform/ui/Device.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/View.h"

#include <sys/utsname.h>

#include <algorithm>
#include <utility>

namespace ui {

unsigned maskFor(InterfaceOrientation orientation)
{
    const int value = static_cast<int>(orientation);
    return value == 0 ? 0u : 1u << value;
}

InterfaceOrientation interfaceOrientationFor(DeviceOrientation orientation)
{
    switch (orientation) {
    case DeviceOrientation::Portrait: return InterfaceOrientation::Portrait;
    case DeviceOrientation::PortraitUpsideDown: return InterfaceOrientation::PortraitUpsideDown;
    case DeviceOrientation::LandscapeLeft: return InterfaceOrientation::LandscapeRight;
    case DeviceOrientation::LandscapeRight: return InterfaceOrientation::LandscapeLeft;
    default: return InterfaceOrientation::Unknown;
    }
}

DeviceOrientation deviceOrientationFor(InterfaceOrientation orientation)
{
    switch (orientation) {
    case InterfaceOrientation::Portrait: return DeviceOrientation::Portrait;
    case InterfaceOrientation::PortraitUpsideDown: return DeviceOrientation::PortraitUpsideDown;
    case InterfaceOrientation::LandscapeRight: return DeviceOrientation::LandscapeLeft;
    case InterfaceOrientation::LandscapeLeft: return DeviceOrientation::LandscapeRight;
    default: return DeviceOrientation::Unknown;
    }
}

bool isLandscape(InterfaceOrientation orientation)
{
    return orientation == InterfaceOrientation::LandscapeLeft || orientation == InterfaceOrientation::LandscapeRight;
}

bool isLandscape(DeviceOrientation orientation)
{
    return orientation == DeviceOrientation::LandscapeLeft || orientation == DeviceOrientation::LandscapeRight;
}

Device& Device::current()
{
    static Device device;
    return device;
}

void Device::setIdiom(UserInterfaceIdiom idiom) { idiom_ = idiom; }

void Device::setScale(double scale)
{
    if (scale > 0)
        scale_ = scale;
}

void Device::setOrientation(DeviceOrientation orientation)
{
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    const bool wide = screenSize_.width > screenSize_.height;
    const bool turned = (isLandscape(orientation) && !wide)
        || ((orientation == DeviceOrientation::Portrait || orientation == DeviceOrientation::PortraitUpsideDown) && wide);
    if (turned)
        std::swap(screenSize_.width, screenSize_.height);
    fnd::NotificationCenter::defaultCenter().post(orientationDidChangeNotification, this);
}

InterfaceOrientation Device::interfaceOrientation() const
{
    // Face up or down keeps the interface as the shape of the screen has it.
    const InterfaceOrientation interface = interfaceOrientationFor(orientation_);
    if (interface != InterfaceOrientation::Unknown)
        return interface;
    return screenSize_.width > screenSize_.height ? InterfaceOrientation::LandscapeRight : InterfaceOrientation::Portrait;
}

void Device::setScreenSize(Size size)
{
    if (size.width <= 0 || size.height <= 0)
        return;
    screenSize_ = size;
    DeviceOrientation orientation = orientation_;
    if (size.width > size.height) {
        if (!isLandscape(orientation))
            orientation = DeviceOrientation::LandscapeLeft;
    } else if (orientation != DeviceOrientation::PortraitUpsideDown) {
        orientation = DeviceOrientation::Portrait;
    }
    if (orientation != orientation_) {
        orientation_ = orientation;
        fnd::NotificationCenter::defaultCenter().post(orientationDidChangeNotification, this);
    }
}

bool Device::hasHomeIndicator() const
{
    const double longSide = std::max(screenSize_.width, screenSize_.height);
    const double shortSide = std::min(screenSize_.width, screenSize_.height);
    return idiom_ == UserInterfaceIdiom::Phone && longSide > 2 * shortSide;
}

double Device::statusBarHeight() const
{
    if (hasHomeIndicator())
        return isLandscape(interfaceOrientation()) ? 0 : 44;
    if (idiom_ == UserInterfaceIdiom::Phone && isLandscape(interfaceOrientation()))
        return 0; // phones hide the status bar in landscape
    return 20;
}

EdgeInsets Device::safeAreaInsets() const
{
    if (!hasHomeIndicator())
        return {statusBarHeight(), 0, 0, 0};
    if (isLandscape(interfaceOrientation()))
        return {0, 44, 21, 44};
    return {44, 0, 34, 0};
}

std::string Device::model() const { return idiom_ == UserInterfaceIdiom::Pad ? "Pad" : "Phone"; }

std::string Device::modelIdentifier() const
{
    utsname name{};
    if (::uname(&name) != 0)
        return "unknown";
    return name.machine;
}

void Device::reset()
{
    idiom_ = UserInterfaceIdiom::Phone;
    orientation_ = DeviceOrientation::Portrait;
    screenSize_ = defaultPhoneSize;
    scale_ = 1;
}

EdgeInsets safeAreaInsets(const View& view)
{
    const Device& device = Device::current();
    const Rect safe = insetRect(device.screenBounds(), device.safeAreaInsets());
    const Rect area = view.convertRect(view.bounds(), nullptr);
    const auto reach = [](double inset, double extent) { return std::clamp(inset, 0.0, std::max(0.0, extent)); };
    return {reach(safe.minY() - area.minY(), area.height()), reach(safe.minX() - area.minX(), area.width()),
            reach(area.maxY() - safe.maxY(), area.height()), reach(area.maxX() - safe.maxX(), area.width())};
}

} // namespace ui
