// orvalis-tool store --data DIR: a data folder loaded as start-up does and saved as the
// exit sequence does.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

static void CopyInto(const std::string& fixture, const std::string& dir) {
    fs::copy(TestData(fixture), dir,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

static std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

static void ExpectSameFolder(const std::string& got, const std::string& want) {
    EXPECT_EQ(Names(got), Names(want));
    for (const std::string& name : Names(want))
        EXPECT_EQ(ReadFileOrEmpty(got + "/" + name), ReadFileOrEmpty(want + "/" + name)) << name;
}

TEST(StoreTool, WritesADataFolderBackByteForByte) {
    TempDir dir;
    CopyInto("store/roundtrip", dir.Path());
    CopyInto("store/roundtrip-catalogue", dir.Path());
    const ProcessResult r = RunTool({"store", "--data", dir.Path()});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    ExpectSameFolder(dir.File("Feeds"), TestData("store/roundtrip-expected/Feeds"));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("ListRSSU.Ini")),
              ReadFileOrEmpty(TestData("store/roundtrip-catalogue/ListRSSU.Ini")));
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"Feeds", "ListRSSU.Ini"}));
    // A second run finds nothing to change.
    EXPECT_EQ(RunTool({"store", "--data", dir.Path()}).ExitCode, 0);
    ExpectSameFolder(dir.File("Feeds"), TestData("store/roundtrip-expected/Feeds"));
}

TEST(StoreTool, MigratesTheOlderXmlStore) {
    TempDir dir;
    CopyInto("store/xml/migrated-from-itemsu", dir.Path());
    CopyInto("store/xml/migrated-catalogue", dir.Path());
    const ProcessResult r = RunTool({"store", "--data", dir.Path()});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    ExpectSameFolder(dir.File("Feeds"), TestData("store/xml/migrated-expected/Feeds"));
    EXPECT_FALSE(fs::exists(dir.File("ItemsU.Xml")));
}

TEST(StoreTool, WithoutACatalogueTouchesNothingAndSaysWhy) {
    TempDir dir;
    CopyInto("store/roundtrip", dir.Path());
    const ProcessResult r = RunTool({"store", "--data", dir.Path()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("no catalogue"), std::string::npos);
    ExpectSameFolder(dir.File("Feeds"), TestData("store/roundtrip/Feeds"));
    EXPECT_TRUE(fs::exists(dir.File("ItemsU.Xml")));
}

TEST(StoreTool, RefusesAMissingFolderAndBadArguments) {
    EXPECT_EQ(RunTool({"store", "--data", "/nonexistent/orvalis/data"}).ExitCode, 1);
    EXPECT_EQ(RunTool({"store"}).ExitCode, 2);
    EXPECT_EQ(RunTool({"store", "--bogus"}).ExitCode, 2);
}
