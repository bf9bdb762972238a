// Typed custom-sensor formulas of any text: what parses is written back as text,
// which must parse again to the same formula, and is evaluated over reply bytes;
// what is refused is explained.
#include <cstdint>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/model/Tree.h"
#include "shell/editors/FormulaParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const FormulaParser::Result result = FormulaParser::parse(text);
    if (const auto* error = std::get_if<FormulaError>(&result)) {
        error->message();
        return 0;
    }
    const auto& root = std::get<std::shared_ptr<const Node>>(result);
    // The text written back is what a saved formula shows when reopened: it must parse to the same tree.
    const FormulaParser::Result again = FormulaParser::parse(FormulaParser::text(*root));
    const auto* reread = std::get_if<std::shared_ptr<const Node>>(&again);
    if (!reread || (*reread)->toJson() != root->toJson())
        __builtin_trap();
    Tree::calculate(root.get(), std::vector<std::uint8_t>(data, data + std::min<std::size_t>(size, Node::byteCount)));
    return 0;
}
