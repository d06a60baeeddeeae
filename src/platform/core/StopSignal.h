// The user's request to stop a console program (Ctrl+C, or the system ending it): SIGINT
// and SIGTERM on POSIX, the console control events on Windows.
#pragma once

// Calls `onStop` (with no work but setting a flag: it runs in a signal handler, or on a
// thread of its own on Windows) when a stop is asked for, instead of ending the process.
void StopSignal_Install(void (*onStop)(int));
