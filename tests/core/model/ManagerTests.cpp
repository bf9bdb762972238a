#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/link/Scanner.h"
#include "core/model/Manager.h"
#include "core/model/Tree.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const char* const archiveNames[] = {Manager::settingsFileName, Manager::userDataFileName, Manager::fuelDataFileName,
                                    Manager::raceDataFileName};

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override { documents = testsupport::freshDocuments(); }

    static Manager& reloaded()
    {
        Manager::resetForTesting();
        return Manager::sharedManager();
    }

    json fileJson(const char* name) const { return json::parse(fnd::readFile(documents / name).value_or("null")); }

    fs::path documents;
};

// A different value of the same JSON type, everywhere in the value, still within what each field can
// hold (the defaults are, and numbers move towards zero or just above it).
json changed(const json& value)
{
    switch (value.type()) {
    case json::value_t::boolean:
        return !value.get<bool>();
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
        return value.get<int>() == 0 ? 1 : value.get<int>() - 1;
    case json::value_t::number_float:
        return value.get<double>() > 0.5 ? value.get<double>() - 0.25 : value.get<double>() + 0.25;
    case json::value_t::string:
        return value.get<std::string>() + "x";
    default:
        break;
    }
    json result = value;
    for (auto& element : result)
        element = changed(element);
    return result;
}

// JSON equality with float tolerance (records keep floats, the files doubles).
void expectSameJson(const json& actual, const json& expected, const std::string& where)
{
    if (expected.is_number() && actual.is_number()) {
        EXPECT_NEAR(actual.get<double>(), expected.get<double>(), 1e-5 * std::max(1.0, std::abs(expected.get<double>())))
            << where;
        return;
    }
    ASSERT_EQ(actual.type(), expected.type()) << where;
    if (expected.is_object()) {
        EXPECT_EQ(actual.size(), expected.size()) << where;
        for (const auto& [key, value] : expected.items()) {
            ASSERT_TRUE(actual.contains(key)) << where << "." << key;
            expectSameJson(actual[key], value, where + "." + key);
        }
    } else if (expected.is_array()) {
        ASSERT_EQ(actual.size(), expected.size()) << where;
        for (std::size_t i = 0; i < expected.size(); ++i)
            expectSameJson(actual[i], expected[i], where + "[" + std::to_string(i) + "]");
    } else {
        EXPECT_EQ(actual, expected) << where;
    }
}

TEST_F(ManagerTest, FirstRunWritesEveryArchiveWithTheDefaults)
{
    Manager& manager = reloaded();
    for (const char* name : archiveNames)
        EXPECT_TRUE(fs::is_regular_file(documents / name)) << name;

    const json settings = fileJson(Manager::settingsFileName);
    const std::pair<const char*, json> stated[] = {
        {"deviceMode", 0},         {"hostIP", "192.168.0.10"},   {"port", 35000},
        {"theme", 0},              {"scrollGraphCount", 1},      {"graphType", 1},
        {"plotSpacing", 2},        {"dualGraphingEnabled", false}, {"loggerInterface", 0},
        {"logFormat", 0},          {"loggerDelay", 0.0},         {"loggerTimeStamp", false},
        {"formattedLoggerData", true}, {"loggerIP", "192.168.1.100"}, {"loggerPort", 10000},
        {"fuelUnitsMode", 0},      {"fuelType", 0},              {"fuelDensity", 6.17},
        {"fuelAirRatio", 14.7},    {"fuelCalcMethod", 0},        {"engineDisplacement", 3.0},
        {"fuelCost", 1.0},         {"firstRace", true},          {"rpmEnabled", true},
        {"shiftAssistEnabled", true}, {"camGaugeCount", 5},
    };
    for (const auto& [key, value] : stated)
        expectSameJson(settings[key], value, key);
    EXPECT_EQ(settings["sensors"].size(), Settings::sensorSlotCount);

    const UserData& user = manager.userData();
    EXPECT_EQ(user.rpmRedLine, 8000);
    EXPECT_EQ(user.transmissionArr, (std::vector<float>{0.008f, 0.014f, 0.021f, 0.028f, 0.032f, 0.04f}));
    EXPECT_EQ(user.longNameArr[8], "Engine speed");
    EXPECT_EQ(user.maxImpArr[9], 160);
    EXPECT_EQ(user.unitsArr.size(), 101u);
    EXPECT_EQ(user.maxLimitArr.size(), 101u);
    EXPECT_TRUE(manager.fuelData().dateArr.empty());
    EXPECT_EQ(manager.raceData().selectedTrackIndex, -1);
}

