#include "ui/main/PlayerControl.h"

#include "app/AppContext.h"
#include "app/PlaybackErrors.h"
#include "app/PlayerOptions.h"
#include "common/Messages.h"
#include "data/ChannelInfo.h"
#include "playback/Player.h"
#include "playback/Reconnect.h"
#include "ui/widgets/PlayerStateText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <cmath>
#include <exception>
#include <memory>

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

PlayerControl::PlayerControl(AppContext& app, Player& main, Player& preview,
                             PlayerControlView& view, QObject* parent)
    : QObject(parent), app_(app), main_(main), preview_(preview), view_(view) {
    auto monotonic = std::make_shared<QElapsedTimer>();
    monotonic->start();
    clock_ = [monotonic] { return monotonic->elapsed(); };
    connect(&main_, &Player::stateChanged, this, &PlayerControl::trackPause);
    mainStart_ = makeStartWatch(main_);
    previewStart_ = makeStartWatch(preview_);
    connect(mainStart_, &QTimer::timeout, this, &PlayerControl::onMainStartTimeout);
    connect(previewStart_, &QTimer::timeout, this, &PlayerControl::onPreviewStartTimeout);
    mainReconnect_ = makeReconnect(main_, mainStart_, mainFailure_);
    previewReconnect_ = makeReconnect(preview_, previewStart_, previewFailure_);
    // A channel that fails names the reason in the information line too.
    connect(&main_, &Player::stateChanged, this, [this](PlayerState state) {
        if (state != PlayerState::Error || !mainChannel_.isChannel())
            return;
        QString reason = mainFailure_; // a reconnection that gave up says more
        if (reason.isEmpty())
            ignoringErrors([&] { reason = failureReason(main_.lastError()); });
        if (!reason.isEmpty())
            view_.setInfoLine(mainInfo_ + QStringLiteral(" - ") + reason);
    });
}

Reconnect* PlayerControl::makeReconnect(Player& player, QTimer* startWatch, QString& failure) {
    auto* reconnect = new Reconnect(player, this);
    connect(reconnect, &Reconnect::reconnecting, this, [this] { updateStatus(); });
    connect(reconnect, &Reconnect::tryStarted, startWatch, qOverload<>(&QTimer::start));
    connect(reconnect, &Reconnect::reconnected, this, [this, &player] {
        if (&player == &main_)
            view_.setInfoLine(mainInfo_);
        updateStatus();
    });
    connect(reconnect, &Reconnect::gaveUp, this, [this, &player, &failure] {
        QString reason;
        ignoringErrors([&] { reason = failureReason(player.lastError()); });
        const QString lost =
            app_.translate(QStringLiteral("_player_errLost")).arg(Reconnect::kTries);
        failure = reason.isEmpty() ? lost : lost + QStringLiteral(": ") + reason;
        if (&player == &main_)
            view_.setInfoLine(mainInfo_ + QStringLiteral(" - ") + failure);
        updateStatus();
    });
    return reconnect;
}

QString PlayerControl::failureReason(const QString& libraryText) const {
    const PlaybackErrorReason reason =
        playbackErrorReason(libraryText.split(u'\n', Qt::SkipEmptyParts));
    return reason.termKey.isEmpty() ? reason.text : app_.translate(reason.termKey);
}

QTimer* PlayerControl::makeStartWatch(Player& player) {
    auto* watch = new QTimer(this);
    watch->setSingleShot(true);
    watch->setInterval(kStartTimeoutMs);
    // Opening and buffering are the start; every other state ends it. Idle does not: a
    // stop of the item played before may still be on its way.
    connect(&player, &Player::stateChanged, watch, [watch](PlayerState state) {
        if (state != PlayerState::Opening && state != PlayerState::Buffering &&
            state != PlayerState::Idle)
            watch->stop();
    });
    return watch;
}

void PlayerControl::setStartTimeout(int ms) {
    mainStart_->setInterval(ms);
    previewStart_->setInterval(ms);
}

QString PlayerControl::noAnswerText() const {
    const int seconds = (mainStart_->interval() + 999) / 1000;
    return app_.translate(QStringLiteral("_player_errNoAnswer")).arg(seconds);
}

