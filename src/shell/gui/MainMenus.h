// The main menu bar and the pop-up menus of the main window, with their command numbers
// and labels through Lng. The caller owns the pop-up menus it receives.
#pragma once
#include <cstdint>
#include <string>

class wxMenu;
class wxMenuBar;
struct Item;
struct Rss;

// The bar "Fichier", "F&lux", "&Article", "A&udio", "PodCast", "Affichage", "Aide".
// `bankMode` leaves out "Configuration" and "Extraire des flux depuis le presse-papier";
// `convertMode` adds "Convertir les URLs de Youtube V3".
wxMenuBar* MainMenus_CreateBar(bool bankMode, bool convertMode);
// Check marks of "Affichage" from the "Display" bits, and the labels set at run time.
void MainMenus_Update(wxMenuBar* bar, int32_t display);

wxMenu* MainMenus_Group();
wxMenu* MainMenus_Feed(const Rss& feed);
wxMenu* MainMenus_Radio(const Rss& feed);
wxMenu* MainMenus_Article(const Item& item);
wxMenu* MainMenus_Grouped();
wxMenu* MainMenus_Tray(const std::string& appName);
