// The podcast download queue behind the main window: the scheduling step on timer 2, the
// automatic downloads of an update merge, the queued play, the download commands, the
// status texts, and the queue saved when the window goes.
#pragma once

struct AudioWindowLinks;

// Installs the hooks and commands; the saved queue is restored and old files purged on the
// first tick, once the articles are loaded. Call after Audio_Link.
void Podcast_Link(const AudioWindowLinks& links);
// Stops the download thread and saves the queue (the interrupted job is kept).
void Podcast_Unlink();
