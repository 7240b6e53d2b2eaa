#include "ui/main/MainLayout.h"

#include "app/AppContext.h"
#include "playback/Player.h"
#include "ui/main/MainWidgets.h"
#include "ui/widgets/VideoView.h"

#include <QBoxLayout>
#include <QEvent>
#include <QMainWindow>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTransform>
#include <QWindow>
#include <algorithm>

namespace zentuvo {

namespace {

// Design measures, in twips.
constexpr int kSplitterWidth = 75;
constexpr int kSplitterLimit = 1000;
constexpr int kTabToLists = 160;
constexpr int kCountryToChannels = 200;
constexpr int kCountryInset = 80;
constexpr int kListInset = 60; // also the gap above the preview panel
constexpr int kPreviewHeight = 2295;
constexpr int kCaptionHeight = 435;
constexpr int kCountryHeight = 375;
constexpr int kPlayerMessageHeight = 255;

// How long original-size mode waits for the picture of a channel that is starting.
constexpr int kPictureRetryMs = 250;
constexpr int kPictureTries = 40;

} // namespace

// The video panel: the main player placed by the size mode, the pictures centred over it.
// The first item is the player; the others are the pictures.
class VideoPanelLayout : public QLayout {
public:
    explicit VideoPanelLayout(QWidget* panel) : QLayout(panel) {
        setContentsMargins(0, 0, 0, 0);
        setSpacing(0);
    }
    ~VideoPanelLayout() override {
        while (QLayoutItem* item = VideoPanelLayout::takeAt(0))
            delete item;
    }

    void addItem(QLayoutItem* item) override { items_.append(item); }
    int count() const override { return int(items_.size()); }
    QLayoutItem* itemAt(int index) const override { return items_.value(index); }
    QLayoutItem* takeAt(int index) override {
        return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
    }
    // The panel can shrink to nothing: the splitter's limits alone bound it.
    QSize sizeHint() const override { return {320, 180}; }
    QSize minimumSize() const override { return {0, 0}; }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }

    // `picture`: the picture's size for mode 1; none keeps the player's present size.
    void setMode(int mode, std::optional<QSize> picture) {
        mode_ = mode;
        picture_ = picture;
    }

    void setGeometry(const QRect& r) override {
        QLayout::setGeometry(r);
        if (items_.isEmpty())
            return;
        QWidget* player = items_.first()->widget();
        QRect place = player->geometry();
        if (mode_ == 0 || mode_ == 2) {
            place = r;
        } else if (mode_ == 1) {
            const QSize size = picture_.value_or(place.size());
            place =
                QRect(r.x() + (r.width() - size.width()) / 2, r.y(), size.width(), size.height());
        } else {
            place.moveTopLeft(r.topLeft());
        }
        if (player->geometry() != place) {
            player->setGeometry(place);
            followNativeChildren(player);
        }
        for (qsizetype i = 1; i < items_.size(); ++i) {
            QWidget* picture = items_[i]->widget();
            if (!picture)
                continue;
            const QSize size = picture->sizeHint();
            picture->setGeometry(place.x() + place.width() / 2 - size.width() / 2,
                                 place.y() + place.height() / 2 - size.height() / 2, size.width(),
                                 size.height());
        }
    }

private:
    // The toolkit moves a native window only when its own widget moves: the player's video
    // windows go along by hand when the player moves within the panel.
    static void followNativeChildren(QWidget* player) {
        for (QWidget* child : player->findChildren<QWidget*>()) {
            QWindow* native = child->windowHandle();
            QWidget* host = child->nativeParentWidget();
            if (native && host && !child->isWindow())
                native->setGeometry(QRect(child->mapTo(host, QPoint(0, 0)), child->size()));
        }
    }

    QList<QLayoutItem*> items_;
    int mode_ = 2;
    std::optional<QSize> picture_;
};

MainLayout::MainLayout(AppContext& app, QMainWindow& window, MainWidgets& ui)
    : QObject(&window), app_(app), window_(window), ui_(ui) {
    pictureRetry_.setSingleShot(true);
    pictureRetry_.setInterval(kPictureRetryMs);
    connect(&pictureRetry_, &QTimer::timeout, this, [this] {
        ++pictureTries_;
        placeVideo();
    });
    applyMeasures();
    applySplitterLimits();
}

MainLayout::~MainLayout() = default;

int MainLayout::twipsX(int twips) const {
    return qRound(twips * window_.logicalDpiX() / 1440.0);
}

