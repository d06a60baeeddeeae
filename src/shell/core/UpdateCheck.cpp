#include "shell/core/UpdateCheck.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "update/net/DownloadTool.h"

namespace {
// An update page is a small page; more than this is not read.
constexpr size_t kMaxPage = 1 << 20;

int64_t WholeNumber(std::string_view field) {
    const std::string t = Trim(field);
    int64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') break;
        if (v > 100000000) break; // no version field is that long
        v = v * 10 + (c - '0');
    }
    return v;
}
} // namespace

VersionNumber Version_Value(std::string_view text) {
    VersionNumber v;
    const size_t dot = text.find('.');
    v.Major = WholeNumber(text.substr(0, dot));
    if (dot != std::string_view::npos) {
        std::string_view rest = text.substr(dot + 1);
        v.Minor = WholeNumber(rest.substr(0, rest.find('.')));
    }
    return v;
}

std::string Version_ValueText(VersionNumber v) {
    return std::to_string(v.Major) + "." + std::to_string(v.Minor);
}

bool Version_IsNewer(VersionNumber remote, VersionNumber local) {
    if (remote.Major != local.Major) return remote.Major > local.Major;
    return remote.Minor > local.Minor;
}

std::string UpdatePage_VersionText(std::string_view page) {
    const std::string lower = Utf8Lower(page);
    const size_t at = lower.find("version :");
    if (at == std::string::npos) return {};
    std::string text = Utf8Left(std::string_view(lower).substr(at), 50);
    const size_t colon = text.find(':');
    text = text.substr(colon + 1);
    // The version ends at the next field separator, tag or line break.
    const size_t end = text.find_first_of(":<\r\n");
    if (end != std::string::npos) text.erase(end);
    return ReplaceAll(Trim(text), ",", ".");
}

CheckVersionResult CheckNewVersion_Run(const std::string& url) {
    CheckVersionResult result;
    Log("* Check for new version");
    Log(" Current Version : " ORVALIS_VERSION);
    if (!Network_IsAvailable()) Network_Init();
    if (!Network_IsAvailable()) {
        result.Status = CHECKVERSION_NO_NETWORK;
        return result;
    }
    // A private folder: a fixed name in the shared temporary folder could be a link
    // planted by another user.
    const std::string folder = Dir_MakeTemp(Dir_Temp() + "Orvalis-Version-");
    if (folder.empty()) {
        Log("! Can't acces to Tamporary FileVersion !");
        result.Status = CHECKVERSION_NO_TEMP;
        return result;
    }
    const std::string file = folder + "/Orvalis.txt";
    Log(" Temporary Html File : " + file);
    Log(" URL File Page = " + url);
    auto cleanUp = [&] {
        File_Delete(file);
        Dir_Delete(folder);
    };
    const DownloadSettings settings = Download_GetSettings();
    if (!DownloadFile(url, file, 0, 0, settings, settings.MaxDocumentBytes)) {
        cleanUp();
        result.Status = CHECKVERSION_NOT_REACHED;
        return result;
    }
    std::string page;
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) {
        cleanUp();
        Log("! Can't acces to Tamporary FileVersion !");
        result.Status = CHECKVERSION_NO_TEMP;
        return result;
    }
    page.resize(kMaxPage);
    page.resize(std::fread(page.data(), 1, kMaxPage, f));
    std::fclose(f);
    cleanUp();
    result.Remote = UpdatePage_VersionText(page);
    result.Value = Version_Value(result.Remote);
    const VersionNumber local = Version_Value(ORVALIS_VERSION);
    Log(" New version : " + result.Remote + " = " + Version_ValueText(result.Value) +
        " Local=" + Version_ValueText(local));
    result.Status = Version_IsNewer(result.Value, local) ? CHECKVERSION_NEWER : CHECKVERSION_SAME;
    return result;
}
