// The links between the main window and the modules behind it: the commands they carry
// out and the timer ticks they need, installed once the window exists. A module that is
// not linked here leaves its menu entries announcing that they are not available.
#pragma once

// Installs every module's commands and hooks, in this one place: the window's own
// commands, the update queue (timers 1 and 3, commands 66, 68 and 70, the status pieces),
// the alarms (pop-up and sound); then logs each hook slot and command left without one.
void MainWindow_LinkModules();
// Undoes the links as the window goes: the alarms' gap ends (its thread joined) and the
// update queue no longer reaches the window.
void MainWindow_UnlinkModules();
// The start-up step that queues the feeds to update at start.
void MainWindow_StartUpdates();
