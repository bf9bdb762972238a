#include "platform/foundation/JsonText.h"

namespace fnd {

namespace {

// Counts open arrays and objects outside strings; brackets that do not match are the parser's to refuse.
bool nestsWithin(std::string_view text, std::size_t maxDepth)
{
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth)
                return false;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return true;
}

}  // namespace

nlohmann::json parseJson(std::string_view text)
{
    if (!nestsWithin(text, maxJsonDepth))
        return nlohmann::json(nlohmann::json::value_t::discarded);
    return nlohmann::json::parse(text, nullptr, false);
}

}  // namespace fnd