// Every archived value is changed on disk; loading and saving again must give it back.
TEST_F(ManagerTest, EveryArchivedFieldRoundTrips)
{
    reloaded();
    for (const char* name : {Manager::settingsFileName, Manager::userDataFileName}) {
        json record = changed(fileJson(name));
        if (std::string(name) == Manager::settingsFileName)
            record["port"] = 65535;  // keep the ports valid
        ASSERT_TRUE(fnd::writeFileAtomically(documents / name, record.dump()));
    }
    reloaded();
    const json changedSettings = fileJson(Manager::settingsFileName);
    const json changedUser = fileJson(Manager::userDataFileName);
    ASSERT_TRUE(Manager::sharedManager().saveChanges());
    expectSameJson(fileJson(Manager::settingsFileName), changedSettings, "settings");
    expectSameJson(fileJson(Manager::userDataFileName), changedUser, "userdata");
    EXPECT_EQ(Manager::sharedManager().setting().port, 65535u);
}

TEST_F(ManagerTest, RecordsRoundTripThroughSaveChanges)
{
    Manager& manager = reloaded();
    Pid pid;
    pid.mode = 0x22;
    pid.pid = 0x11;
    pid.pid2 = 0x5C;
    pid.sName = "Trans";
    pid.lName = "Transmission temperature";
    pid.units = "°C";
    pid.units2 = "°F";
    pid.unitsMode = 0;
    pid.min = -40;
    pid.max = 150;
    pid.conversion = 1.8f;
    pid.offset = 32;
    pid.root = Node::operation(Node::Kind::Subtract, Node::byte(0), Node::number(40));
    manager.userData().addPid(pid);
    manager.userData().maxLimitArr.back() = 0.8f;
    manager.userData().model = "Roadster";
    manager.userData().year = 1999;

    FuelData& fuel = manager.fuelData();
    fuel.dateArr = {"Mar 2, 2024", "Mar 1, 2024"};
    fuel.dataArr = {31.5f, 28};
    fuel.fuelArr = {1.25f, 2};
    fuel.speedArr = {40, 35.5f};
    fuel.distanceArr = {39.4f, 56};
    fuel.costArr = {4.5f, 7.2f};

    geo::Location corner;
    corner.coordinate = {47.2235, 8.8179};
    corner.speed = 21.5;
    corner.timestamp.secondsSince1970 = 1700000001.5;
    manager.raceData().trackArr = {Track("Home loop", {0x89, 'P', 'N', 'G', 0, 0xFF}, {corner, corner}, 2.4f),
                                   Track("Empty", {}, {}, 0)};
    manager.raceData().selectedTrackIndex = 1;
    manager.setting().hostIP = "10.0.0.7";

    ASSERT_TRUE(manager.saveChanges());
    const json userBefore = manager.userData().archive().root();
    const FuelData fuelBefore = fuel;
    const auto tracksBefore = manager.raceData().trackArr;

    Manager& loaded = reloaded();
    EXPECT_EQ(loaded.setting().hostIP, "10.0.0.7");
    expectSameJson(loaded.userData().archive().root(), userBefore, "userdata");
    ASSERT_EQ(loaded.userData().pids.size(), 1u);
    EXPECT_FLOAT_EQ(Tree::calculate(loaded.userData().pids[0].root.get(), {130}), 90);
    EXPECT_EQ(loaded.userData().maxLimitArr.size(), 102u);
    EXPECT_EQ(loaded.fuelData().dateArr, fuelBefore.dateArr);
    EXPECT_EQ(loaded.fuelData().costArr, fuelBefore.costArr);
    EXPECT_EQ(loaded.raceData().trackArr, tracksBefore);
    EXPECT_EQ(loaded.raceData().selectedTrackIndex, 1);
}

