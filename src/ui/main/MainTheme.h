#pragma once

class QMainWindow;

namespace zentuvo {

struct MainMenus;

// Gives the main window its dark player look: a dark palette for the window and its menus,
// black video areas, a raised bottom bar and light picture buttons.
void applyMainTheme(QMainWindow* window, const MainMenus& menus);

// Gives every window of the program (dialogs, questions, the recorder) the same dark
// palette as the main window.
void applyApplicationTheme();

} // namespace zentuvo
