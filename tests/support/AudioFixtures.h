// Real audio for the tests: tones made with sox at test time, and the small ICY radio
// (tests/support/icy_radio.py) run as a child process.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

// A 60 s 440 Hz tone in `dir` with this extension ("mp3", "ogg", "flac", "wav"), made
// once per folder; "" when sox failed.
std::string Audio_MakeTone(const std::string& dir, const std::string& ext, int seconds = 60);

// The radio on a port of its own, streaming `mp3` with the given titles (a title
// prefixed "cp1252:" is sent in Windows-1252), switching every `gap` seconds. Stopped
// when destroyed.
class IcyRadio {
  public:
    IcyRadio(const std::string& dir, const std::string& mp3, const std::vector<std::string>& titles,
             double gap);
    ~IcyRadio();
    bool Ok() const { return m_port > 0; }
    std::string Url() const;

  private:
    pid_t m_pid = -1;
    int m_port = 0;
};
