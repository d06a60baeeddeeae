#include "discovery/core/BankExchange.h"

#include <zlib.h>

#include <chrono>
#include <unordered_set>
#include <vector>

#include "catalogue/core/RssList.h"
#include "discovery/core/Discovery.h"
#include "discovery/core/FeedBank.h"
#include "discovery/core/FeedSelection.h"
#include "discovery/core/OPML.h"
#include "discovery/core/OpmlExchange.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "update/core/Date.h"

static long long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

static std::unordered_set<std::string> LowerUrls(const CursorList<Rss>& list) {
    std::unordered_set<std::string> urls;
    for (const Rss& f : list)
        urls.insert(Utf8Lower(f.Url));
    return urls;
}

std::string DBRss_BankPage(const std::string& bankUrl) {
    const size_t scheme = bankUrl.find("://");
    const size_t host = scheme == std::string::npos ? 0 : scheme + 3;
    const size_t slash = bankUrl.find('/', host);
    return bankUrl.substr(0, slash) + "/OrvalisDB/index.php";
}

int DBRss_NewFeedLines(const std::string& bankFile, std::string& lines) {
    lines.clear();
    CursorList<Rss> bank;
    if (!File_Exists(bankFile)) {
        Log("! Error, DBRss_Share() can't open OrvalisU.Dat");
        return -1;
    }
    DBRss_Read(bankFile, bank);
    const std::unordered_set<std::string> known = LowerUrls(bank);
    int n = 0;
    for (const Rss& f : RssList) {
        if (EqualsNoCase(f.Group, "Obsolète") || IsPlugInType(f.ExtractAs)) continue;
        if (known.count(Utf8Lower(f.Url))) continue;
        if (n++) lines += '\n';
        lines += DBRss_Line(f);
    }
    return n;
}

std::string DBRss_ProposalText(std::string_view lines) {
    // Output buffer: 1.4 times the text, at least 64 bytes (always above zlib's bound
    // for text this size plus its header).
    uLongf size = std::max<uLongf>(64, compressBound(lines.size()));
    size = std::max<uLongf>(size, static_cast<uLongf>(lines.size() * 1.4));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(lines.data()), lines.size(),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(size);
    return "UTF8\n" + Base64Encode(packed) + "\nMD5:" + Md5Hex(lines);
}

// Inflates a zlib stream, refusing one that grows beyond `limit` or does not end.
static bool Inflate(std::string_view packed, std::string& out, size_t limit) {
    out.clear();
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    char buf[65536];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buf);
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        const size_t got = sizeof buf - z.avail_out;
        if (out.size() + got > limit) {
            rc = Z_MEM_ERROR;
            break;
        }
        out.append(buf, got);
        if (rc == Z_BUF_ERROR && z.avail_in == 0) break; // truncated
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END;
}

bool DBRss_DecodeProposal(std::string_view text, std::string& lines) {
    lines.clear();
    std::vector<std::string> parts = Split(text, '\n');
    for (std::string& p : parts)
        p = Trim(p);
    if (parts.empty() || !EqualsNoCase(parts[0], "utf8")) return false;
    std::string base64, md5;
    for (size_t i = 1; i < parts.size(); ++i) {
        if (StartsWithNoCase(parts[i], "MD5:"))
            md5 = Utf8Lower(Trim(parts[i].substr(4)));
        else
            base64 += parts[i];
    }
    const std::string packed = Base64Decode(base64);
    if (packed.empty() || !Inflate(packed, lines, BANK_PROPOSAL_MAX_BYTES)) {
        Log("! Error, DBRss_GetFromClipboard() proposal not decoded");
        lines.clear();
        return false;
    }
    if (!md5.empty() && md5 != Md5Hex(lines)) {
        Log("! Error, DBRss_GetFromClipboard() proposal fingerprint differs");
        lines.clear();
        return false;
    }
    return true;
}

