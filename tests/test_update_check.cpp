// The check for a new version: the version read from an update page served by a local
// server, compared field by field as whole numbers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "shell/core/UpdateCheck.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

TEST(UpdateCheck, VersionsCompareTheirFirstTwoFieldsAsWholeNumbers) {
    const VersionNumber local = Version_Value("1.10.1708.2300");
    EXPECT_EQ(Version_ValueText(local), "1.10");
    EXPECT_TRUE(Version_IsNewer(Version_Value("1.11"), local));
    EXPECT_TRUE(Version_IsNewer(Version_Value("2.0"), local));
    EXPECT_FALSE(Version_IsNewer(Version_Value("1.9"), local)); // not 1.9 > 1.1
    EXPECT_FALSE(Version_IsNewer(Version_Value("1.10.1800"), local));
    EXPECT_FALSE(Version_IsNewer(Version_Value(""), local));
    EXPECT_EQ(Version_ValueText(Version_Value(" 1 . 12beta.3")), "1.12");
    EXPECT_EQ(UpdatePage_VersionText("<p>Dernière VERSION : 1,11</p>"), "1.11");
    EXPECT_EQ(UpdatePage_VersionText("version : 1.11\r\nautre ligne 9.9"), "1.11");
    EXPECT_EQ(UpdatePage_VersionText("version : 1.11 : date"), "1.11");
    EXPECT_EQ(UpdatePage_VersionText("no marker here"), "");
}

TEST(UpdateCheck, TheToolReadsEachPageFromALocalServer) {
    LocalHttpServer server;
    struct Case {
        const char* Path;
        const char* Page;
        const char* Expected;
    } cases[] = {
        {"/newer", "<html><body><p>Version : 1.11<br>Windows</p></body></html>",
         "remote version: 1.11\nvalue: 1.11\nnewer\n"},
        {"/comma", "<p>version : 1,11</p>", "remote version: 1.11\nvalue: 1.11\nnewer\n"},
        {"/nine", "version : 1.9\r\n", "remote version: 1.9\nvalue: 1.9\nsame\n"},
        {"/build", "version : 1.10.1800<", "remote version: 1.10.1800\nvalue: 1.10\nsame\n"},
        {"/none", "<p>Orvalis 9.99</p>", "remote version: \nvalue: 0.0\nsame\n"},
    };
    TempDir tmp;
    for (const Case& c : cases)
        server.Serve(c.Path, HttpOk(c.Page, "text/html"));
    for (const Case& c : cases) {
        const ProcessResult r =
            RunTool({"checkversion", server.Url(c.Path)}, tmp.Path(), {"TMPDIR=" + tmp.Path()});
        EXPECT_EQ(r.ExitCode, 0) << c.Path << r.Err;
        EXPECT_EQ(r.Out, c.Expected) << c.Path;
        // The downloaded copy and its private folder are gone.
        EXPECT_TRUE(std::filesystem::is_empty(tmp.Path())) << c.Path;
    }
    const ProcessResult missing =
        RunTool({"checkversion", server.Url("/absent")}, tmp.Path(), {"TMPDIR=" + tmp.Path()});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_NE(missing.Err.find("not reachable"), std::string::npos) << missing.Err;
    EXPECT_TRUE(std::filesystem::is_empty(tmp.Path()));
}
