// Shared by the item store tests: a data folder made the current directory, and feeds
// built straight into RssList.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "shell/base/AppState.h"
#include "shell/base/Log.h"
#include "catalogue/core/ItemsFile.h"
#include "shell/core/Startup.h"
#include "support/TestSupport.h"

// Each test runs inside a fresh data folder with an empty catalogue.
class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_old = std::filesystem::current_path().string();
        std::filesystem::current_path(m_dir.Path());
        Log_Reset();
        Log_SetFile(m_dir.Path() + "/Orvalis.Log");
        RssList.Clear();
        PlayedFeeds.clear();
        PlayedItems.clear();
        Items_ResetFeedIDCounter();
        AppState_Clear(APPSTATE_ITEMS_TO_SAVE);
        ItemStore_Settings() = ItemStoreSettings();
        NoSaveItems = 0;
        DBBaseMode = 0;
    }
    void TearDown() override {
        RssList.Clear();
        ItemStore_Settings() = ItemStoreSettings();
        NoSaveItems = 0;
        DBBaseMode = 0;
        std::filesystem::current_path(m_old);
    }
    // Copies tests/data/<name>/ into the data folder.
    void CopyFixture(const std::string& name) {
        std::filesystem::copy(TestData(name), m_dir.Path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }
    Rss& AddFeed(const std::string& name, const std::string& url, const std::string& file,
                 int32_t rssID, const std::string& extractAs = "") {
        RssList.Reset();
        Rss& feed = RssList.AddLast();
        feed.Name = name;
        feed.Url = url;
        feed.ItemsFileName = file;
        feed.RssID = rssID;
        feed.ExtractAs = extractAs;
        feed.Flags = RSSFLAG_ACTUALIZE_ON_START;
        return feed;
    }
    std::string Path(const std::string& name) const { return m_dir.File(name); }
    TempDir m_dir;

  private:
    std::string m_old;
};