int DBRss_ShareNewRss(DiscoveryUi& ui, const std::function<void(const std::string&)>& putText,
                      const std::function<void(const std::string&)>& openPage) {
    Log("* DBRss_ShareNewRss()");
    std::string lines;
    const int n = DBRss_NewFeedLines(BANK_FILE, lines);
    if (n < 0) return 0;
    Log(" foud new Rss, " + std::to_string(n) + ", " + std::to_string(Utf8Length(lines)) +
        " chars");
    if (n == 0) {
        ui.Message(Lng(L_Request_Error), Lng(L_Msg_NoNewRssToShare));
        return 0;
    }
    if (!ui.AskYesNo(Lng(L_Request_Info), Lng(L_OPML_AskShare))) return 0;
    putText(DBRss_ProposalText(lines));
    openPage(DBRss_BankPage(Pref.DBRssURL));
    for (Rss& f : RssList)
        f.Flags |= RSSFLAG_SHARED;
    RssList_DirectSave(CATALOGUE_FILE);
    return n;
}

int DBRss_ReadClipboardText(std::string_view text, CursorList<Rss>& list) {
    std::string clean;
    clean.reserve(text.size());
    for (char c : text)
        if (c != '\r') clean += c;
    std::string lines = clean;
    const size_t nl = clean.find('\n');
    if (EqualsNoCase(Trim(clean.substr(0, nl)), "utf8") && !DBRss_DecodeProposal(clean, lines))
        lines.clear();
    const std::vector<std::string> split =
        lines.empty() ? std::vector<std::string>{} : Split(lines, '\n');
    Log(std::to_string(split.size()) + " Rss in clipboard");
    std::unordered_set<std::string> seen;
    int n = 0;
    for (const std::string& line : split) {
        Rss f;
        if (!DBRss_ReadLine(line, f)) continue;
        if (!seen.insert(Utf8Lower(f.Url)).second) continue;
        if (EqualsNoCase(f.Group, "Obsolète")) f.Group = "Obsolète test";
        list.AddLast(std::move(f));
        ++n;
    }
    return n;
}

int DBRss_GetFromClipboard(std::string_view text, DiscoveryUi& ui) {
    Log("* DBRss_GetFromClipboard()");
    CursorList<Rss> list;
    DBRss_ReadClipboardText(text, list);
    return OfferNewBankFeeds(list, BANK_FROM_CLIPBOARD,
                             SELECTMODE_IMPORT | SELECTMODE_VERIFY | SELECTMODE_ALL, ui);
}

int OfferNewBankFeeds(CursorList<Rss>& list, int source, int mode, DiscoveryUi& ui) {
    const auto start = std::chrono::steady_clock::now();
    const size_t examined = list.Size();
    DropKnownFeeds(list);
    Log(std::to_string(list.Size()) + " new Rss found, from " + std::to_string(examined) + ", in " +
        std::to_string(ElapsedMs(start)) + " ms");
    if (list.Empty()) {
        ui.Message(Lng(L_Request_Info),
                   Lng(source == BANK_FROM_CLIPBOARD ? L_Msg_NoNewRssToBase : L_Msg_NoNewRssInBase,
                       std::to_string(examined)));
        return 0;
    }
    const size_t before = RssList.Size();
    if (!ui.SelectFeeds(list, mode, {})) return 0;
    RssList_CheckActiveLimit();
    ui.CatalogueChanged();
    RssList_DirectSave(CATALOGUE_FILE);
    return static_cast<int>(RssList.Size() - before);
}

void BankFeeds_KeepKind(CursorList<Rss>& list, int mode) {
    const int kind = mode & 0xFF;
    if (kind == 3)
        list.Raw().remove_if([](const Rss& f) { return !IsNetRadio(f.ExtractAs); });
    else if (kind == 4)
        list.Raw().remove_if([](const Rss& f) { return !(f.ContentRss & CONTENT_PODCAST); });
    list.Reset();
}

int User_AddRSS(int mode, DiscoveryUi& ui, const std::string& bankFile) {
    Log("* User_AddRSS()");
    CursorList<Rss> list;
    DBRss_Read(bankFile, list);
    BankFeeds_KeepKind(list, mode);
    return OfferNewBankFeeds(list, BANK_FROM_FILE, mode, ui);
}

