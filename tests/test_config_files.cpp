// Configuration files: ".OVC" files and ".OVCZ" archives saved and loaded by orvalis-tool
// into empty data folders, archives written by Info-ZIP and Python's zipfile, hostile
// archives refused with nothing written anywhere, and a load that fails halfway.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/core/ConfigFile.h"
#include "shell/core/ConfigZip.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {
// Every file and folder under `dir` with its bytes (folders map to "<dir>").
std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> out;
    if (!fs::exists(dir)) return out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string rel = fs::relative(e.path(), dir).string();
        out[rel] = e.is_directory() ? "<dir>" : ReadFileOrEmpty(e.path().string());
    }
    return out;
}

class ConfigFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root.File("home/Docs"));
        fs::create_directories(root.File("tmp"));
        src = root.File("src");
        fs::copy(TestData("config/source"), src, fs::copy_options::recursive);
        // The source written once by the program itself, so that loaded files compare
        // byte for byte.
        ASSERT_EQ(Tool({"prefs", src + "/Orvalis.ini", src + "/Orvalis.ini"}).ExitCode, 0);
        ASSERT_EQ(Tool({"store", "--data", src}).ExitCode, 0);
        fs::remove(src + "/Orvalis.Log");
        archives = root.File("made");
        const ProcessResult py =
            RunProcess({"/usr/bin/python3", TestData("config/make_archives.py"), src, archives,
                        root.File("absolute-target.txt")});
        ASSERT_EQ(py.ExitCode, 0) << py.Err;
    }
    ProcessResult Tool(const std::vector<std::string>& args) {
        return RunTool(args, root.Path(),
                       {"HOME=" + root.File("home"), "XDG_DOCUMENTS_DIR=" + root.File("home/Docs"),
                        "TMPDIR=" + root.File("tmp")});
    }
    std::string FreshFolder(const std::string& name) {
        const std::string d = root.File(name);
        fs::create_directories(d);
        return d;
    }
    // The data folder holds the source's preferences, catalogue and (when asked) articles.
    void ExpectSameAsSource(const std::string& dst, bool withArticles, const std::string& what) {
        EXPECT_EQ(ReadFileOrEmpty(dst + "/Orvalis.ini"), ReadFileOrEmpty(src + "/Orvalis.ini"))
            << what;
        EXPECT_EQ(ReadFileOrEmpty(dst + "/ListRSSU.Ini"), ReadFileOrEmpty(src + "/ListRSSU.Ini"))
            << what;
        for (const char* f : {"Feeds/one.example.Txt", "Feeds/two.example.Txt"}) {
            if (withArticles)
                EXPECT_EQ(ReadFileOrEmpty(dst + "/" + f), ReadFileOrEmpty(src + "/" + f))
                    << what << f;
            else // the feed's file holds its header only
                EXPECT_EQ(ReadFileOrEmpty(dst + "/" + f).find("[Items"), std::string::npos)
                    << what << f;
        }
        // The staging folder of the load is gone.
        EXPECT_TRUE(fs::is_empty(root.File("tmp"))) << what;
    }
    TempDir root;
    std::string src, archives;
};
} // namespace

