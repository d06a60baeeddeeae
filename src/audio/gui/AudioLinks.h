// The audio module behind the main window: its commands (the audio menu, shortcuts, hot
// keys, the tray's audio entries, the quick menu and its numbered entries, the radio and
// podcast entries of the pop-up menus), its timer work and the status piece, installed
// once at start-up.
#pragma once
#include <functional>
#include <string>

class wxFrame;
class wxMenuBar;
struct Item;
struct Rss;

// What the audio module needs from the main window.
struct AudioWindowLinks {
    wxFrame* Window = nullptr;
    wxMenuBar* Bar = nullptr;
    std::function<Item*(Rss** feed)> SelectedArticle; // nullptr when none
    std::function<Rss*()> SelectedFeed;               // nullptr for a group or nothing
    std::function<bool()> TreeFocused;                // the tree has the focus
    std::function<void(const std::string&)> Say;
    std::function<void()> Status;          // rewrite the status line
    std::function<void()> StartBackNormal; // one-shot timer 5
    // Selects an article of a feed in the window (after a quick-menu choice); may be empty.
    std::function<void(int rssID, int feedID)> Select;
};

// Installs the commands and hooks, replaces the "A&udio" menu of the bar by the one with
// the speed marks, mute mark and volume text, registers the "Pure" player, and starts the
// engine "AudioPlayer" asks for.
void Audio_Link(const AudioWindowLinks& links);
// Stops playback and the engine, and forgets the window (it is going).
void Audio_Unlink();
// Asks the user for a volume ("Sélection"); an empty answer or Escape changes nothing.
void Audio_AskVolume();
