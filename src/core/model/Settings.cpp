#include "core/model/Settings.h"

#include "core/model/Archive.h"

template <typename Self, typename Visitor>
void Settings::visitFields(Self& s, Visitor&& field)
{
    field("deviceMode", s.deviceMode);
    field("hostIP", s.hostIP);
    field("port", s.port);
    field("protocol", s.protocol);
    field("connectionMode", s.connectionMode);
    field("fastPollingEnabled", s.fastPollingEnabled);
    field("multiMessageCANEnabled", s.multiMessageCANEnabled);
    field("speedLimitEnabled", s.speedLimitEnabled);
    field("speedLimit", s.speedLimit);
    field("speedLimit2", s.speedLimit2);
    field("highTempEnabled", s.highTempEnabled);
    field("theme", s.theme);
    field("sensors", s.sensors);
    field("gaugeListArr", s.gaugeListArr);
    field("graphListArr", s.graphListArr);
    field("graphLineColorArr", s.graphLineColorArr);
    field("numOfGraphs", s.numOfGraphs);
    field("scrollGraphCount", s.scrollGraphCount);
    field("twoFingerScroll", s.twoFingerScroll);
    field("graphType", s.graphType);
    field("plotSpacing", s.plotSpacing);
    field("dualGraphingEnabled", s.dualGraphingEnabled);
    field("loggerInterface", s.loggerInterface);
    field("logFormat", s.logFormat);
    field("loggerDelay", s.loggerDelay);
    field("loggerTimeStamp", s.loggerTimeStamp);
    field("formattedLoggerData", s.formattedLoggerData);
    field("loggerIP", s.loggerIP);
    field("loggerPort", s.loggerPort);
    field("fuelUnitsMode", s.fuelUnitsMode);
    field("fuelType", s.fuelType);
    field("fuelDensity", s.fuelDensity);
    field("fuelAirRatio", s.fuelAirRatio);
    field("fuelCalcMethod", s.fuelCalcMethod);
    field("engineDisplacement", s.engineDisplacement);
    field("fuelCost", s.fuelCost);
    field("firstRace", s.firstRace);
    field("rpmEnabled", s.rpmEnabled);
    field("shiftAssistEnabled", s.shiftAssistEnabled);
    field("hpMode", s.hpMode);
    field("shiftLightColor", s.shiftLightColor);
    field("camGaugeCount", s.camGaugeCount);
    field("recordMode", s.recordMode);
    field("frameRate", s.frameRate);
    field("is30Framerate", s.is30Framerate);
    field("isRaceMode", s.isRaceMode);
    field("gMeterEnabled", s.gMeterEnabled);
    field("gpsEnabled", s.gpsEnabled);
    field("displayTimeEnabled", s.displayTimeEnabled);
    field("compassEnabled", s.compassEnabled);
    field("mapEnabled", s.mapEnabled);
}

fnd::KeyedArchiver Settings::archive() const
{
    return archive::write(*this);
}

Settings Settings::fromArchive(const fnd::KeyedUnarchiver& in)
{
    Settings settings;
    archive::readFields(in, settings);
    const Settings defaults;
    for (std::size_t slot = settings.sensors.size(); slot < sensorSlotCount; ++slot)
        settings.sensors.push_back(defaults.sensors[slot]);
    return settings;
}
