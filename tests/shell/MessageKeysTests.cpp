#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/foundation/Localization.h"

namespace {

namespace fs = std::filesystem;

fs::path resources()
{
    const char* folder = std::getenv("NORVALE_RESOURCES");
    return folder ? fs::path(folder) : fs::path("resources");
}

std::string contents(const fs::path& file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Message keys are the texts the program names by a short key ("MIL msg", "Invalid port msg2")
// rather than by their English wording; the English is only in the strings file.
std::set<std::string> messageKeysInSources()
{
    static const std::regex key(R"re("([A-Za-z][A-Za-z0-9 ]* msg[0-9]*)")re");
    std::set<std::string> keys;
    for (const auto& entry : fs::recursive_directory_iterator(resources().parent_path() / "src")) {
        const auto extension = entry.path().extension();
        if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h"))
            continue;
        const std::string text = contents(entry.path());
        for (auto it = std::sregex_iterator(text.begin(), text.end(), key); it != std::sregex_iterator(); ++it)
            keys.insert((*it)[1].str());
    }
    return keys;
}

TEST(MessageKeys, EveryKeyUsedInTheProgramHasAnEnglishText)
{
    const auto strings = nlohmann::json::parse(contents(resources() / "strings" / "en.json"), nullptr, false);
    ASSERT_TRUE(strings.is_object()) << "resources/strings/en.json is not a JSON object";

    const std::set<std::string> keys = messageKeysInSources();
    ASSERT_FALSE(keys.empty()) << "no sources found next to " << resources();
    for (const std::string& key : keys) {
        const auto text = strings.find(key);
        EXPECT_TRUE(text != strings.end() && text->is_string() && !text->get<std::string>().empty())
            << "\"" << key << "\" has no text in en.json";
        EXPECT_NE(fnd::L(key), key) << key;
    }
}

}  // namespace
