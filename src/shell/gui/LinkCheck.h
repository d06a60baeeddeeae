// The start-up check of the links between the main window and the modules: every hook
// slot and every command the menus, pop-up menus, shortcut table and fixed keys can send
// must have a handler, except those of modules not part of this build yet (listed here as
// data, so the list shrinks as modules land). A missing link is logged, never silent.
#pragma once
#include <string>
#include <vector>

class wxMenuBar;

// Every command number the user can send: the entries of `bar` (nullptr: a bar built
// here with every optional entry), of each pop-up menu and of the tray menu, the
// shortcut table's events and the main window's fixed keys. Sorted, without repeats.
std::vector<int> MainLinks_Commands(wxMenuBar* bar);

struct LinkGap {
    std::string Slot;     // "MainHooks.PodcastTick", "command 44", ...
    bool Pending = false; // its module is not part of this build yet
};
// Each hook slot and each command of `commands` left without a handler.
std::vector<LinkGap> MainLinks_Gaps(const std::vector<int>& commands);
// True when the module behind command `id` / hook slot `slot` is not built yet.
bool MainLinks_CommandPending(int id);
bool MainLinks_SlotPending(const std::string& slot);
// Runs the check over `bar`: logs "! Not linked : " for each gap of a built module and one
// "- Not yet linked : " line with the pending ones. Returns the number of "! " gaps.
int MainLinks_Check(wxMenuBar* bar);
