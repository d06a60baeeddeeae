// Exchanges around the feed bank: the feeds a user adds from it, the proposal of the
// user's new feeds to it (a text pasted on the bank page), the maintainer's reading of
// such proposals, the refresh of the local bank from the update server, and the search
// for feeds that no longer work. Questions and windows go through DiscoveryUi; the
// tool and the tests give their own answers.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "catalogue/core/Records.h"
#include "discovery/core/DiscoveryUi.h"
#include "update/net/DownloadTool.h"

// The most bytes a proposal may inflate to; a larger one is refused whole.
inline constexpr size_t BANK_PROPOSAL_MAX_BYTES = 64u * 1024 * 1024;
// Where a proposal is pasted: the bank page on the server of the bank address.
std::string DBRss_BankPage(const std::string& bankUrl);

// The catalogue feeds a proposal carries: not in the group "Obsolète", not extractors,
// not in the bank file `bankFile` (address ignoring case). -1 when the bank cannot be
// read (logged), else the count; the bank lines go to `lines` joined by line feeds.
int DBRss_NewFeedLines(const std::string& bankFile, std::string& lines);
// The proposal text of bank lines: "UTF8", a line feed, the Base64 of the zlib
// compression of the lines, a line feed, "MD5:" + the MD5 of the lines.
std::string DBRss_ProposalText(std::string_view lines);
// The bank lines a proposal carries, or false (logged) when the text is no proposal,
// does not decode, inflates beyond BANK_PROPOSAL_MAX_BYTES or fails its fingerprint.
bool DBRss_DecodeProposal(std::string_view text, std::string& lines);
// The proposal command: the new feeds, the question, the text handed to `putText` (the
// clipboard), the bank page opened through `openPage`, every feed marked shared and the
// catalogue saved. Returns the number of feeds proposed (0: none or declined).
int DBRss_ShareNewRss(DiscoveryUi& ui, const std::function<void(const std::string&)>& putText,
                      const std::function<void(const std::string&)>& openPage);
// The entries of a clipboard text: a proposal is decoded; each line read as a bank
// entry, the group "Obsolète" becoming "Obsolète test", repeated addresses dropped.
// Appends to `list` and returns the count (0 for a text that does not decode).
int DBRss_ReadClipboardText(std::string_view text, CursorList<Rss>& list);
// The maintainer's command on the clipboard text: its entries offered for import.
int DBRss_GetFromClipboard(std::string_view text, DiscoveryUi& ui);

// Where the offered feeds come from (chooses the message when none is new).
enum BankSource : int { BANK_FROM_FILE = 0, BANK_FROM_CLIPBOARD = 1 };
// Drops from `list` the feeds the catalogue has (ignoring case); none left: the
// message of `source`; otherwise the selection window in `mode`, and on confirmation the
// tree rebuilt and the catalogue saved. Returns the number of feeds added.
int OfferNewBankFeeds(CursorList<Rss>& list, int source, int mode, DiscoveryUi& ui);
// The bank feeds a mode offers: 2 all, 3 radios, 4 podcasts.
void BankFeeds_KeepKind(CursorList<Rss>& list, int mode);
// Adding feeds from the bank file `bankFile` in mode 2, 3 or 4.
int User_AddRSS(int mode, DiscoveryUi& ui, const std::string& bankFile);

// Outcome of UpdateDBRSS.
enum BankUpdateStatus : int { BANK_UPDATED = 0, BANK_SAME = 1, BANK_UPDATE_ERROR = 2 };
// Downloads `url` beside `bankFile` (".Tmp") and, when it is a bank dated later than
// the local one, puts it in place by a rename, clears every catalogue feed's Shared bit
// and saves the catalogue. The temporary file never stays. No box: the caller shows the
// message of the status.
int DBRss_Update(const std::string& url, const std::string& bankFile,
                 const DownloadSettings& settings);
// The command: DBRss_Update from "DBRssURL" with its message.
int UpdateDBRSS(DiscoveryUi& ui);

// The catalogue feeds that no longer work: built-in formats outside "Obsolète" whose
// address does not give a feed with items, and radios whose stream does not open
// (checked through `radioOpens`; without it radios are not judged). Checked
// `parallel` at a time; `poll` as in the checks of many addresses.
using RadioCheck = std::function<bool(const std::string& url)>;
CursorList<Rss> FindObsoleteFeeds(int parallel, const DownloadSettings& settings,
                                  const RadioCheck& radioOpens,
                                  const std::function<bool(int, int)>& poll);
// The command: the wait box, then the selection window in mode 0x405; the confirmed
// feeds go to "Obsolète", the tree is rebuilt and the catalogue saved.
int IdentifyObsoleteFeeds(DiscoveryUi& ui, const RadioCheck& radioOpens);
