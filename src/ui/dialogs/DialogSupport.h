#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;

namespace zentuvo {

class MainWindowApi;

// Keeps a dialog above the screen-filling video while the main window shows one. Called
// before the dialog is first shown.
void keepAboveFullVideo(QWidget* dialog, const MainWindowApi& main);

// Escape pressed anywhere in the window closes it, before any element sees the key.
void closeOnEscape(QWidget* window);

// The strip of colour with the product picture along the top of the dialogs.
QWidget* makeBanner(const QString& title, QWidget* parent, int height = 56);

// A picture of the program's set (":/icons/NAME.svg") at the given size.
QPixmap dialogPicture(const QString& name, QSize size);

// Shows a modeless window: creates it on the first request, brings the open one forward on
// a later one. The window deletes itself when closed, which empties the slot.
template <class Window, class Factory>
Window* showModeless(QPointer<Window>& slot, Factory create) {
    if (!slot) {
        slot = create();
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    if (slot->isMinimized())
        slot->showNormal();
    slot->raise();
    slot->activateWindow();
    return slot;
}

} // namespace zentuvo
