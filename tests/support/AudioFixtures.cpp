#include "support/AudioFixtures.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/TestSupport.h"

std::string Audio_MakeTone(const std::string& dir, const std::string& ext, int seconds) {
    const std::string file = dir + "/tone" + std::to_string(seconds) + "." + ext;
    if (!ReadFileOrEmpty(file).empty()) return file;
    ProcessResult r = RunProcess({"/usr/bin/sox", "-n", "-r", "44100", "-c", "2", file, "synth",
                                  std::to_string(seconds), "sine", "440", "vol", "0.3"});
    return r.ExitCode == 0 ? file : std::string();
}

IcyRadio::IcyRadio(const std::string& dir, const std::string& mp3,
                   const std::vector<std::string>& titles, double gap) {
    const std::string portFile = dir + "/radio-port.txt";
    std::vector<std::string> args = {"/usr/bin/python3",
                                     std::string(ORVALIS_TEST_DATA) + "/../support/icy_radio.py",
                                     mp3,
                                     portFile,
                                     "--gap",
                                     std::to_string(gap)};
    for (const std::string& t : titles) {
        args.push_back("--title");
        args.push_back(t);
    }
    m_pid = fork();
    if (m_pid == 0) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    for (int i = 0; i < 200 && m_pid > 0; ++i) {
        const std::string port = ReadFileOrEmpty(portFile);
        if (!port.empty()) {
            m_port = std::stoi(port);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

IcyRadio::~IcyRadio() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

std::string IcyRadio::Url() const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/stream";
}
