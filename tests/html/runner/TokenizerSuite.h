#pragma once

#include "SuiteStats.h"

#include <filesystem>

// Runs every test of one html5lib tokenizer file (JSON) once per initial
// state, comparing tokens (not parse errors, whose texts are ours). Prints one
// report per failing run to stdout and counts the runs in stats.
void RunTokenizerFile(const std::filesystem::path& path, SuiteStats& stats);