TEST_F(ManagerTest, CorruptArchiveGivesDefaultsForItselfOnlyAndIsKept)
{
    Manager& manager = reloaded();
    manager.userData().model = "Kept";
    manager.setting().theme = 1;
    ASSERT_TRUE(manager.saveChanges());
    const std::string garbage = "{\"theme\": 1, \"hostIP\": ";
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::settingsFileName, garbage));

    fnd::LogCapture log;
    Manager& loaded = reloaded();
    EXPECT_EQ(loaded.setting().theme, 0) << "settings fell back to the defaults";
    EXPECT_EQ(loaded.userData().model, "Kept") << "the other archives still load";
    EXPECT_EQ(fnd::readFile(documents / "settings.data.corrupt-1"), garbage) << "the bad file is kept aside";
    EXPECT_TRUE(log.contains("settings.data"));
    EXPECT_EQ(fileJson(Manager::settingsFileName)["theme"], 0) << "a readable archive replaces the bad one";
}

TEST_F(ManagerTest, DamagedValuesKeepDefaultsAndArraysKeepTheirShape)
{
    reloaded();
    const std::pair<const char*, const char*> files[] = {
        {Manager::settingsFileName, R"({"port": "abc", "loggerPort": 70000, "hostIP": 5, "sensors": [1, 2], "theme": 1})"},
        {Manager::userDataFileName, R"({"unitsArr": [0, 0], "maxLimitArr": [0.5], "pids": [7, {"sName": "X"}, 7],
                                        "transmissionArr": [1, 2, 3, 4, 5, 6, 7, 8], "minArr": "none"})"},
        {Manager::fuelDataFileName, R"({"dateArr": ["a", "b", "c"], "dataArr": [1, 2], "fuelArr": [1, 2, 3],
                                        "speedArr": [1, 2, 3], "distanceArr": [1, 2, 3], "costArr": [1, 2, 3]})"},
        {Manager::raceDataFileName, R"({"trackArr": [{"trackName": "A"}, {"noName": 1}], "selectedTrackIndex": 1})"},
    };
    for (const auto& [name, text] : files)
        ASSERT_TRUE(fnd::writeFileAtomically(documents / name, text));

    fnd::LogCapture log;
    Manager& manager = reloaded();
    const Settings defaults;
    EXPECT_EQ(manager.setting().port, defaults.port);
    EXPECT_EQ(manager.setting().loggerPort, defaults.loggerPort);
    EXPECT_EQ(manager.setting().hostIP, defaults.hostIP);
    EXPECT_EQ(manager.setting().theme, 1);
    ASSERT_EQ(manager.setting().sensors.size(), Settings::sensorSlotCount);
    EXPECT_EQ(manager.setting().sensors[1], 2);
    EXPECT_EQ(manager.setting().sensors[20], defaults.sensors[20]);

    const UserData& user = manager.userData();
    const UserData userDefaults;
    EXPECT_EQ(user.unitsArr.size(), 101u);
    EXPECT_EQ(user.unitsArr[1], 0);
    EXPECT_EQ(user.unitsArr[2], 1);
    EXPECT_EQ(user.minArr, userDefaults.minArr);
    ASSERT_EQ(user.pids.size(), 1u) << "an entry that is no record is left out";
    EXPECT_EQ(user.pids[0].sName, "X");
    EXPECT_EQ(user.maxLimitArr.size(), 102u) << "one limit per sensor and per custom PID";
    EXPECT_TRUE(log.contains("2 unreadable custom PIDs were left out"));
    EXPECT_EQ(user.maxLimitArr[0], 0.5f);
    EXPECT_EQ(user.transmissionArr.size(), 6u);

    EXPECT_EQ(manager.fuelData().dateArr, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(manager.fuelData().costArr.size(), 2u);
    EXPECT_TRUE(log.contains("fuel log"));

    ASSERT_EQ(manager.raceData().trackArr.size(), 1u);
    EXPECT_EQ(manager.raceData().selectedTrackIndex, -1) << "the selection pointed past the tracks";
}

