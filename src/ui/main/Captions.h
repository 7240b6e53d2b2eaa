#pragma once

#include <QString>

class QMainWindow;

namespace zentuvo {

class AppContext;

// The main window's title: " Zentuvo 6.1 - (English) " for the language English.
QString mainWindowTitle(AppContext& app);

// Puts the current language's terms into the main window: title, tab captions, the first
// two filter entries and the fixed group entries (replaced in place), menu captions and
// picture-button tool tips, in a fixed order. Throws std::runtime_error naming an element
// that is missing; the texts set before it stay.
void setMainCaptions(AppContext& app, QMainWindow* window);

} // namespace zentuvo
