#include "core/model/Settings.h"

#include <algorithm>

#include "core/model/Archive.h"

namespace {

constexpr std::size_t maxHostLength = 253;

// What can be a host name or an IPv4 address at all; the settings screen checks more as it is typed.
bool isPlausibleHost(const std::string& host)
{
    return !host.empty() && host.size() <= maxHostLength &&
           std::all_of(host.begin(), host.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
           });
}

}  // namespace

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
    Settings s;
    archive::readFields(in, s);
    // A list entry that is no sensor number is left out, not read as a sensor the user never chose; a
    // chart leaves with its colour. Lists are cut to what a screen can sensibly build.
    archive::dropEntries(s.gaugeListArr, archive::nonNumberEntries(in, "gaugeListArr"));
    const auto badCharts = archive::nonNumberEntries(in, "graphListArr");
    archive::dropEntries(s.graphListArr, badCharts);
    archive::dropEntries(s.graphLineColorArr, badCharts);
    archive::capList(in, "gaugeListArr", s.gaugeListArr, maxListLength);
    archive::capList(in, "graphListArr", s.graphListArr, maxListLength);
    if (s.graphLineColorArr.size() > s.graphListArr.size())
        s.graphLineColorArr.resize(s.graphListArr.size());
    const Settings d;
    if (s.sensors.size() > sensorSlotCount)
        s.sensors.resize(sensorSlotCount);
    for (std::size_t slot = s.sensors.size(); slot < sensorSlotCount; ++slot)
        s.sensors.push_back(d.sensors[slot]);

    using archive::keepIn;
    keepIn(s.deviceMode, 0, 4, d.deviceMode);
    keepIn(s.protocol, 0, 12, d.protocol);
    keepIn(s.connectionMode, 0, 1, d.connectionMode);
    keepIn(s.speedLimit, 1, 400, d.speedLimit);
    keepIn(s.speedLimit2, 1, 400, d.speedLimit2);
    keepIn(s.theme, 0, 1, d.theme);
    keepIn(s.scrollGraphCount, 0, 2, d.scrollGraphCount);
    keepIn(s.graphType, 0, 1, d.graphType);
    keepIn(s.plotSpacing, 1, 5, d.plotSpacing);
    keepIn(s.loggerInterface, 0, 1, d.loggerInterface);
    keepIn(s.logFormat, 0, 1, d.logFormat);
    keepIn(s.loggerDelay, 0.0f, 3600.0f, d.loggerDelay);
    keepIn(s.fuelUnitsMode, 0, 3, d.fuelUnitsMode);
    keepIn(s.fuelType, 0, 6, d.fuelType);
    keepIn(s.fuelDensity, 0.1f, 100.0f, d.fuelDensity);
    keepIn(s.fuelAirRatio, 0.1f, 100.0f, d.fuelAirRatio);
    keepIn(s.fuelCalcMethod, 0, 2, d.fuelCalcMethod);
    keepIn(s.engineDisplacement, 0.05f, 30.0f, d.engineDisplacement);
    keepIn(s.fuelCost, 0.0f, 1.0e6f, d.fuelCost);
    keepIn(s.hpMode, 0, 1, d.hpMode);
    keepIn(s.shiftLightColor, 0, 2, d.shiftLightColor);
    keepIn(s.camGaugeCount, 1, 5, d.camGaugeCount);
    keepIn(s.recordMode, 0, 4, d.recordMode);
    keepIn(s.frameRate, 15, 30, d.frameRate);
    for (int& color : s.graphLineColorArr)
        keepIn(color, 0, 8, 0);
    keepIn(s.port, 1u, 65535u, d.port);  // the logger's may be 0: not set
    if (!isPlausibleHost(s.hostIP))
        s.hostIP = d.hostIP;
    // The logger's address is kept as it was typed, within reason.
    if (s.loggerIP.size() > maxHostLength)
        s.loggerIP = d.loggerIP;
    return s;
}

void Settings::keepValidSensors(int sensorCount)
{
    const Settings d;
    const auto invalid = [&](int index) { return index < 0 || index >= sensorCount; };
    for (std::size_t slot = 0; slot < sensors.size(); ++slot) {
        if (invalid(sensors[slot]))
            sensors[slot] = d.sensors[slot];
    }
    std::erase_if(gaugeListArr, invalid);
    for (std::size_t i = graphListArr.size(); i-- > 0;) {
        if (invalid(graphListArr[i])) {
            graphListArr.erase(graphListArr.begin() + static_cast<std::ptrdiff_t>(i));
            if (i < graphLineColorArr.size())
                graphLineColorArr.erase(graphLineColorArr.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    numOfGraphs = std::clamp(numOfGraphs, 0, static_cast<int>(graphListArr.size()));
}