// An archive that reads but whose content had to be cut keeps its readable part; the file as it was is kept
// aside and the user is told, since the next save replaces it.
TEST_F(ManagerTest, MendedArchivesAreKeptAsTheyWereAndReported)
{
    reloaded();
    const std::pair<const char*, std::string> files[] = {
        {Manager::userDataFileName, R"({"pids": [{"sName": "X"}, 7]})"},
        {Manager::fuelDataFileName, R"({"dateArr": ["a", "b"], "dataArr": [1], "fuelArr": [1, 2],
                                        "speedArr": [1, 2], "distanceArr": [1, 2], "costArr": [1, 2]})"},
        {Manager::raceDataFileName, R"({"trackArr": {"trackName": "A"}, "selectedTrackIndex": 0})"},
    };
    for (const auto& [name, text] : files)
        ASSERT_TRUE(fnd::writeFileAtomically(documents / name, text));

    Manager& manager = reloaded();
    EXPECT_EQ(manager.fuelData().dateArr, (std::vector<std::string>{"a"}));
    EXPECT_EQ(manager.userData().pids.size(), 1u);
    const std::vector<std::string> problems = manager.takeStorageProblems();
    ASSERT_EQ(problems.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string kept = std::string(files[i].first) + ".corrupt-1";
        EXPECT_NE(problems[i].find(kept), std::string::npos) << problems[i];
        EXPECT_EQ(fnd::readFile(documents / kept), files[i].second);
    }

    reloaded();
    EXPECT_TRUE(manager.takeStorageProblems().empty()) << "the mended archives were written back whole";
    EXPECT_EQ(manager.fuelData().dateArr, (std::vector<std::string>{"a"}));
    EXPECT_FALSE(std::filesystem::exists(documents / "fuelData.data.corrupt-2"));
}

// A list entry of the wrong type is left out, not read as 0 (a sensor the user never chose); a per-sensor
// entry of the wrong type keeps that sensor's default and the others keep their places. The file as it
// was is kept and the user told.
TEST_F(ManagerTest, WrongTypedEntriesAreLeftOutKeptAsideAndReported)
{
    reloaded();
    json minima = json::array();
    for (int i = 0; i < 101; ++i)
        minima.push_back(i == 3 ? json("x") : json(-1.0 - i));
    const std::string settingsText =
        R"({"gaugeListArr": [8, "x", 9], "graphListArr": [8, null, 9], "graphLineColorArr": [1, 2, 3], "port": "abc"})";
    const std::string userText = json{{"minArr", minima}}.dump();
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::settingsFileName, settingsText));
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::userDataFileName, userText));

    Manager& manager = reloaded();
    EXPECT_EQ(manager.setting().gaugeListArr, (std::vector<int>{8, 9}));
    EXPECT_EQ(manager.setting().graphListArr, (std::vector<int>{8, 9}));
    EXPECT_EQ(manager.setting().graphLineColorArr, (std::vector<int>{1, 3})) << "each chart keeps its colour";
    EXPECT_EQ(manager.setting().port, Settings().port);
    EXPECT_EQ(manager.userData().minArr[3], UserData().minArr[3]);
    EXPECT_EQ(manager.userData().minArr[4], -5.0f);

    const std::vector<std::string> problems = manager.takeStorageProblems();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("settings.data.corrupt-1"), std::string::npos) << problems[0];
    EXPECT_EQ(fnd::readFile(documents / "settings.data.corrupt-1"), settingsText);
    EXPECT_EQ(fnd::readFile(documents / "userdata.data.corrupt-1"), userText);
    reloaded();
    EXPECT_TRUE(manager.takeStorageProblems().empty());
}

