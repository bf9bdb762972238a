#include "html/HTMLTokenizerState.h"

#include <array>

namespace {

constexpr std::array<std::string_view, HTMLTokenizerStateCount> stateNames = {
    "Data state",
    "Character reference in data state",
    "RCDATA state",
    "Character reference in RCDATA state",
    "RAWTEXT state",
    "Script data state",
    "PLAINTEXT state",
    "Tag open state",
    "End tag open state",
    "Tag name state",
    "RCDATA less-than sign state",
    "RCDATA end tag open state",
    "RCDATA end tag name state",
    "RAWTEXT less-than sign state",
    "RAWTEXT end tag open state",
    "RAWTEXT end tag name state",
    "Script data less-than sign state",
    "Script data end tag open state",
    "Script data end tag name state",
    "Script data escape start state",
    "Script data escape start dash state",
    "Script data escaped state",
    "Script data escaped dash state",
    "Script data escaped dash dash state",
    "Script data escaped less-than sign state",
    "Script data escaped end tag open state",
    "Script data escaped end tag name state",
    "Script data double escape start state",
    "Script data double escaped state",
    "Script data double escaped dash state",
    "Script data double escaped dash dash state",
    "Script data double escaped less-than sign state",
    "Script data double escape end state",
    "Before attribute name state",
    "Attribute name state",
    "After attribute name state",
    "Before attribute value state",
    "Attribute value (double-quoted) state",
    "Attribute value (single-quoted) state",
    "Attribute value (unquoted) state",
    "Character reference in attribute value state",
    "After attribute value (quoted) state",
    "Self-closing start tag state",
    "Bogus comment state",
    "Markup declaration open state",
    "Comment start state",
    "Comment start dash state",
    "Comment state",
    "Comment end dash state",
    "Comment end state",
    "Comment end bang state",
    "DOCTYPE state",
    "Before DOCTYPE name state",
    "DOCTYPE name state",
    "After DOCTYPE name state",
    "After DOCTYPE public keyword state",
    "Before DOCTYPE public identifier state",
    "DOCTYPE public identifier (double-quoted) state",
    "DOCTYPE public identifier (single-quoted) state",
    "After DOCTYPE public identifier state",
    "Between DOCTYPE public and system identifiers state",
    "After DOCTYPE system keyword state",
    "Before DOCTYPE system identifier state",
    "DOCTYPE system identifier (double-quoted) state",
    "DOCTYPE system identifier (single-quoted) state",
    "After DOCTYPE system identifier state",
    "Bogus DOCTYPE state",
    "CDATA section state",
};

} // namespace

std::string_view HTMLTokenizerStateName(HTMLTokenizerState state)
{
    const auto index = static_cast<std::size_t>(state);
    return index < stateNames.size() ? stateNames[index] : std::string_view("Unknown state");
}