void PlayerControl::onMainStartTimeout() {
    if (mainReconnect_->attempt() > 0) { // a try that does not start: the next one
        ignoringErrors([&] { main_.stop(); });
        mainReconnect_->tryFailed();
        return;
    }
    mainFailure_ = noAnswerText();
    ignoringErrors([&] { main_.stop(); });
    view_.setPlayerMessage(stateText(main_, mainFailure_));
    view_.setInfoLine(mainInfo_ + QStringLiteral(" - ") + mainFailure_);
}

void PlayerControl::onPreviewStartTimeout() {
    if (previewReconnect_->attempt() > 0) {
        ignoringErrors([&] { preview_.stop(); });
        previewReconnect_->tryFailed();
        return;
    }
    previewFailure_ = noAnswerText();
    ignoringErrors([&] { preview_.stop(); });
    view_.setPreviewMessage(previewStatusPrefix(app_) + stateText(preview_, previewFailure_));
}

QString PlayerControl::stateText(Player& player, const QString& failure) const {
    const Reconnect& reconnect = &player == &main_ ? *mainReconnect_ : *previewReconnect_;
    if (reconnect.attempt() > 0)
        return app_.translate(QStringLiteral("_player_reconnecting"))
            .arg(reconnect.attempt())
            .arg(Reconnect::kTries);
    const PlayerState state = player.state();
    const QString reason = !failure.isEmpty()            ? failure
                           : state == PlayerState::Error ? failureReason(player.lastError())
                                                         : QString();
    if (!reason.isEmpty())
        return playerStateText(app_, int(PlayerState::Error)) + QStringLiteral(": ") + reason;
    return playerStateText(app_, int(state));
}

void PlayerControl::setMainChannel(ChannelRef channel) {
    setMain(channel);
}

void PlayerControl::setMain(ChannelRef channel) {
    const bool had = !previousChannel().isNull();
    mainChannel_ = channel;
    if (channel.isChannel() && channel != lastChannel_) {
        channelBefore_ = lastChannel_;
        lastChannel_ = channel;
    }
    const bool has = !previousChannel().isNull();
    if (has != had)
        emit previousChannelAvailable(has);
}

ChannelRef PlayerControl::previousChannel() const {
    return mainChannel_ == lastChannel_ ? channelBefore_ : lastChannel_;
}

void PlayerControl::playPrevious() {
    const ChannelRef channel = previousChannel();
    if (!channel.isNull())
        playMain(channel);
}

ChannelInfo PlayerControl::resolve(ChannelRef channel) {
    if (!channel.isChannel()) {
        app_.messages.critical(app_.translate(QStringLiteral("_frmMain_msgNoChannelType")));
        return ChannelInfo{};
    }
    const std::optional<ChannelInfo> found = lookupChannel(app_.data(), channel);
    // A lookup that failed has said so; what is left plays nothing.
    return found.value_or(ChannelInfo{});
}

void PlayerControl::playMain(ChannelRef ref) {
    try {
        view_.showFileSlider(false);
        view_.showMainPlayer();
        setMain(ref);
        mainFailure_.clear();
        mainStart_->stop();
        const ChannelInfo channel = resolve(ref);
        // The picture keeps its own aspect ratio: forcing one squeezes every other shape.
        QStringList options =
            playerHeaderOptions(app_.preferences().playerUserAgentOption(), channel) << kNoTitle;
        // A paused live channel keeps what arrives meanwhile in files of the cache folder.
        const QString timeShift = timeShiftFolder();
        if (!timeShift.isEmpty() && QDir().mkpath(timeShift)) {
            options << QStringLiteral(":input-timeshift-path=") + timeShift
                    << QStringLiteral(":input-timeshift-granularity=%1").arg(kTimeShiftFileBytes);
        }
        main_.clear();
        // Started first: the player may report the playing state before playItem returns.
        mainStart_->start();
        const int item = main_.playlistAdd(channel.url, kItemName, options);
        mainReconnect_->watch(item);
        main_.playItem(item);
        main_.setVolume(mainVolume());
        mainInfo_ = channel.country.isEmpty() ? channel.name // a My List channel without a country
                                              : channel.name + QStringLiteral(" (") +
                                                    channel.country + QStringLiteral(")");
        view_.setInfoLine(mainInfo_);
        view_.relayout();
    } catch (const std::exception& e) {
        mainStart_->stop();
        app_.messages.critical(QStringLiteral("Error in PlayVideo: ") + describe(e));
    }
}

