#include "ui/main/PlayerControl.h"

#include "app/AppState.h"
#include "common/Messages.h"
#include "data/ChannelInfo.h"
#include "data/ChannelKey.h"
#include "playback/Player.h"

#include <cmath>
#include <exception>

namespace zentuvo {

namespace {

const QString kItemName = QStringLiteral("TEST");
const QString kPreviewItemName = QStringLiteral(" ");
const QString kNoTitle = QStringLiteral(":no-video-title-show");
const QString kPictureZero = QStringLiteral("zero");
const QString kPictureOne = QStringLiteral("one");
const QString kPictureTwo = QStringLiteral("two");

QString describe(const std::exception& e) {
    return QString::fromUtf8(e.what());
}

// Runs a player step whose failure does not matter.
template <typename Step> void ignoringErrors(Step step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

PlayerControl::PlayerControl(AppState& app, Player& main, Player& preview, PlayerControlView& view)
    : app_(app), main_(main), preview_(preview), view_(view) {}

QStringList PlayerControl::headerOptions(const AppState& app, const cChannel& channel) {
    QStringList options;
    // The program's user agent is kept with "+" for its blanks. The player library takes
    // each option whole, blanks included, but refuses a user agent in the "+" form, and then
    // sends none at all: the player gets it with its blanks.
    if (channel.userAgent.isEmpty())
        options << QString(app.PlayerUserAgentOption).replace(u'+', u' ');
    else
        options << QStringLiteral(":http-user-agent=") + channel.userAgent;
    if (!channel.referrer.isEmpty())
        options << QStringLiteral(":http-referrer=") + channel.referrer;
    return options;
}

cChannel PlayerControl::resolve(const QString& key) {
    const QString kind = ChannelKey::kind(key);
    const int number = ChannelKey::number(key);
    std::optional<cChannel> found;
    if (kind == ChannelKey::kCatalogue)
        found = GetChannelInfo(app_.data(), number);
    else if (kind == ChannelKey::kMyList)
        found = GetMyListChannelInfo(app_.data(), number);
    else
        app_.messages.critical(QStringLiteral("Error: I can't find channel type (wich list?)"));
    // A lookup that failed has said so; what is left plays nothing.
    return found.value_or(cChannel{});
}

void PlayerControl::PlayVideo(const QString& key) {
    try {
        view_.showFileSlider(false);
        view_.showMainPlayer();
        main_.setTag(key);
        const cChannel channel = resolve(key);
        // The picture keeps its own aspect ratio: forcing one squeezes every other shape.
        const QStringList options = headerOptions(app_, channel) << kNoTitle;
        main_.clear();
        main_.playItem(main_.playlistAdd(channel.url, kItemName, options));
        main_.setVolume(view_.mainVolumeSlider() * kVolumeStep);
        view_.setInfoLine(channel.Name + QStringLiteral(" (") + channel.Country +
                          QStringLiteral(")"));
        view_.relayout();
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in PlayVideo: ") + describe(e));
    }
}

void PlayerControl::StopVideo() {
    try {
        main_.setTag(QString());
        view_.showFileSlider(false);
        view_.hideNoStreamPicture();
        ignoringErrors([&] {
            if (main_.isPlaying())
                main_.stop();
        });
        ignoringErrors([&] {
            if (main_.itemCount() >= 1)
                main_.clear();
        });
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in StopVideo: ") + describe(e));
    }
}

QString PlayerControl::GetState(int state) {
    switch (state) {
    case 0:
        return QStringLiteral("Idle/Close");
    case 1:
        return QStringLiteral("Opening");
    case 2:
        return QStringLiteral("Buffering");
    case 3:
        return QStringLiteral("Playing");
    case 4:
        return QStringLiteral("Paused");
    case 5:
        return QStringLiteral("Stopping");
    case 6:
        return QStringLiteral("6 - Idle");
    case 7:
        return QStringLiteral("7 - Idle");
    case 8:
        return QStringLiteral("Ended");
    default:
        return QStringLiteral("ERROR");
    }
}

void PlayerControl::TimerStatus() {
    const QString previewPrefix = QStringLiteral("- Preview - ");
    view_.setPreviewMessage(previewPrefix);
    view_.setPlayerMessage(QStringLiteral(" - "));
    ignoringErrors(
        [&] { view_.setPreviewMessage(previewPrefix + GetState(int(preview_.state()))); });
    ignoringErrors([&] { view_.setPlayerMessage(GetState(int(main_.state()))); });
    // Halves round to even.
    ignoringErrors(
        [&] { view_.setFileSlider(int(std::nearbyint(main_.position() * kFileSliderSteps))); });
}

void PlayerControl::PlayPreview(const QString& key) {
    try {
        SetPreviewVolume();
        preview_.setTag(key);
        const cChannel channel = resolve(key);
        // Each preview adds an item: the playlist is not emptied first.
        preview_.playItem(
            preview_.playlistAdd(channel.url, kPreviewItemName, headerOptions(app_, channel)));
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in PlayPreview: ") + describe(e));
    }
}

void PlayerControl::StopPreview() {
    try {
        preview_.setTag(QString());
        ignoringErrors([&] {
            if (preview_.isPlaying())
                preview_.stop();
        });
        ignoringErrors([&] {
            if (preview_.itemCount() >= 1)
                preview_.clear();
        });
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in StopPreview: ") + describe(e));
    }
}

void PlayerControl::PreviewStopButton() {
    ignoringErrors([&] { preview_.stop(); });
    preview_.setTag(QString());
    view_.setPreviewMessage(QString());
    view_.hideNoStreamPreviewPicture();
}

void PlayerControl::SetPreviewVolume() {
    try {
        const QString picture = view_.previewVolumePicture();
        if (picture == kPictureZero)
            preview_.setVolume(0);
        else if (picture == kPictureOne)
            preview_.setVolume(100);
        else if (picture == kPictureTwo)
            preview_.setVolume(200);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in SetPreviewVolume: ") + describe(e));
    }
}

void PlayerControl::SwitchPreviewVolume() {
    try {
        const QString picture = view_.previewVolumePicture();
        if (picture == kPictureZero) {
            view_.setPreviewVolumePicture(kPictureOne);
            preview_.setVolume(100);
        } else if (picture == kPictureOne) {
            view_.setPreviewVolumePicture(kPictureTwo);
            preview_.setVolume(200);
        } else if (picture == kPictureTwo) {
            view_.setPreviewVolumePicture(kPictureZero);
            preview_.setVolume(0);
        }
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in SwitchPreviewVolume: ") + describe(e));
    }
}

void PlayerControl::SetMainVolume(int sliderValue) {
    ignoringErrors([&] { main_.setVolume(sliderValue * kVolumeStep); });
}

void PlayerControl::Swap() {
    try {
        const QString mainKey = main_.Tag();
        const QString previewKey = preview_.Tag();
        const int m = ChannelKey::number(mainKey);
        const int p = ChannelKey::number(previewKey);
        if (m == 0 && p == 0)
            return;
        if (m == -1) {
            app_.messages.exclamation(QStringLiteral("Playing a file - no swap"));
        } else if (m > 0 && p > 0) {
            PlayPreview(mainKey);
            PlayVideo(previewKey);
        } else if (m > 0 && p == 0) {
            PlayPreview(mainKey);
            StopVideo();
            app_.messages.exclamation(app_.Translate(QStringLiteral("_frmMain_msgSwapNoPreview")));
        } else if (m == 0 && p > 0) {
            PlayVideo(previewKey);
            StopPreview();
            app_.messages.exclamation(app_.Translate(QStringLiteral("_frmMain_msgSwapNoChannel")));
        }
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in ButtonSwap: ") + describe(e));
    }
}

} // namespace zentuvo