int DBRss_Update(const std::string& url, const std::string& bankFile,
                 const DownloadSettings& settings) {
    Log("* UpdateDBRSS()");
    const int32_t local = DBRss_HeaderDate(bankFile);
    Log(" LocalDate = " + Date_Format("%yyyy/%mm/%dd %hh:%ii", local));
    const std::string tmp = bankFile + ".Tmp";
    File_Delete(tmp);
    if (!Network_Init() || url.empty() || !DownloadFile(url, tmp, 0, 0, settings)) {
        File_Delete(tmp);
        Log("! Error, UpdateDBRSS() not downloaded");
        return BANK_UPDATE_ERROR;
    }
    bool isBank = false;
    const int32_t distant = DBRss_HeaderDate(tmp, &isBank);
    Log(" DistantDate = " + Date_Format("%yyyy/%mm/%dd %hh:%ii", distant));
    if (!isBank) {
        File_Delete(tmp);
        Log("! Error, UpdateDBRSS() not a feed bank");
        return BANK_UPDATE_ERROR;
    }
    if (distant <= local) {
        File_Delete(tmp);
        return BANK_SAME;
    }
    if (!File_Rename(tmp, bankFile)) {
        File_Delete(tmp);
        Log("! Error, UpdateDBRSS() can't replace " + bankFile);
        return BANK_UPDATE_ERROR;
    }
    for (Rss& f : RssList)
        f.Flags &= ~RSSFLAG_SHARED;
    RssList_DirectSave(CATALOGUE_FILE);
    return BANK_UPDATED;
}

int UpdateDBRSS(DiscoveryUi& ui) {
    const int status = DBRss_Update(Pref.DBRssURL, BANK_FILE, Download_GetSettings());
    if (status == BANK_UPDATED)
        ui.Message(Lng(L_Request_Info), Lng(L_Msg_UpdateDBRss_Ok));
    else if (status == BANK_SAME)
        ui.Message(Lng(L_Request_Info), Lng(L_Msg_UpdateDBRss_NoNew));
    else
        ui.Message(Lng(L_Request_Error), Lng(L_Msg_UpdateDBRss_Ko));
    return status;
}

CursorList<Rss> FindObsoleteFeeds(int parallel, const DownloadSettings& settings,
                                  const RadioCheck& radioOpens,
                                  const std::function<bool(int, int)>& poll) {
    std::vector<const Rss*> feeds, radios;
    for (const Rss& f : RssList) {
        if (EqualsNoCase(f.Group, "Obsolète")) continue;
        if (IsNetRadio(f.ExtractAs))
            radios.push_back(&f);
        else if (IsFeedFormat(f.ExtractAs))
            feeds.push_back(&f);
    }
    const int total = static_cast<int>(feeds.size() + radios.size());
    std::vector<std::string> urls;
    for (const Rss* f : feeds)
        urls.push_back(f->Url);
    bool cancelled = false;
    const std::vector<FeedProbe> probes =
        Discovery_CheckAll(urls, parallel, settings, [&](int checked, int, int) {
            cancelled = poll && !poll(checked, total);
            return !cancelled;
        });
    CursorList<Rss> dead;
    for (size_t i = 0; i < feeds.size(); ++i)
        if (!probes[i].Stopped && probes[i].Answer != 2) dead.AddLast(*feeds[i]);
    int done = static_cast<int>(feeds.size());
    for (const Rss* r : radios) {
        if (cancelled || (poll && !poll(done, total))) break;
        ++done;
        if (radioOpens && !radioOpens(r->Url)) dead.AddLast(*r);
    }
    return dead;
}

int IdentifyObsoleteFeeds(DiscoveryUi& ui, const RadioCheck& radioOpens) {
    Log("* IdentifyObsoleteFeeds()");
    ui.WaitOpen(Lng(L_Title_CheckGoodRSS), Lng(L_Msg_Wait), static_cast<int>(RssList.Size()));
    CursorList<Rss> dead = FindObsoleteFeeds(DISCOVERY_PARALLEL, Download_GetSettings(), radioOpens,
                                             [&](int done, int) { return ui.WaitStep(done, {}); });
    ui.WaitClose();
    if (dead.Empty()) {
        ui.Message(Lng(L_Request_Info), Lng(L_Msg_AllGoodRss));
        return 0;
    }
    if (!ui.SelectFeeds(dead, SELECTMODE_OBSOLETE | SELECTMODE_ALL, {})) return 0;
    ui.CatalogueChanged();
    RssList_DirectSave(CATALOGUE_FILE);
    return static_cast<int>(dead.Size());
}
