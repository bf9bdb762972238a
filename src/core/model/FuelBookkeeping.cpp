#include "core/model/FuelBookkeeping.h"

void FuelBookkeeping::noteSpeed(float kmh)
{
    tally_.setSpeed(kmh);
    speedTimeout_.cancel();
    speedTimeout_ = fnd::after(speedFreshness, [this] { tally_.setSpeed(0); });
}
