#include "ui/main/FilePlayback.h"

#include "app/AppContext.h"
#include "common/Messages.h"
#include "playback/Player.h"
#include "ui/main/PlayerControl.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <cmath>
#include <exception>

namespace zentuvo {

namespace {

// Where the style draws the slider's groove or handle (QSlider keeps its own option to
// itself).
QRect sliderPart(const QSlider* slider, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.upsideDown = slider->invertedAppearance();
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, part, slider);
}

} // namespace

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
        // A drag of the handle seeks through the event filter, to the second.
        connect(slider, &QAbstractSlider::actionTriggered, this, [this, slider](int action) {
            if (action != QAbstractSlider::SliderMove || dragMs_ < 0)
                seekToSlider(slider->sliderPosition());
        });
        connect(slider, &QAbstractSlider::sliderReleased, this, [this] { dragMs_ = -1; });
        slider->installEventFilter(this);
    }
    connect(&player_, &Player::stateChanged, this,
            [this](PlayerState state) { onStateChanged(int(state)); });
}

void FilePlayback::onStateChanged(int state) {
    if (PlayerState(state) != PlayerState::Ended || !control_.mainChannel().isFile() ||
        !w_.txtMessages)
        return;
    w_.txtMessages->setText(app_.translate(QStringLiteral("_frmMain_msgFileEnded")) +
                            QStringLiteral(" - ") + fileName_);
}

QString FilePlayback::timeText(qint64 ms) {
    const qint64 s = std::max<qint64>(ms, 0) / 1000;
    const auto twoDigits = [](qint64 n) {
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    };
    if (s < 3600)
        return QString::number(s / 60) + u':' + twoDigits(s % 60);
    return QString::number(s / 3600) + u':' + twoDigits(s / 60 % 60) + u':' + twoDigits(s % 60);
}

void FilePlayback::updateTime() {
    QLabel* label = w_.lblPlayFileTime;
    if (!label)
        return;
    const bool file = control_.mainChannel().isFile();
    label->setVisible(file);
    if (!file)
        return;
    try {
        const qint64 length = player_.length();
        // An ended file has played all of it, whatever position the player last gave.
        const qint64 elapsed = dragMs_ >= 0 ? dragMs_
                               : player_.state() == PlayerState::Ended
                                   ? length
                                   : qint64(std::llround(player_.position() * double(length)));
        label->setText(timeText(elapsed) + QStringLiteral(" / ") + timeText(length));
    } catch (const std::exception&) {
        // A player that does not answer leaves the time as it was.
    }
}

double FilePlayback::fractionAt(int x) const {
    const QRect groove = sliderPart(w_.SliderPlayFile, QStyle::SC_SliderGroove);
    const QRect handle = sliderPart(w_.SliderPlayFile, QStyle::SC_SliderHandle);
    const int span = groove.width() - handle.width();
    if (span <= 0)
        return 0.0;
    return std::clamp(double(x - dragOffset_ - groove.x()) / span, 0.0, 1.0);
}

void FilePlayback::dragTo(int x) {
    if (!control_.mainChannel().isFile())
        return;
    try {
        const qint64 length = player_.length();
        if (length <= 0)
            return; // the twentieths of the slider's own move remain
        const qint64 ms =
            std::min(std::llround(fractionAt(x) * double(length) / 1000.0) * 1000, length);
        if (ms == dragMs_)
            return;
        dragMs_ = ms;
        player_.setPosition(double(ms) / double(length));
        updateTime();
    } catch (const std::exception&) {
        // A file that cannot seek stays where it is.
    }
}

bool FilePlayback::eventFilter(QObject* watched, QEvent* event) {
    QSlider* slider = w_.SliderPlayFile;
    if (watched != slider)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        const QRect handle = sliderPart(slider, QStyle::SC_SliderHandle);
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        dragOffset_ = handle.contains(at) ? at.x() - handle.x() : handle.width() / 2;
        dragMs_ = -1;
    } else if (event->type() == QEvent::MouseMove && slider->isSliderDown()) {
        dragTo(static_cast<QMouseEvent*>(event)->position().toPoint().x());
    }
    return QObject::eventFilter(watched, event);
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
        fileName_ = path.mid(path.lastIndexOf(u'/') + 1);
        dragMs_ = -1;
        if (w_.lblPlayFileTime) {
            w_.lblPlayFileTime->setText(timeText(0) + QStringLiteral(" / ") + timeText(0));
            w_.lblPlayFileTime->show();
        }
        // An absolute path is what the player takes for a local file.
        const int item = player_.playlistAdd(QFileInfo(path).absoluteFilePath(), QString(), {});
        player_.playItem(item);
        if (w_.txtMessages)
            w_.txtMessages->setText(
                app_.translate(QStringLiteral("_frmMain_msgPlayingFromFile")).arg(fileName_));
        player_.setVolume(control_.isMuted() ? 0
                          : w_.SliderVolume  ? w_.SliderVolume->value() * 20
                                             : 100);
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
