#pragma once

#include "platform/ui/Geometry.h"

#include <string>

namespace ui {

class View;

enum class UserInterfaceIdiom { Phone, Pad };

// The physical orientation, with the platform's values (screens compare the numbers).
enum class DeviceOrientation {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeLeft = 3,  // home edge on the right
    LandscapeRight = 4, // home edge on the left
    FaceUp = 5,
    FaceDown = 6,
};

// The orientation of the interface (the status bar's), with the platform's
// values: a device turned to landscape left shows the interface landscape right.
enum class InterfaceOrientation {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeRight = 3,
    LandscapeLeft = 4,
};

// Masks of interface orientations, as supportedInterfaceOrientations returns them.
namespace orientationmask {
constexpr unsigned Portrait = 1u << 1;
constexpr unsigned PortraitUpsideDown = 1u << 2;
constexpr unsigned LandscapeRight = 1u << 3;
constexpr unsigned LandscapeLeft = 1u << 4;
constexpr unsigned Landscape = LandscapeLeft | LandscapeRight;
constexpr unsigned AllButUpsideDown = Portrait | Landscape;
constexpr unsigned All = AllButUpsideDown | PortraitUpsideDown;
} // namespace orientationmask

unsigned maskFor(InterfaceOrientation orientation);
InterfaceOrientation interfaceOrientationFor(DeviceOrientation orientation);
DeviceOrientation deviceOrientationFor(InterfaceOrientation orientation);
bool isLandscape(InterfaceOrientation orientation);
bool isLandscape(DeviceOrientation orientation);

// The device the screens run on: the host window sets it from its size and
// the command line, tests set it directly. The screen size is in points as
// the screen is turned now; a wider than high size means landscape.
class Device {
public:
    static Device& current();

    // Posted (object: the device) whenever the orientation changes.
    static constexpr const char* orientationDidChangeNotification = "DeviceOrientationDidChangeNotification";

    UserInterfaceIdiom idiom() const { return idiom_; }
    void setIdiom(UserInterfaceIdiom idiom);
    bool isPad() const { return idiom_ == UserInterfaceIdiom::Pad; }

    DeviceOrientation orientation() const { return orientation_; }
    // Turns the screen size to match a portrait or landscape orientation.
    void setOrientation(DeviceOrientation orientation);
    InterfaceOrientation interfaceOrientation() const;

    Size screenSize() const { return screenSize_; }
    Rect screenBounds() const { return {{0, 0}, screenSize_}; }
    // Sets the orientation from the shape: wider than high is landscape
    // (keeping the landscape side already chosen), else portrait (keeping
    // upside down).
    void setScreenSize(Size size);
    double scale() const { return scale_; }
    void setScale(double scale);

    // The insets of the whole screen for the status bar, the sensor housing
    // and the home indicator: phones taller than 2:1 have them (a bottom
    // inset, wider side insets in landscape), other phones only a status bar
    // in portrait, pads a status bar.
    EdgeInsets safeAreaInsets() const;
    bool hasHomeIndicator() const;
    double statusBarHeight() const;

    std::string systemName() const { return "Linux"; }
    std::string systemVersion() const { return "13.0"; }
    int systemMajorVersion() const { return 13; }
    std::string model() const;           // "Phone" or "Pad"
    std::string modelIdentifier() const; // the machine's hardware name

    // Back to a portrait phone of 390 x 844 points at scale 1.
    void reset();

    static constexpr Size defaultPhoneSize{390, 844};
    static constexpr Size defaultPadSize{768, 1024};

private:
    Device() = default;

    UserInterfaceIdiom idiom_ = UserInterfaceIdiom::Phone;
    DeviceOrientation orientation_ = DeviceOrientation::Portrait;
    Size screenSize_ = defaultPhoneSize;
    double scale_ = 1;
};

// A view's share of the screen's safe-area insets: how far the unsafe edges
// of the screen reach into the view's bounds.
EdgeInsets safeAreaInsets(const View& view);

} // namespace ui
