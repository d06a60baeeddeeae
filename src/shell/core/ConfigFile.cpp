#include "shell/core/ConfigFile.h"

#include <unistd.h>

#include <cstdlib>
#include <list>

#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/AppState.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"

namespace {
// A ".OVC" file larger than this is no configuration of ours.
constexpr long long kMaxOvc = 64LL << 20;

// A private folder in the system's temporary folder for the two files the loaders read by
// name; removed with its content by the destructor.
class StagingFolder {
  public:
    StagingFolder() {
        const std::string made = Dir_MakeTemp(Dir_Temp() + "Orvalis-Config-");
        if (!made.empty()) m_path = made + "/";
    }
    ~StagingFolder() {
        for (const std::string& f : m_files)
            File_Delete(f);
        if (!m_path.empty()) Dir_Delete(m_path);
    }
    bool Ok() const { return !m_path.empty(); }
    // Writes `name` into the folder; "" when that failed.
    std::string Put(const std::string& name, const std::string& bytes) {
        const std::string path = m_path + name;
        m_files.push_back(path);
        return File_WriteAll(path, bytes) ? path : std::string();
    }

  private:
    std::string m_path;
    std::list<std::string> m_files;
};
} // namespace

std::string Config_ForceExtension(const std::string& file, const std::string& extension) {
    const size_t slash = file.find_last_of("/\\");
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = file.rfind('.');
    std::string base = file;
    // A leading dot names a hidden file, not an extension.
    if (dot != std::string::npos && dot > start) base = file.substr(0, dot);
    return base + "." + extension;
}

int ConfigSave_To(const std::string& file) {
    Log("* ConfigSave " + file);
    IniWriter w;
    w.Comment(CONFIG_COMMENT);
    Pref_Write(w);
    std::string text = w.Bytes();
    RssList_Write(text);
    // Written whole to the twin and renamed: a failed save leaves no partial file.
    if (!File_WriteAtomic(file, text)) {
        Log("! Error ConfigSave " + file);
        return 0;
    }
    return 1;
}

int ConfigLoad_Read(const std::string& file, ConfigContent& out) {
    Log("* ConfigLoad " + file);
    const long long size = File_Size(file);
    if (size <= 0 || size > kMaxOvc) {
        Log("! Error ConfigLoad, missing, empty or too large file " + file);
        return 0;
    }
    if (CatalogueFileVersion(file) <= 0) {
        Log("! Error ConfigLoad, no version in " + file);
        return 0;
    }
    std::string bytes;
    if (!File_ReadAll(file, bytes) || static_cast<long long>(bytes.size()) > kMaxOvc) {
        Log("! Error ConfigLoad, can't read " + file);
        return 0;
    }
    out = ConfigContent();
    out.HasPrefs = true;
    out.HasCatalogue = true;
    out.Prefs = bytes; // the entries before the first group
    out.Catalogue = std::move(bytes);
    return 1;
}

int ConfigLoad(const std::string& file) {
    ConfigContent content;
    if (!ConfigLoad_Read(file, content)) return 0;
    return Config_Apply(content);
}

int Config_Apply(const ConfigContent& content) {
    if (!content.HasPrefs && !content.HasCatalogue && content.Feeds.empty()) return 0;
    StagingFolder staging;
    if (!staging.Ok()) {
        Log("! Error Config_Apply, no temporary folder");
        return 0;
    }
    std::string prefsFile, catalogueFile;
    if (content.HasPrefs && (prefsFile = staging.Put("Orvalis.ini", content.Prefs)).empty()) {
        Log("! Error Config_Apply, can't write the temporary Orvalis.ini");
        return 0;
    }
    if (content.HasCatalogue &&
        (catalogueFile = staging.Put("ListRSSU.Ini", content.Catalogue)).empty()) {
        Log("! Error Config_Apply, can't write the temporary ListRSSU.Ini");
        return 0;
    }

    auto articlesOf = [&](const Rss& feed) -> const std::string* {
        auto it = content.Feeds.find(Utf8Lower(feed.ItemsFileName));
        return it == content.Feeds.end() ? nullptr : &it->second;
    };

    if (content.HasCatalogue) {
        // The current catalogue is kept aside until the new one is in place.
        std::list<Rss> previous;
        previous.swap(RssList.Raw());
        RssList.Reset();
        if (!RssList_Load(catalogueFile)) {
            RssList.Raw().swap(previous);
            RssList.Reset();
            Log("! Error Config_Apply, catalogue not loaded");
            return 0;
        }
        for (Rss& feed : RssList) {
            feed.Items.Clear();
            if (const std::string* bytes = articlesOf(feed)) {
                Feed_ReadItemsText(feed, *bytes, "Feeds/" + feed.ItemsFileName);
                feed.ItemsChanged = 1;
            } else {
                // The feed's own file, if this data folder has one: without it the next
                // save would write the feed with only its new articles.
                Feed_ReadItems(feed);
                feed.ItemsChanged = 0;
            }
        }
    } else {
        for (Rss& feed : RssList)
            if (const std::string* bytes = articlesOf(feed)) {
                feed.Items.Clear();
                Feed_ReadItemsText(feed, *bytes, "Feeds/" + feed.ItemsFileName);
                feed.ItemsChanged = 1;
            }
    }
    RssList.Reset();
    AppState_Set(APPSTATE_ITEMS_TO_SAVE);

    if (content.HasPrefs) {
        Pref_Charge(prefsFile, 1);
        PrefChanged = true;
    }
    return 1;
}
