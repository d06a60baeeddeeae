// Gives a control the name a screen reader announces for it (GTK: its ATK object's name).
#pragma once
#include <string>

class wxWindow;

void Accessible_SetName(wxWindow* control, const std::string& name);
