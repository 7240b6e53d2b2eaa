#include "ui/widgets/TopMost.h"

#include <QWidget>

namespace zentuvo {

void setTopMost(QWidget* window, bool onTop) {
    if (!window)
        return;
    QWidget* top = window->window();
    if (top->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool wasVisible = top->isVisible();
    const QRect geometry = top->geometry();
    // Changing a window flag takes the window down; put it back where it was.
    top->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) {
        top->setGeometry(geometry);
        top->show();
    }
}

} // namespace zentuvo