// A file listing a hundred thousand charts or custom PIDs loads a bounded number of them, and says so.
TEST_F(ManagerTest, ListsAreCutWhenLoading)
{
    reloaded();
    json charts = json::array();
    for (int i = 0; i < 100000; ++i)
        charts.push_back(8);
    json pids = json::array();
    for (int i = 0; i < 300; ++i)
        pids.push_back(json{{"sName", "P"}});
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::settingsFileName,
                                         json{{"graphListArr", charts}, {"graphLineColorArr", charts},
                                              {"gaugeListArr", charts}, {"numOfGraphs", 100000}}
                                             .dump()));
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::userDataFileName, json{{"pids", pids}}.dump()));

    Manager& manager = reloaded();
    EXPECT_EQ(manager.setting().graphListArr.size(), Settings::maxListLength);
    EXPECT_EQ(manager.setting().graphLineColorArr.size(), Settings::maxListLength);
    EXPECT_EQ(manager.setting().gaugeListArr.size(), Settings::maxListLength);
    EXPECT_EQ(manager.setting().numOfGraphs, static_cast<int>(Settings::maxListLength));
    EXPECT_EQ(manager.userData().pids.size(), UserData::maxPidCount);
    EXPECT_EQ(manager.userData().maxLimitArr.size(), 101 + UserData::maxPidCount);
    EXPECT_EQ(manager.takeStorageProblems().size(), 2u);
}

// A list that is no list loses every entry it held: that is told too.
TEST_F(ManagerTest, FuelListsThatAreNoListsAreReported)
{
    reloaded();
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::fuelDataFileName, R"({"dateArr": "Jan 1, 2024"})"));
    Manager& manager = reloaded();
    EXPECT_EQ(manager.fuelData().dayCount(), 0u);
    ASSERT_EQ(manager.takeStorageProblems().size(), 1u);
}