int MainLayout::twipsY(int twips) const {
    return qRound(twips * window_.logicalDpiY() / 1440.0);
}

void MainLayout::applyMeasures() {
    QSplitter* splitter = ui_.vSplitter;
    splitter->setHandleWidth(twipsX(kSplitterWidth));
    splitter->setChildrenCollapsible(false);
    // A wider or narrower window changes the right panel; the splitter keeps its place.
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    leftPanel_ = splitter->widget(0);
    if (QSplitterHandle* handle = splitter->handle(1)) {
        handle->setAutoFillBackground(true);
        handle->setBackgroundRole(QPalette::Button);
        handle->installEventFilter(this);
    }

    // The video panel: the player and the pictures over it. The player's video has a
    // window of its own; the panel needs one too, so that a picture larger than the panel
    // is cut at the panel's edges.
    if (VideoView::canEmbed()) {
        ui_.picContainerLeft->setAttribute(Qt::WA_NativeWindow);
        ui_.picContainerLeft->setAttribute(Qt::WA_DontCreateNativeAncestors);
    }
    video_ = new VideoPanelLayout(ui_.picContainerLeft);
    video_->addWidget(ui_.VLCPlugin21);
    video_->addWidget(ui_.picWelcome);
    video_->addWidget(ui_.picNoStream);
    ui_.lblPlayerMessage->setFixedHeight(
        std::max(twipsY(kPlayerMessageHeight), ui_.lblPlayerMessage->fontMetrics().height() + 4));

    // The right panel: the lists start below the tab strip and stop short of the panel's
    // right edge; the preview panel lies on the bottom bar across the whole panel.
    if (auto* right = qobject_cast<QBoxLayout*>(ui_.rightPanel->layout())) {
        right->setContentsMargins(0, twipsY(kListInset), 0, 0);
        right->setSpacing(0);
        right->insertSpacing(right->indexOf(ui_.listPages), twipsY(kTabToLists));
        right->insertSpacing(right->indexOf(ui_.picPreview), twipsY(kListInset));
    }
    ui_.listPages->setContentsMargins(0, 0, twipsX(kListInset), 0);
    // The group row of My List stands where the country row stands, at the same height.
    const int filterHeight = std::max({twipsY(kCountryHeight), ui_.picCountry->sizeHint().height(),
                                       ui_.picGroup->sizeHint().height()});
    for (QWidget* row : {ui_.picCountry, ui_.picGroup}) {
        if (QLayout* filter = row->layout())
            filter->setContentsMargins(0, 0, twipsX(kCountryInset) - twipsX(kListInset), 0);
        if (QWidget* page = row->parentWidget(); page && page->layout())
            page->layout()->setSpacing(twipsY(kCountryToChannels) - twipsY(kTabToLists));
        row->setFixedHeight(filterHeight);
    }

    // The preview panel: the caption strip on top, the rest folds away under it.
    previewBody_ = ui_.picPreview->findChild<QWidget*>(QStringLiteral("previewBody"));
    ui_.lblPreview->setFixedHeight(twipsY(kCaptionHeight));
    if (QLayout* preview = ui_.imgPreview->layout())
        preview->setContentsMargins(8, 0, 8, 0);
    if (previewBody_ && previewBody_->layout())
        previewBody_->layout()->setContentsMargins(0, 0, 0, 8);
    // In a panel narrower than they need, the filter rows and the preview panel keep their
    // width and are cut at the panel's edge instead of piling their parts on each other.
    for (QWidget* w : {static_cast<QWidget*>(ui_.picPreview), ui_.picCountry, ui_.picGroup})
        w->setMinimumWidth(w->minimumSizeHint().width());
    previewHeight_ = std::max(twipsY(kPreviewHeight), ui_.picPreview->sizeHint().height());
    ui_.picPreview->setFixedHeight(previewHeight_);
}

void MainLayout::applySplitterLimits() {
    const int width = ui_.vSplitter->width();
    const int limit = twipsX(kSplitterLimit);
    // The splitter's left edge stays between `limit` and `width - limit`: the panels'
    // minimum widths are what holds it there. Where the two cross, the upper one wins.
    const int leftMin = std::max(1, std::min(limit, width - limit));
    const int rightMin = std::max(1, limit - ui_.vSplitter->handleWidth());
    if (leftPanel_->minimumWidth() != leftMin)
        leftPanel_->setMinimumWidth(leftMin);
    if (ui_.rightPanel->minimumWidth() != rightMin)
        ui_.rightPanel->setMinimumWidth(rightMin);
}

