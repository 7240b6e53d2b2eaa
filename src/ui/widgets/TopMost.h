#pragma once

class QWidget;

namespace zentuvo {

// Keeps a window above all others, or gives that back; its place and size stay. A window
// already in the asked state is left untouched.
void setTopMost(QWidget* window, bool onTop);

} // namespace zentuvo
