// Starting with the session through an XDG autostart entry.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/FileUtil.h"
#include "shell/core/AutoStart.h"
#include "support/TestSupport.h"

namespace {
class AutoStart : public ::testing::Test {
  protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    TempDir dir;
};
} // namespace

TEST_F(AutoStart, TickingWritesAnEntryThatStartsTheProgram) {
    ASSERT_TRUE(AutoStart_Set(true, "/opt/My Apps/Orvalis"));
    EXPECT_EQ(AutoStart_EntryPath(), dir.File("autostart/Orvalis.desktop"));
    EXPECT_TRUE(AutoStart_IsSet());
    const std::string entry = ReadFileOrEmpty(AutoStart_EntryPath());
    EXPECT_NE(entry.find("[Desktop Entry]\nType=Application\nName=Orvalis\n"), std::string::npos);
    EXPECT_NE(entry.find("Exec=\"/opt/My Apps/Orvalis\"\n"), std::string::npos);
}

TEST_F(AutoStart, ReservedCharactersOfTheProgramPathAreEscaped) {
    ASSERT_TRUE(AutoStart_Set(true, "/home/a\"b/$x/100%/Orvalis"));
    EXPECT_NE(
        ReadFileOrEmpty(AutoStart_EntryPath()).find("Exec=\"/home/a\\\"b/\\$x/100%%/Orvalis\"\n"),
        std::string::npos);
}

TEST_F(AutoStart, UntickingRemovesTheEntryAndAnAbsentEntryIsNoError) {
    ASSERT_TRUE(AutoStart_Set(true, "/usr/bin/Orvalis"));
    EXPECT_TRUE(AutoStart_Set(false, "/usr/bin/Orvalis"));
    EXPECT_FALSE(AutoStart_IsSet());
    EXPECT_TRUE(AutoStart_Set(false, "/usr/bin/Orvalis"));
}
