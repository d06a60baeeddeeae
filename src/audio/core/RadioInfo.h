// The texts a playing radio publishes (its name, stream title and raw tags), written by
// the audio engine's thread and read by the status display, under their own lock.
#pragma once
#include <string>

// Keys: 1 the radio's name, 2 the stream title, 4 the raw tags, 8 (spare), 16 "On" once
// tags arrived, 32 the tag kind and the raw tags on two lines.
enum : int {
    RADIOINFO_NAME = 1,
    RADIOINFO_TITLE = 2,
    RADIOINFO_RAW = 4,
    RADIOINFO_SPARE = 8,
    RADIOINFO_ON = 16,
    RADIOINFO_KIND = 32,
};

// Writes / reads one text; an unknown key is ignored / reads "".
void Radio_SetInfo(int key, const std::string& text);
std::string Radio_GetInfo(int key);
