#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;
class QSlider;
class QWidget;

namespace zentuvo {

class AppContext;
class Player;
class PlayerControl;

// The main window's elements that file playback works on.
struct FilePlaybackWidgets {
    QWidget* VLCPlugin21 = nullptr;   // where the main player's picture goes
    QLineEdit* txtMessages = nullptr; // the channel information line
    QSlider* SliderPlayFile = nullptr;
    QSlider* SliderVolume = nullptr;
};

// Playing a local file in the main player: "Play from..." with its file dialog, playFile,
// and seeking with the file position slider.
class FilePlayback : public QObject {
    Q_OBJECT

public:
    static constexpr int kSliderSteps = 20;

    // Asks for a file: (dialog title, starting folder) -> chosen path, "" when cancelled.
    using FileChooser = std::function<QString(const QString& title, const QString& folder)>;
    // control: stops what the main player plays before a file starts, and learns that a
    // file plays.
    FilePlayback(AppContext& app, PlayerControl& control, Player& player,
                 const FilePlaybackWidgets& widgets, QObject* parent = nullptr);

    // The dialog that opens on the recording folder and shows every file, as filterName.
    static QString chooseWithDialog(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filterName);
    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

    // miFilePlayFrom and imgButtonPlayFile: the file dialog, then playFile.
    void playFrom();
    // Plays the file at path in the main player.
    void playFile(const QString& path);
    // Seeks to the slider's position (value / 20 of the file); failures are ignored.
    void seekToSlider(int value);

private:
    AppContext& app_;
    PlayerControl& control_;
    Player& player_;
    FilePlaybackWidgets w_;
    FileChooser chooser_;
};

} // namespace zentuvo
