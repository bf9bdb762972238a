#include "platform/geo/LocationManager.h"

#include <cmath>
#include <utility>

#include "platform/foundation/RunLoop.h"

namespace geo {

namespace {

// The smaller angle between two headings, in degrees.
double angleBetween(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

// Nominal accuracy of a heading taken from the course.
constexpr double courseHeadingAccuracy = 10;

}  // namespace

struct LocationManager::Impl : LocationService::Listener, std::enable_shared_from_this<Impl> {
    LocationManager& owner;
    LocationManagerDelegate* delegate = nullptr;
    bool statusReported = false;
    double desiredAccuracy = locationAccuracyBest;
    double distanceFilter = distanceFilterNone;
    double headingFilter = 1;
    bool updatingLocation = false;
    bool updatingHeading = false;
    bool failureReported = false;
    std::optional<Location> lastDelivered;
    std::vector<Location> pending;
    Heading heading;

    explicit Impl(LocationManager& manager) : owner(manager) { LocationService::shared().addListener(this); }
    ~Impl() override { LocationService::shared().removeListener(this); }

    // Runs fn on the run loop's next pass, unless the manager is gone by then.
    template <typename Fn>
    void later(Fn fn)
    {
        fnd::RunLoop::main().post([weak = weak_from_this(), fn = std::move(fn)] {
            if (const auto self = weak.lock())
                fn(*self);
        });
    }

    void serviceDidReceive(const Fix& fix) override
    {
        failureReported = false;
        if (updatingLocation)
            takeLocation(fix.location);
        if (updatingHeading)
            takeHeading(fix);
    }

    void serviceLostSource(const std::string& message) override
    {
        if (updatingLocation || updatingHeading)
            reportFailure(message);
    }

    void reportFailure(const std::string& message)
    {
        if (failureReported)
            return;
        failureReported = true;
        later([message](Impl& self) {
            if (self.delegate != nullptr)
                self.delegate->locationManagerDidFailWithError(self.owner, message);
        });
    }

    void takeLocation(const Location& location)
    {
        if (lastDelivered && distanceFilter > 0 && location.distanceFrom(*lastDelivered) < distanceFilter)
            return;
        lastDelivered = location;
        pending.push_back(location);
        if (pending.size() == 1)
            later([](Impl& self) { self.deliverLocations(); });
    }

    void deliverLocations()
    {
        std::vector<Location> batch = std::exchange(pending, {});
        if (!batch.empty() && updatingLocation && delegate != nullptr)
            delegate->locationManagerDidUpdateLocations(owner, batch);
    }

    void takeHeading(const Fix& fix)
    {
        std::optional<double> direction = fix.trueHeading;
        if (!direction && fix.location.course >= 0 && fix.location.speed >= slowestSpeedForCourse)
            direction = fix.location.course;
        if (!direction)
            return;
        const double turned = headingForCourse(*direction, ui::Device::current().interfaceOrientation());
        if (heading.isValid() && angleBetween(turned, heading.trueHeading) < headingFilter)
            return;
        heading = {turned, turned, courseHeadingAccuracy, fix.location.timestamp};
        later([h = heading](Impl& self) {
            if (self.updatingHeading && self.delegate != nullptr)
                self.delegate->locationManagerDidUpdateHeading(self.owner, h);
        });
    }
};

LocationManager::LocationManager() : impl_(std::make_shared<Impl>(*this)) {}

LocationManager::~LocationManager() = default;

AuthorizationStatus LocationManager::authorizationStatus()
{
    return LocationService::shared().authorizationStatus();
}

bool LocationManager::locationServicesEnabled()
{
    return LocationService::shared().sourceKind() != LocationService::SourceKind::None;
}

bool LocationManager::headingAvailable()
{
    return locationServicesEnabled();
}

void LocationManager::setDelegate(LocationManagerDelegate* delegate)
{
    impl_->delegate = delegate;
    if (delegate == nullptr || impl_->statusReported)
        return;
    impl_->statusReported = true;
    impl_->later([](Impl& self) {
        if (self.delegate != nullptr)
            self.delegate->locationManagerDidChangeAuthorizationStatus(self.owner, authorizationStatus());
    });
}

LocationManagerDelegate* LocationManager::delegate() const { return impl_->delegate; }

double LocationManager::desiredAccuracy() const { return impl_->desiredAccuracy; }
void LocationManager::setDesiredAccuracy(double metres) { impl_->desiredAccuracy = metres; }
double LocationManager::distanceFilter() const { return impl_->distanceFilter; }
void LocationManager::setDistanceFilter(double metres) { impl_->distanceFilter = metres; }
double LocationManager::headingFilter() const { return impl_->headingFilter; }
void LocationManager::setHeadingFilter(double degrees) { impl_->headingFilter = degrees; }

void LocationManager::startUpdatingLocation()
{
    if (authorizationStatus() == AuthorizationStatus::Denied)
        return;
    impl_->updatingLocation = true;
    if (!LocationService::shared().isReachable())
        impl_->reportFailure("The location source cannot be reached");
}

void LocationManager::stopUpdatingLocation()
{
    impl_->updatingLocation = false;
    impl_->pending.clear();
    impl_->lastDelivered.reset();
}

void LocationManager::startUpdatingHeading()
{
    if (authorizationStatus() == AuthorizationStatus::Denied)
        return;
    impl_->updatingHeading = true;
}

void LocationManager::stopUpdatingHeading() { impl_->updatingHeading = false; }

bool LocationManager::isUpdatingLocation() const { return impl_->updatingLocation; }
bool LocationManager::isUpdatingHeading() const { return impl_->updatingHeading; }

std::optional<Location> LocationManager::location() const
{
    return LocationService::shared().lastLocation();
}

Heading LocationManager::heading() const { return impl_->heading; }

}  // namespace geo