TEST_F(ConfigFiles, SavedFilesLoadIntoAnEmptyDataFolderAsTheSameConfiguration) {
    struct Case {
        const char* File;
        bool WithArticles;
    } cases[] = {{"plain.OVC", false}, {"bare.OVCZ", false}, {"full.OVCZ", true}};
    for (const Case& c : cases) {
        const std::string file = root.File(c.File);
        std::vector<std::string> save = {"config", "save", "--data", src, file};
        if (c.WithArticles) save.push_back("--with-articles");
        const ProcessResult saved = Tool(save);
        ASSERT_EQ(saved.ExitCode, 0) << c.File << saved.Err;
        EXPECT_FALSE(File_Exists(file + ".Tmp"));
        const std::string dst = FreshFolder(std::string("dst-") + c.File);
        const ProcessResult loaded = Tool({"config", "load", "--data", dst, file});
        ASSERT_EQ(loaded.ExitCode, 0) << c.File << loaded.Err;
        ExpectSameAsSource(dst, c.WithArticles, c.File);
    }
    // The archive holds every entry, the articles included, readable by another reader.
    const ProcessResult list =
        RunProcess({"/usr/bin/python3", "-c",
                    "import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); "
                    "assert z.testzip() is None; print(' '.join(sorted(z.namelist())))",
                    root.File("full.OVCZ")});
    EXPECT_EQ(list.Out, "Feeds/one.example.Txt Feeds/two.example.Txt ListRSSU.Ini Orvalis.ini\n")
        << list.Err;
    // A save that cannot complete leaves nothing under the chosen name, nor its twin.
    for (const char* name : {"missing/x.OVCZ", "missing/x.OVC"}) {
        const ProcessResult failed = Tool({"config", "save", "--data", src, root.File(name)});
        EXPECT_EQ(failed.ExitCode, 1) << name;
        EXPECT_FALSE(fs::exists(root.File("missing"))) << name;
    }
    EXPECT_TRUE(ReadFileOrEmpty(root.File("plain.OVC"))
                    .rfind("\xEF\xBB\xBF; " + std::string(CONFIG_COMMENT) + "\r\n", 0) == 0);
}

TEST_F(ConfigFiles, ArchivesWrittenByInfoZipAndPythonLoad) {
    const std::string infoZip = root.File("info-zip.OVCZ");
    const ProcessResult zip = RunProcess(
        {"/usr/bin/zip", "-q", "-r", infoZip, "ListRSSU.Ini", "Orvalis.ini", "Feeds"}, src);
    ASSERT_EQ(zip.ExitCode, 0) << zip.Err;
    // Python's: upper-case names, back-slashes, and an unknown entry that is skipped.
    for (const std::string& file : {infoZip, archives + "/python.OVCZ"}) {
        const std::string dst = FreshFolder("dst-" + fs::path(file).filename().string());
        const ProcessResult loaded = Tool({"config", "load", "--data", dst, file});
        ASSERT_EQ(loaded.ExitCode, 0) << file << loaded.Err;
        ExpectSameAsSource(dst, true, file);
        EXPECT_FALSE(File_Exists(dst + "/readme.txt"));
    }
}

TEST_F(ConfigFiles, HostileFilesAreRefusedWithNothingWrittenAnywhere) {
    // An installation that already holds a configuration.
    const std::string dst = root.File("installed");
    fs::copy(src, dst, fs::copy_options::recursive);
    WriteFileOrDie(dst + "/Orvalis.ini", "MaxRss = 5\r\n");
    const auto before = Snapshot(dst);
    const auto rootBefore = Snapshot(root.Path());
    const char* hostile[] = {"zip-slip.OVCZ",  "backslash-slip.OVCZ", "absolute.OVCZ",
                             "symlink.OVCZ",   "bomb.OVCZ",           "small-bomb.OVCZ",
                             "truncated.OVCZ", "corrupt-last.OVCZ"};
    for (const char* name : hostile) {
        const ProcessResult r = Tool({"config", "load", "--data", dst, archives + "/" + name});
        EXPECT_EQ(r.ExitCode, 1) << name;
        EXPECT_NE(r.Err.find("nothing changed"), std::string::npos) << name << r.Err;
        EXPECT_EQ(Snapshot(dst), before) << name;
        EXPECT_EQ(Snapshot(root.Path()), rootBefore) << name;
        EXPECT_FALSE(File_Exists(root.File("absolute-target.txt"))) << name;
    }
    const ProcessResult noVersion =
        Tool({"config", "load", "--data", dst, TestData("config/without-version.OVC")});
    EXPECT_EQ(noVersion.ExitCode, 1);
    EXPECT_NE(noVersion.Err.find("! Error ConfigLoad, no version"), std::string::npos);
    EXPECT_EQ(Snapshot(dst), before);
    EXPECT_EQ(Snapshot(root.Path()), rootBefore);
}

