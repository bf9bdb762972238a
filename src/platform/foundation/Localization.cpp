#include "platform/foundation/Localization.h"

#include <mutex>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/JsonText.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Paths.h"

namespace fnd {

namespace {

nlohmann::json loadStrings()
{
    const auto file = Paths::resources() / "strings" / "en.json";
    const auto text = readFile(file);
    if (!text) {
        log(LogLevel::Warning, "no strings file at " + file.string());
        return nlohmann::json::object();
    }
    auto strings = parseJson(*text);
    if (!strings.is_object()) {
        log(LogLevel::Error, "strings file is not a JSON object: " + file.string());
        return nlohmann::json::object();
    }
    return strings;
}

}  // namespace

std::string L(std::string_view key)
{
    static const nlohmann::json strings = loadStrings();
    const auto it = strings.find(key);
    if (it != strings.end() && it->is_string())
        return it->get<std::string>();
    return std::string(key);
}

}  // namespace fnd