// Values of the right type but outside what the field can hold load as the field's default (or, in a
// list, are left out), each on its own.
TEST_F(ManagerTest, OutOfRangeValuesLoadClamped)
{
    reloaded();
    const std::string longHost(300, 'h');
    const std::string settingsText = R"({"theme": 99, "connectionMode": 42, "deviceMode": 7, "protocol": -3,
        "speedLimit": 0, "frameRate": 1000, "fuelDensity": -1, "engineDisplacement": 1e30, "port": 0,
        "hostIP": ")" + longHost + R"(", "loggerIP": ")" + longHost + R"(", "sensors": [99999, -1, 101, 100],
        "gaugeListArr": [8, 99999, -1, 9], "graphListArr": [8, -1, 9], "graphLineColorArr": [3, 4, 44],
        "numOfGraphs": 3})";
    const std::string userText = R"({"pids": [5, null, {"sName": "Boost", "mode": 300, "pid": 12, "min": 5, "max": 1}],
        "minLimitArr": [-2], "maxLimitArr": [7], "unitsArr": [9], "minArr": [50], "maxArr": [10],
        "transmissionArr": [-1, 0.014], "rpmRedLine": 99999999, "year": -5,
        "notifyLimitArr": [true, false, false]})";
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::settingsFileName, settingsText));
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::userDataFileName, userText));

    Manager& manager = reloaded();
    const Settings d;
    const Settings& s = manager.setting();
    EXPECT_EQ(s.theme, d.theme);
    EXPECT_EQ(s.connectionMode, d.connectionMode);
    EXPECT_EQ(s.deviceMode, d.deviceMode);
    EXPECT_EQ(s.protocol, d.protocol);
    EXPECT_EQ(s.speedLimit, d.speedLimit);
    EXPECT_EQ(s.frameRate, d.frameRate);
    EXPECT_EQ(s.fuelDensity, d.fuelDensity);
    EXPECT_EQ(s.engineDisplacement, d.engineDisplacement);
    EXPECT_EQ(s.port, d.port);
    EXPECT_EQ(s.hostIP, d.hostIP);
    EXPECT_EQ(s.loggerIP, d.loggerIP);
    // One custom PID: sensor indexes 0 to 101.
    EXPECT_EQ(s.sensors[0], d.sensors[0]);
    EXPECT_EQ(s.sensors[1], d.sensors[1]);
    EXPECT_EQ(s.sensors[2], 101);
    EXPECT_EQ(s.sensors[3], 100);
    EXPECT_EQ(s.gaugeListArr, (std::vector<int>{8, 9}));
    EXPECT_EQ(s.graphListArr, (std::vector<int>{8, 9}));
    EXPECT_EQ(s.graphLineColorArr, (std::vector<int>{3, 0})) << "each colour stays with its graph";
    EXPECT_EQ(s.numOfGraphs, 2);

    const UserData& u = manager.userData();
    const UserData ud;
    ASSERT_EQ(u.pids.size(), 1u);
    EXPECT_EQ(u.pids[0].sName, "Boost");
    EXPECT_EQ(u.pids[0].mode, 1);
    EXPECT_EQ(u.pids[0].pid, 12);
    EXPECT_EQ(u.pids[0].min, 0);
    EXPECT_EQ(u.pids[0].max, 100);
    ASSERT_EQ(u.notifyLimitArr.size(), 102u);
    EXPECT_EQ(u.minLimitArr[0], 0.0f);
    EXPECT_EQ(u.maxLimitArr[0], 1.0f);
    EXPECT_EQ(u.unitsArr[0], 1);
    EXPECT_EQ(u.minArr[0], ud.minArr[0]);
    EXPECT_EQ(u.maxArr[0], ud.maxArr[0]);
    EXPECT_EQ(u.transmissionArr[0], ud.transmissionArr[0]);
    EXPECT_EQ(u.transmissionArr[1], 0.014f);
    EXPECT_EQ(u.rpmRedLine, ud.rpmRedLine);
    EXPECT_EQ(u.year, ud.year);

    // What was mended is what is saved.
    ASSERT_TRUE(manager.saveChanges());
    EXPECT_EQ(fileJson(Manager::settingsFileName)["theme"], d.theme);
    EXPECT_EQ(fileJson(Manager::userDataFileName)["pids"].size(), 1u);
}

// The user is told, once each, of an archive kept aside and of saving that fails.
TEST_F(ManagerTest, StorageProblemsAreReportedOnce)
{
    reloaded();
    ASSERT_TRUE(fnd::writeFileAtomically(documents / Manager::settingsFileName, "{ not json"));
    Manager& manager = reloaded();
    std::vector<std::string> problems = manager.takeStorageProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("settings.data.corrupt-1"), std::string::npos) << problems[0];
    EXPECT_TRUE(manager.takeStorageProblems().empty());

    fs::remove(documents / Manager::raceDataFileName);
    fs::create_directories(documents / Manager::raceDataFileName / "in-the-way");
    EXPECT_FALSE(manager.saveChanges());
    EXPECT_FALSE(manager.saveChanges());
    problems = manager.takeStorageProblems();
    ASSERT_EQ(problems.size(), 1u) << "told once, not at every save";
    EXPECT_NE(problems[0].find(documents.string()), std::string::npos) << problems[0];

    fs::remove_all(documents / Manager::raceDataFileName);
    EXPECT_TRUE(manager.saveChanges());
    fs::remove(documents / Manager::raceDataFileName);
    fs::create_directories(documents / Manager::raceDataFileName / "in-the-way");
    EXPECT_FALSE(manager.saveChanges());
    EXPECT_EQ(manager.takeStorageProblems().size(), 1u) << "told again after a save worked";
}

