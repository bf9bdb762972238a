#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/geo/Heading.h"
#include "platform/geo/Location.h"
#include "platform/geo/LocationService.h"

namespace geo {

class LocationManager;

// Every callback comes on the main thread, from the run loop.
class LocationManagerDelegate {
public:
    virtual ~LocationManagerDelegate() = default;
    // The fixes that arrived since the last call, oldest first.
    virtual void locationManagerDidUpdateLocations(LocationManager&, const std::vector<Location>&) {}
    virtual void locationManagerDidUpdateHeading(LocationManager&, const Heading&) {}
    virtual void locationManagerDidChangeAuthorizationStatus(LocationManager&, AuthorizationStatus) {}
    // The source cannot deliver for now; updates go on when it comes back.
    virtual void locationManagerDidFailWithError(LocationManager&, const std::string& /*error*/) {}
};

inline constexpr double locationAccuracyBest = -1;
inline constexpr double distanceFilterNone = -1;

// A screen's handle on the location service (see LocationService): position
// and heading updates while started, filtered by distance and by angle.
class LocationManager {
public:
    LocationManager();
    ~LocationManager();
    LocationManager(const LocationManager&) = delete;
    LocationManager& operator=(const LocationManager&) = delete;

    static AuthorizationStatus authorizationStatus();
    static bool locationServicesEnabled();
    static bool headingAvailable();

    // The first delegate hears the authorization status once, on the run loop's next pass.
    void setDelegate(LocationManagerDelegate* delegate);  // a raw pointer the owner clears
    LocationManagerDelegate* delegate() const;

    // The status is decided when the service starts; there is nobody to ask.
    void requestWhenInUseAuthorization() {}
    void requestAlwaysAuthorization() {}

    // Every source delivers at its best; the setting is kept for the caller.
    double desiredAccuracy() const;
    void setDesiredAccuracy(double metres);
    // A fix is delivered only when it lies at least this far from the last one delivered.
    double distanceFilter() const;
    void setDistanceFilter(double metres);
    // A heading is delivered only when it turned at least this far (degrees).
    double headingFilter() const;
    void setHeadingFilter(double degrees);

    void startUpdatingLocation();
    void stopUpdatingLocation();
    void startUpdatingHeading();
    void stopUpdatingHeading();
    bool isUpdatingLocation() const;
    bool isUpdatingHeading() const;

    // The newest fix of the process, whether or not this manager is updating.
    std::optional<Location> location() const;
    // The last heading delivered (invalid before the first).
    Heading heading() const;

    struct Impl;

private:
    std::shared_ptr<Impl> impl_;
};

}  // namespace geo