TEST_F(ConfigFiles, ALoadThatFailsHalfwayLeavesTheConfigurationInMemoryAsItWas) {
    const std::string dst = root.File("running");
    fs::copy(src, dst, fs::copy_options::recursive);
    WriteFileOrDie(dst + "/ListRSSU.Ini",
                   "; Orvalis 1.10.1708.2300\r\n[Ancien]\r\nUrl = http://old.example/rss\r\n");
    const std::string oldCwd = fs::current_path().string();
    fs::current_path(dst);
    Log_Reset();
    Log_SetFile(dst + "/Orvalis.Log");
    const Preferences savedPref = Pref;
    const uint32_t savedFlags = PrefFlags;
    const PrefEnvironment savedEnv = Pref_Environment();
    Pref_Environment().DocumentsPath = root.File("home/Docs/");
    Pref_Environment().DataPath = dst + "/";
    setenv("TMPDIR", root.File("tmp").c_str(), 1);
    Pref.MaxRss = 33;
    PrefChanged = false;
    RssList.Clear();
    ASSERT_EQ(RssList_Load("ListRSSU.Ini"), 1);
    ASSERT_EQ(RssList.Size(), 1u);

    // Sound entries first, then a damaged one: nothing is replaced.
    EXPECT_EQ(ConfigZip_Load(archives + "/corrupt-last.OVCZ", 1), 0);
    EXPECT_EQ(Pref.MaxRss, 33);
    EXPECT_FALSE(PrefChanged);
    ASSERT_EQ(RssList.Size(), 1u);
    EXPECT_EQ(RssList.begin()->Name, "Ancien");
    EXPECT_EQ(ConfigLoad(TestData("config/without-version.OVC")), 0);
    EXPECT_EQ(Pref.MaxRss, 33);
    EXPECT_EQ(RssList.begin()->Name, "Ancien");

    // The whole archive: catalogue, preferences and articles replaced together.
    EXPECT_EQ(ConfigZip_Load(archives + "/python.OVCZ", 1), 1);
    EXPECT_EQ(Pref.MaxRss, 77);
    EXPECT_TRUE(PrefChanged);
    ASSERT_EQ(RssList.Size(), 2u);
    size_t articles = 0;
    for (const Rss& f : RssList)
        articles += f.Items.Size();
    EXPECT_EQ(articles, 3u);
    EXPECT_TRUE(fs::is_empty(root.File("tmp")));

    // An archive without preferences replaces the catalogue and keeps the preferences.
    const std::string catalogueOnly = root.File("catalogue-only.OVCZ");
    ASSERT_EQ(RunProcess({"/usr/bin/zip", "-q", catalogueOnly, "ListRSSU.Ini"}, src).ExitCode, 0);
    Pref.MaxRss = 44;
    RssList.Clear();
    EXPECT_EQ(ConfigZip_Load(catalogueOnly, 1), 1);
    EXPECT_EQ(Pref.MaxRss, 44);
    EXPECT_EQ(RssList.Size(), 2u);

    EXPECT_EQ(Config_ForceExtension("/a.b/conf.txt", "OVC"), "/a.b/conf.OVC");
    EXPECT_EQ(Config_ForceExtension("/a.b/conf", "OVCZ"), "/a.b/conf.OVCZ");
    EXPECT_EQ(Config_ForceExtension("/a/.hidden", "OVC"), "/a/.hidden.OVC");

    RssList.Clear();
    Pref = savedPref;
    PrefFlags = savedFlags;
    Pref_Environment() = savedEnv;
    unsetenv("TMPDIR");
    fs::current_path(oldCwd);
}
