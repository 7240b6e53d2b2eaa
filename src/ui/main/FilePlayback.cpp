#include "ui/main/FilePlayback.h"

#include "app/AppContext.h"
#include "common/Messages.h"
#include "playback/Player.h"
#include "ui/main/PlayerControl.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSlider>
#include <exception>

namespace zentuvo {

FilePlayback::FilePlayback(AppContext& app, PlayerControl& control, Player& player,
                           const FilePlaybackWidgets& widgets, QObject* parent)
    : QObject(parent), app_(app), control_(control), player_(player), w_(widgets) {
    QWidget* dialogParent = w_.VLCPlugin21 ? w_.VLCPlugin21->window() : nullptr;
    chooser_ = [this, dialogParent](const QString& title, const QString& folder) {
        return chooseWithDialog(dialogParent, title, folder,
                                app_.translate(QStringLiteral("_frmMain_dlgOpenFileFilter")));
    };
    if (QSlider* slider = w_.SliderPlayFile) {
        slider->setRange(0, kSliderSteps);
        // Only the user's own moves seek; the status timer's updates of the value do not.
        connect(slider, &QAbstractSlider::actionTriggered, this,
                [this, slider](int) { seekToSlider(slider->sliderPosition()); });
    }
}

QString FilePlayback::chooseWithDialog(QWidget* parent, const QString& title, const QString& folder,
                                       const QString& filterName) {
    return QFileDialog::getOpenFileName(parent, title, folder, filterName + QStringLiteral(" (*)"));
}

void FilePlayback::playFrom() {
    const QString path = chooser_(app_.translate(QStringLiteral("_frmMain_dlgOpenFile")),
                                  app_.preferences().recordFolder());
    if (path.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    playFile(path);
    QApplication::restoreOverrideCursor();
}

void FilePlayback::playFile(const QString& path) {
    try {
        control_.stopMain();
        if (w_.VLCPlugin21)
            w_.VLCPlugin21->show();
        control_.setMainChannel(ChannelRef::file());
        if (w_.SliderPlayFile) {
            w_.SliderPlayFile->setValue(0);
            w_.SliderPlayFile->show();
        }
        // An absolute path is what the player takes for a local file.
        const int item = player_.playlistAdd(QFileInfo(path).absoluteFilePath(), QString(), {});
        player_.playItem(item);
        if (w_.txtMessages)
            w_.txtMessages->setText(app_.translate(QStringLiteral("_frmMain_msgPlayingFromFile"))
                                        .arg(path.mid(path.lastIndexOf(u'/') + 1)));
        player_.setVolume(w_.SliderVolume ? w_.SliderVolume->value() * 20 : 100);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in PlayFile: ") +
                               QString::fromLocal8Bit(e.what()));
    }
}

void FilePlayback::seekToSlider(int value) {
    if (!control_.mainChannel().isFile())
        return;
    try {
        player_.setPosition(double(value) / kSliderSteps);
    } catch (const std::exception&) {
        // A file that cannot seek stays where it is.
    }
}

} // namespace zentuvo
