// Speech on Windows: a stand-in "nvda.exe" or "jfw.exe" runs (it is what the process list
// shows), the stand-in client library beside it records every call, and the text that
// reaches it is checked; with no screen reader running, nothing is spoken and nothing
// fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "access/core/ScreenReaderSay.h"
#include "platform/core/FileUtil.h"
#include "platform/core/WinText.h"

namespace {

// The stand-ins are built beside the test program, in "fakes\" and its sub-folders.
std::string Fakes(const std::string& sub) {
    // Backslashes: LoadLibraryW wants them.
    std::string folder = Win_ProgramFolder();
    for (char& c : folder)
        if (c == '/') c = '\\';
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    folder += "fakes\\";
    return sub.empty() ? folder : folder + sub + "\\";
}

// A copy of the waiting program under the screen reader's name, running while it lives.
class FakeScreenReader {
  public:
    FakeScreenReader(const std::string& folder, const std::string& exeName) {
        const std::string exe = folder + "\\" + exeName;
        CopyFileW(Win_Wide(Fakes("") + "FakeScreenReaderProcess.exe").c_str(),
                  Win_Wide(exe).c_str(), FALSE);
        std::wstring command = L"\"" + Win_Wide(exe) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                           nullptr, nullptr, &si, &m_process)) {
            CloseHandle(m_process.hThread);
            m_running = true;
        }
    }
    ~FakeScreenReader() {
        if (!m_running) return;
        TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, 10000);
        CloseHandle(m_process.hProcess);
    }
    bool Running() const { return m_running; }

  private:
    PROCESS_INFORMATION m_process{};
    bool m_running = false;
};

class ScreenReaderWin : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = Win_Utf8(temp) + "orvalis-speech-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(Win_Wide(m_folder).c_str(), nullptr);
        m_log = m_folder + "\\said.txt";
        DeleteFileW(Win_Wide(m_log).c_str());
        SetEnvironmentVariableW(L"ORVALIS_FAKE_SPEECH_LOG", Win_Wide(m_log).c_str());
        ScreenReader_SetRetryDelay(0);
        ScreenReader_Close();
    }
    void TearDown() override {
        ScreenReader_Close();
        DeleteFileW(Win_Wide(m_log).c_str());
    }
    std::string Said() const {
        std::string text;
        File_ReadAll(m_log, text);
        return text;
    }
    std::string m_folder, m_log;
};

} // namespace

TEST_F(ScreenReaderWin, WithoutAScreenReaderNothingIsSpokenAndNothingFails) {
    ScreenReaderPath = Fakes("nvda");
    EXPECT_EQ(ScreenReader_Detect(), SCREENREADER_NONE);
    EXPECT_EQ(ScreenReader_Say("Mise à jour terminée", 1), 0);
    EXPECT_EQ(ScreenReader_Init(), 0);
    EXPECT_EQ(Said(), "");
}

TEST_F(ScreenReaderWin, NvdaGetsTheCleanedTextAsUtf16AfterACancelAndInBraille) {
    ScreenReaderPath = Fakes("nvda");
    FakeScreenReader nvda(m_folder, "nvda.exe");
    ASSERT_TRUE(nvda.Running());
    EXPECT_EQ(ScreenReader_Detect(), SCREENREADER_NVDA);
    // The first message loads the client by itself (under the name for 64-bit programs).
    EXPECT_EQ(ScreenReader_Say("  Article supprimé\r\n: « été » ", 1), 1);
    EXPECT_EQ(ScreenReader_Say("Non trouvé !", 0), 1);
    EXPECT_EQ(Said(), "cancel:\n"
                      "speak:Article supprimé: « été »\n"
                      "braille:Article supprimé: « été »\n"
                      "speak:Non trouvé !\n"
                      "braille:Non trouvé !\n");
}

TEST_F(ScreenReaderWin, JawsGetsTheTextAsAnsiWithTheInterruptFlag) {
    ScreenReaderPath = Fakes("jaws");
    FakeScreenReader jaws(m_folder, "jfw.exe");
    ASSERT_TRUE(jaws.Running());
    EXPECT_EQ(ScreenReader_Detect(), SCREENREADER_JAWS);
    EXPECT_NE(ScreenReader_Init(), 0);
    EXPECT_EQ(ScreenReader_Say("Volume à 80 %", 1), 1);
    EXPECT_EQ(ScreenReader_Say("Fin", 0), 1);
    // Loading says an empty text once.
    EXPECT_EQ(Said(), "say:\nsay-interrupt:Volume à 80 %\nsay:Fin\n");
}

TEST_F(ScreenReaderWin, AJawsLibraryWithoutOneOfItsFourFunctionsIsNotUsed) {
    ScreenReaderPath = Fakes("jaws-partial");
    FakeScreenReader jaws(m_folder, "jfw.exe");
    ASSERT_TRUE(jaws.Running());
    // No JAWS automation object is registered here either: silence.
    EXPECT_EQ(ScreenReader_Say("Bonjour", 1), 0);
    EXPECT_EQ(Said(), "");
}
