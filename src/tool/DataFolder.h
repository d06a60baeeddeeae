// The data folder of the commands that work "as start-up does".
#pragma once
#include <string>

// Enters `dir` and loads what start-up loads for the catalogue (preferences, language,
// catalogue, the feed bank mode); false with `error` set when the folder cannot be used.
bool EnterDataFolder(const std::string& dir, std::string& error);
