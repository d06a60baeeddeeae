// The window that downloads an article's enclosure under a chosen name, and the menu that
// lists the downloads.
#pragma once
#include <string>
#include <vector>

class wxWindow;
struct Item;
struct Rss;

// The names the dialog offers, without duplicates: the name from the feed's mask, the
// article's current file name, and for a podcast the name of each offered mask. `masks`
// receives the mask each entry came from ("" for the current name).
std::vector<std::string> PodcastDialog_Names(const Rss& feed, const Item& item, bool podcast,
                                             std::vector<std::string>* masks);
// Shows the dialog for an article with an enclosure; "Ok" sets the chosen name (and, with
// the check box, the feed's mask, saving the catalogue) and queues the download.
void PodCastDownload_Dialog(wxWindow* parent, Rss& feed, Item& item);
// The download status menu: one entry per job, or "Aucun téléchargement en cours !" said.
void PodCastDownload_StatusMenu(wxWindow* parent, void (*say)(const std::string&));
