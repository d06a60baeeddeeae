// What start-up does with the data folder once it is the current folder, shared by the
// program and the tool commands that load a data folder "as start-up does".
#pragma once

// Gives the preferences the folders and mode that start-up settled (program folder, data
// folder, portable mode), so their path tokens and defaults are right. Call before
// Pref_Charge.
void Startup_FillPrefEnvironment();
// Hands the loaded preferences to the modules that keep their own copy (time zone,
// download methods, catalogue, item store) and starts the network layer; false when the
// network layer cannot start.
bool Pref_ApplyToCore();
// Opens the catalogue: the older "ListRSS.Ini" only when it alone holds feeds. Nonzero
// when a catalogue file was opened.
int Startup_LoadCatalogue();
// The stored articles: the older single-file store once (migration), then every feed's
// article file.
void Startup_LoadArticles();