// A save killed half-way leaves a temporary file: ours, of a writer that is gone, are removed at start.
TEST_F(ManagerTest, StaleTemporariesAreRemovedAtStart)
{
    const std::string gone = ".settings.data.tmp-999999999-0";
    const std::string running = ".userdata.data.tmp-" + std::to_string(::getpid()) + "-0";
    const std::string foreign = ".notes.txt.tmp-999999999-0";
    for (const auto& name : {gone, running, foreign})
        ASSERT_TRUE(fnd::writeFileAtomically(documents / name, std::string(1 << 20, 'x')));
    reloaded();
    EXPECT_FALSE(fs::exists(documents / gone));
    EXPECT_TRUE(fs::exists(documents / running)) << "a save under way is left alone";
    EXPECT_TRUE(fs::exists(documents / foreign)) << "only our own archives' temporaries";
}

TEST_F(ManagerTest, SaveChangesReportsAFailureAndStillWritesTheOthers)
{
    Manager& manager = reloaded();
    fs::remove(documents / Manager::fuelDataFileName);
    fs::create_directories(documents / Manager::fuelDataFileName / "in-the-way");
    manager.setting().theme = 1;
    manager.raceData().selectedTrackIndex = -1;

    EXPECT_FALSE(manager.saveChanges());
    EXPECT_EQ(fileJson(Manager::settingsFileName)["theme"], 1);

    fs::remove_all(documents / Manager::fuelDataFileName);
    EXPECT_TRUE(manager.saveChanges());
}

// Quitting saves every archive: only those whose records changed are written (and synced) again.
TEST_F(ManagerTest, SaveChangesWritesOnlyTheArchivesThatChanged)
{
    Manager& manager = reloaded();
    const auto inodeOf = [&](const char* name) {
        struct stat status {};
        return ::stat((documents / name).c_str(), &status) == 0 ? status.st_ino : 0;
    };
    std::map<std::string, ino_t> before;
    for (const char* name : archiveNames)
        before[name] = inodeOf(name);

    manager.setting().theme = 1;
    ASSERT_TRUE(manager.saveChanges());
    for (const char* name : archiveNames) {
        if (std::string_view(name) == Manager::settingsFileName)
            EXPECT_NE(inodeOf(name), before[name]) << name;
        else
            EXPECT_EQ(inodeOf(name), before[name]) << name;
    }
    EXPECT_EQ(reloaded().setting().theme, 1);
}

TEST_F(ManagerTest, OwnsOneLinkUntilItIsReplaced)
{
    Manager& manager = reloaded();
    const auto link = manager.scanner();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(manager.scanner(), link) << "one link for the life of the process";

    manager.setScanner(nullptr);
    const auto next = manager.scanner();
    ASSERT_NE(next, nullptr) << "a dropped link is made again on demand";
    EXPECT_NE(next, link);

    Manager::resetForTesting();
    EXPECT_NE(Manager::sharedManager().scanner(), next) << "a reset starts with a new link";
}

TEST(UserDataLimits, EachSensorHasItsOwnAndAnUnknownOneNeverWarns)
{
    UserData user;
    user.addPid(Pid{});
    const int custom = 101;
    user.notifyLimitArr[custom] = true;
    user.notifySoundLimArr[custom] = true;
    user.maxLimitArr[custom] = 0.5f;
    const SensorLimits limits = user.limits(custom);
    EXPECT_TRUE(limits.sound);
    EXPECT_TRUE(limits.warns(0.6f));
    EXPECT_FALSE(limits.warns(0.4f));
    EXPECT_FALSE(user.limits(0).notify);
    for (const int unknown : {-1, custom + 1, 5000}) {
        EXPECT_FALSE(user.limits(unknown).notify);
        EXPECT_FALSE(user.limits(unknown).sound);
    }
}

}  // namespace
