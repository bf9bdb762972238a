#pragma once

#include "SuiteStats.h"

#include <filesystem>

// Runs every test of one html5lib tree-construction file (.dat): parses the
// data (as a fragment when the test names a context element), prints the
// tree in the html5lib format and compares it with the expected one. Parse
// errors are not compared: their texts are ours. A test is skipped only by a
// rule naming one of the parser's deliberate departures from the current
// standard. Prints one report per failing test to stdout.
void RunTreeConstructionFile(const std::filesystem::path& path, SuiteStats& stats);