int MainLayout::clampSplitterLeft(int left, int width, int limit) {
    const int upper = width - limit;
    if (left < limit)
        left = limit;
    if (left > upper)
        left = upper;
    return std::max(0, left);
}

void MainLayout::relayout() {
    if (window_.isMinimized())
        return;
    applySplitterLimits();
    placeVideo();
}

int MainLayout::splitterLeft() const {
    if (rightPanelHidden())
        return ui_.vSplitter->width();
    return ui_.vSplitter->sizes().value(0);
}

void MainLayout::setSplitterLeft(int left) {
    const int width = ui_.vSplitter->width();
    ui_.vSplitter->setSizes({left, std::max(0, width - left - ui_.vSplitter->handleWidth())});
}

bool MainLayout::rightPanelHidden() const {
    return ui_.rightPanel->isHidden();
}

void MainLayout::hideRightPanel() {
    ui_.rightPanel->hide();
}

void MainLayout::toggleRightPanel() {
    if (rightPanelHidden()) {
        ui_.rightPanel->show();
        setSplitterLeft(ui_.vSplitter->width() / 2);
    } else {
        hideRightPanel();
    }
    emit needsLayout();
}

bool MainLayout::previewFolded() const {
    return ui_.picPreview->maximumHeight() != previewHeight_;
}

int MainLayout::foldedPreviewHeight() const {
    return ui_.lblPreview->maximumHeight() + 2 * ui_.imgPreview->frameWidth();
}

void MainLayout::togglePreview() {
    setPreviewFolded(!previewFolded());
    emit needsLayout();
}

void MainLayout::setPreviewFolded(bool folded) {
    if (previewBody_)
        previewBody_->setVisible(!folded);
    ui_.picPreview->setFixedHeight(folded ? foldedPreviewHeight() : previewHeight_);
    // The button's arrow points the way the panel goes next.
    const QIcon down = mainIcon(QStringLiteral("hidepreview"));
    if (folded) {
        const QSize size = ui_.imgHideShowPreview->iconSize();
        ui_.imgHideShowPreview->setIcon(
            QIcon(down.pixmap(size).transformed(QTransform().rotate(180))));
    } else {
        ui_.imgHideShowPreview->setIcon(down);
    }
}

void MainLayout::setPlayer(Player* player) {
    if (player_)
        disconnect(player_, nullptr, this, nullptr);
    player_ = player;
    if (player_) {
        connect(player_, &Player::stateChanged, this, [this] {
            pictureTries_ = 0;
            if (app_.preferences().videoSizeMode() == 1 && !window_.isMinimized())
                placeVideo();
        });
    }
}

std::optional<QSize> MainLayout::readPictureSize() const {
    if (!player_)
        return std::nullopt;
    try {
        const std::optional<QSize> size = player_->videoSize();
        if (!size || size->isEmpty())
            return std::nullopt;
        // The picture's pixels are the screen's pixels.
        const qreal ratio = ui_.VLCPlugin21->devicePixelRatioF();
        return QSize(qRound(size->width() / ratio), qRound(size->height() / ratio));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool MainLayout::playerBusy() const {
    if (!player_)
        return false;
    try {
        const PlayerState state = player_->state();
        return state == PlayerState::Opening || state == PlayerState::Buffering ||
               state == PlayerState::Playing;
    } catch (const std::exception&) {
        return false;
    }
}

void MainLayout::setVideoFill(bool fill) {
    fill_ = fill;
    placeVideo();
}

void MainLayout::placeVideo() {
    const int mode = fill_ ? 2 : app_.preferences().videoSizeMode();
    std::optional<QSize> picture;
    if (mode == 1) {
        picture = readPictureSize();
        // A channel that is starting has no picture yet: ask again shortly.
        if (picture)
            pictureRetry_.stop();
        else if (playerBusy() && pictureTries_ < kPictureTries)
            pictureRetry_.start();
    } else {
        pictureRetry_.stop();
        pictureTries_ = 0;
    }
    video_->setMode(mode, picture);
    video_->invalidate();
    video_->activate();
}

bool MainLayout::eventFilter(QObject* watched, QEvent* event) {
    // The splitter darkens while it is dragged.
    auto* handle = qobject_cast<QWidget*>(watched);
    if (handle && handle == ui_.vSplitter->handle(1)) {
        if (event->type() == QEvent::MouseButtonPress) {
            handle->setBackgroundRole(QPalette::Dark);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            handle->setBackgroundRole(QPalette::Button);
            emit needsLayout();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zentuvo