void PlayerControl::stopMain() {
    try {
        setMain(ChannelRef());
        mainFailure_.clear();
        mainStart_->stop();
        mainReconnect_->cancel();
        view_.showFileSlider(false);
        view_.hideNoStreamPicture();
        view_.setInfoLine(QString());
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

void PlayerControl::updateStatus() {
    mainReconnect_->tick(clock_());
    previewReconnect_->tick(clock_());
    const QString previewPrefix = previewStatusPrefix(app_);
    view_.setPreviewMessage(previewPrefix);
    view_.setPlayerMessage(QStringLiteral(" - "));
    ignoringErrors([&] {
        const QString state = stateText(preview_, previewFailure_);
        const bool named = preview_.state() == PlayerState::Playing && previewFailure_.isEmpty() &&
                           !previewChannel_.isNull() && !previewName_.isEmpty();
        view_.setPreviewMessage(previewPrefix + (named ? previewName_ : state));
    });
    ignoringErrors([&] { view_.setPlayerMessage(mainStatusText()); });
    if (behindLiveMs() > kMaxBehindMs)
        goLive();
    // Halves round to even.
    ignoringErrors(
        [&] { view_.setFileSlider(int(std::nearbyint(main_.position() * kFileSliderSteps))); });
}

void PlayerControl::playPreview(ChannelRef ref) {
    try {
        applyPreviewVolume();
        previewChannel_ = ref;
        previewFailure_.clear();
        previewStart_->stop();
        const ChannelInfo channel = resolve(ref);
        previewName_ = channel.name;
        // Each preview adds an item: the playlist is not emptied first.
        previewStart_->start();
        const int item = preview_.playlistAdd(
            channel.url, kPreviewItemName,
            playerHeaderOptions(app_.preferences().playerUserAgentOption(), channel));
        previewReconnect_->watch(item);
        preview_.playItem(item);
    } catch (const std::exception& e) {
        previewStart_->stop();
        app_.messages.critical(QStringLiteral("Error in PlayPreview: ") + describe(e));
    }
}

void PlayerControl::stopPreview() {
    try {
        previewChannel_ = ChannelRef();
        previewFailure_.clear();
        previewStart_->stop();
        previewReconnect_->cancel();
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

void PlayerControl::stopPreviewKeepingPlaylist() {
    ignoringErrors([&] { preview_.stop(); });
    previewChannel_ = ChannelRef();
    previewFailure_.clear();
    previewStart_->stop();
    previewReconnect_->cancel();
    view_.setPreviewMessage(QString());
    view_.hideNoStreamPreviewPicture();
}

void PlayerControl::applyPreviewVolume() {
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

void PlayerControl::switchPreviewVolume() {
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

void PlayerControl::setMainVolume(int sliderValue) {
    ignoringErrors([&] { main_.setVolume(muted_ ? 0 : sliderValue * kVolumeStep); });
}

int PlayerControl::mainVolume() const {
    return muted_ ? 0 : view_.mainVolumeSlider() * kVolumeStep;
}

void PlayerControl::toggleMute() {
    muted_ = !muted_;
    ignoringErrors([&] { main_.setVolume(mainVolume()); });
    emit mutedChanged(muted_);
}

void PlayerControl::swap() {
    try {
        const ChannelRef mainWas = mainChannel_;
        const ChannelRef previewWas = previewChannel_;
        const int m = mainWas.number();
        const int p = previewWas.number();
        if (m == 0 && p == 0)
            return;
        if (m == -1) {
            app_.messages.exclamation(app_.translate(QStringLiteral("_frmMain_msgNoSwapFile")));
        } else if (m > 0 && p > 0) {
            playPreview(mainWas);
            playMain(previewWas);
        } else if (m > 0 && p == 0) {
            playPreview(mainWas);
            stopMain();
            app_.messages.exclamation(app_.translate(QStringLiteral("_frmMain_msgSwapNoPreview")));
        } else if (m == 0 && p > 0) {
            playMain(previewWas);
            stopPreview();
            app_.messages.exclamation(app_.translate(QStringLiteral("_frmMain_msgSwapNoChannel")));
        }
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in ButtonSwap: ") + describe(e));
    }
}

} // namespace zentuvo
