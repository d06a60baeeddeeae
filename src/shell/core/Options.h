// Start-up option flags set from the command line (each 0 or 1).
#pragma once
#include <cstdint>

extern int32_t DBBaseMode;  // "-dbbasemode": the catalogue is the feed bank
extern int32_t NoSaveItems; // "-nosavexml": article files are never written
