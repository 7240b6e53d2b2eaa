#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLabel;
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
    QLabel* lblPlayFileTime = nullptr; // "elapsed / total" beside the position slider
};

// Playing a local file in the main player: "Play from..." with its file dialog, playFile,
// seeking with the file position slider and the time played. The slider's keys and clicks
// seek by twentieths; dragging its handle seeks to the second.
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
    // The status timer: "elapsed / total" beside the slider while a file plays (the time
    // dragged to while the handle is held).
    void updateTime();
    // A time as m:ss, or h:mm:ss from an hour on.
    static QString timeText(qint64 ms);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The file's fraction under a point of the slider, held by the handle at dragOffset_.
    double fractionAt(int x) const;
    // Seeks to the whole second under a point of the slider while its handle is dragged.
    void dragTo(int x);
    void onStateChanged(int state);

    AppContext& app_;
    PlayerControl& control_;
    Player& player_;
    FilePlaybackWidgets w_;
    FileChooser chooser_;
    QString fileName_;   // the name of the file that plays
    int dragOffset_ = 0; // where the handle was grabbed, from its left edge
    qint64 dragMs_ = -1; // the time dragged to; -1 while the handle is not dragged
};

} // namespace zentuvo
