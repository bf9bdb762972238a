#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "platform/foundation/Localization.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;


std::string contents(const fs::path& file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isKeyCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
}

// Message keys are the texts the program names by a short key ("MIL msg", "Invalid port msg2")
// rather than by their English wording; the English is only in the strings file.
bool isMessageKey(std::string_view literal)
{
    while (!literal.empty() && literal.back() >= '0' && literal.back() <= '9')
        literal.remove_suffix(1);
    return literal.size() > 4 && literal.ends_with(" msg") &&
           std::all_of(literal.begin(), literal.end(), isKeyCharacter);
}

std::set<std::string> messageKeysInSources()
{
    std::set<std::string> keys;
    for (const auto& entry : fs::recursive_directory_iterator(testsupport::sourceDir() / "src")) {
        const auto extension = entry.path().extension();
        if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h"))
            continue;
        const std::string text = contents(entry.path());
        // Every stretch between two quotes is tried; only key-shaped ones count.
        for (std::size_t open = text.find('"'); open != std::string::npos;) {
            const std::size_t close = text.find('"', open + 1);
            if (close == std::string::npos)
                break;
            const std::string_view literal(text.data() + open + 1, close - open - 1);
            if (isMessageKey(literal))
                keys.emplace(literal);
            open = close;
        }
    }
    return keys;
}

TEST(MessageKeys, EveryKeyUsedInTheProgramHasAnEnglishText)
{
    const auto strings =
        nlohmann::json::parse(contents(testsupport::resourcesDir() / "strings" / "en.json"), nullptr, false);
    ASSERT_TRUE(strings.is_object()) << "resources/strings/en.json is not a JSON object";

    const std::set<std::string> keys = messageKeysInSources();
    ASSERT_FALSE(keys.empty()) << "no sources found in " << testsupport::sourceDir();
    for (const std::string& key : keys) {
        const auto text = strings.find(key);
        EXPECT_TRUE(text != strings.end() && text->is_string() && !text->get<std::string>().empty())
            << "\"" << key << "\" has no text in en.json";
        EXPECT_NE(fnd::L(key), key) << key;
    }
}

}  // namespace
