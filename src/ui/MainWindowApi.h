#pragma once

#include <QString>

class QWidget;

namespace zentuvo {

class Player;

// What the dialogs and the recorder ask of the main window. The main window implements
// it; tests use a fake.
class MainWindowApi {
public:
    virtual ~MainWindowApi() = default;

    // The main window as parent for dialogs.
    virtual QWidget* mainWidget() = 0;
    // True while the video fills the whole screen: dialogs then open on top of it.
    virtual bool IsFullVideo() const = 0;

    virtual void PlayVideo(const QString& key) = 0;
    virtual void PlayPreview(const QString& key) = 0;
    // Refills the My List list (after the editor saved).
    virtual void MakeLvwMyListContents() = 0;
    // Translates the main window again (after the language changed).
    virtual void SetLanguage() = 0;
    // The key of the selected row of the catalogue list, "" when none is selected.
    virtual QString SelectedChannelKey() const = 0;
    // The key of what the main player plays ("" when stopped, "-1 FL" for a local file).
    virtual QString MainPlayerTag() const = 0;
    // The version text of the player component.
    virtual QString PlayerVersionInfo() const = 0;
};

} // namespace zentuvo
