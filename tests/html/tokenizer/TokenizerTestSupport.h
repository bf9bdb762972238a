#pragma once

#include "html/HTMLTokenizer.h"

#include <string>
#include <vector>

// Tokenizes the input into one line per token ("chars: ...", "start: a
// href=x", "error: ..."), adjacent characters joined, so tests compare the
// whole stream, parse errors included, at a glance.
std::vector<std::string> Tokenize(std::u16string input, HTMLTokenizerState state = HTMLTokenizerState::Data,
                                  bool inForeignContent = false);
std::vector<std::string> Tokenize(HTMLPreprocessedInputStream input);
// One token's line, as Tokenize gives it.
std::string DescribeToken(const HTMLToken& token);
