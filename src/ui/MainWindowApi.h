#pragma once

class QWidget;

namespace zentuvo {

// What the dialogs and the recorder ask of the main window. The main window implements
// it; tests use a fake.
class MainWindowApi {
public:
    virtual ~MainWindowApi() = default;

    // The main window as parent for dialogs.
    virtual QWidget* mainWidget() = 0;
    // True while the video fills the whole screen: dialogs then open on top of it.
    virtual bool isFullVideo() const = 0;

    // Refills the My List list (after the editor saved).
    virtual void fillMyList() = 0;
    // Translates the main window again (after the language changed).
    virtual void applyLanguage() = 0;
};

} // namespace zentuvo
