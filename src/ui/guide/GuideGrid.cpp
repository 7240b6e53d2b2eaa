#include "ui/guide/GuideGrid.h"

#include "data/Database.h"
#include "ui/widgets/LogoPictures.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <optional>

namespace zentuvo {

namespace {

quint64 keyOf(ChannelRef channel) {
    return (quint64(guideKindCode(channel.kind())) << 32) | quint32(channel.number());
}

const std::vector<GuideProgramme> kNoProgrammes;

} // namespace

GuideGrid::GuideGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("grdGuide"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(timeline_.halfHourWidth() / 3);
    verticalScrollBar()->setSingleStep(kRowHeight);
    pool_.setMaxThreadCount(2);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    setNow(now);
    setSpan(GuideTimeline::localDayStart(now) - 86400, now + 8 * 86400);
}

GuideGrid::~GuideGrid() {
    pool_.clear();
    pool_.waitForDone();
}

void GuideGrid::setGuideFile(const QString& path) {
    guideFile_ = path;
    requested_.clear();
    loadVisible();
}

void GuideGrid::setChannels(QList<GuideChannel> channels) {
    channels_ = std::move(channels);
    rowsOf_.clear();
    for (int r = 0; r < channels_.size(); ++r)
        rowsOf_.insert(keyOf(channels_[r].channel), r);
    programmes_.assign(size_t(channels_.size()), {});
    requested_.clear();
    ++generation_;
    pending_ = 0;
    selectedRow_ = -1;
    anchor_ = 0;
    updateScrollBars();
    loadVisible();
    viewport()->update();
    emit selectionChanged();
}

void GuideGrid::reload() {
    programmes_.assign(size_t(channels_.size()), {});
    requested_.clear();
    ++generation_;
    pending_ = 0;
    loadVisible();
    viewport()->update();
}

void GuideGrid::setSpan(qint64 from, qint64 to) {
    const qint64 view = viewStart();
    from_ = GuideTimeline::columnStarts(from, from + 1).front();
    to_ = std::max(to, from_ + GuideTimeline::kHalfHour);
    timeline_ = GuideTimeline(from_, timeline_.halfHourWidth());
    updateScrollBars();
    scrollToTime(view);
}

void GuideGrid::setNow(qint64 now) {
    now_ = now;
    viewport()->update();
}

void GuideGrid::addProgrammes(const std::vector<GuideProgramme>& programmes) {
    QSet<int> touched;
    for (const GuideProgramme& p : programmes) {
        for (auto it = rowsOf_.constFind(keyOf(p.channel));
             it != rowsOf_.cend() && it.key() == keyOf(p.channel); ++it) {
            auto& row = programmes_[size_t(it.value())];
            const auto at = std::lower_bound(
                row.begin(), row.end(), p.start,
                [](const GuideProgramme& a, qint64 start) { return a.start < start; });
            if (at == row.end() || at->start != p.start) {
                row.insert(at, p);
                touched.insert(it.value());
            }
        }
    }
    if (!touched.isEmpty())
        viewport()->update();
}

const std::vector<GuideProgramme>& GuideGrid::rowProgrammes(int row) const {
    return row >= 0 && size_t(row) < programmes_.size() ? programmes_[size_t(row)] : kNoProgrammes;
}

void GuideGrid::updateScrollBars() {
    const QSize area = viewport()->size() - QSize(kNameWidth, kHeaderHeight);
    const int width = int(timeline_.xOf(to_));
    horizontalScrollBar()->setRange(0, std::max(0, width - area.width()));
    horizontalScrollBar()->setPageStep(std::max(1, area.width()));
    const int height = int(channels_.size()) * kRowHeight;
    verticalScrollBar()->setRange(0, std::max(0, height - area.height()));
    verticalScrollBar()->setPageStep(std::max(kRowHeight, area.height() / kRowHeight * kRowHeight));
}

void GuideGrid::scrollToTime(qint64 t) {
    horizontalScrollBar()->setValue(int(timeline_.xOf(std::clamp(t, from_, to_))));
}

qint64 GuideGrid::viewStart() const {
    return timeline_.timeAt(horizontalScrollBar()->value());
}

int GuideGrid::firstVisibleRow() const {
    return verticalScrollBar()->value() / kRowHeight;
}

void GuideGrid::goToNow() {
    const int row =
        selectedRow_ >= 0 ? selectedRow_ : (channels_.isEmpty() ? -1 : firstVisibleRow());
    if (row >= 0)
        selectIndex(row, programmeIndexAt(row, now_));
    anchor_ = now_;
    // After the selection, which may have scrolled to a long programme's start.
    const int quarter = (viewport()->width() - kNameWidth) / 4;
    scrollToTime(now_ - (timeline_.timeAt(quarter) - timeline_.origin()));
}

QRect GuideGrid::programmeRect(int row, const GuideProgramme& p) const {
    const int x0 = kNameWidth + int(timeline_.xOf(p.start)) - horizontalScrollBar()->value();
    const int x1 = kNameWidth + int(timeline_.xOf(p.stop)) - horizontalScrollBar()->value();
    const int y = kHeaderHeight + row * kRowHeight - verticalScrollBar()->value();
    return QRect(x0, y, x1 - x0, kRowHeight);
}

int GuideGrid::rowAt(QPoint pos) const {
    if (pos.y() < kHeaderHeight)
        return -1;
    const int row = (pos.y() - kHeaderHeight + verticalScrollBar()->value()) / kRowHeight;
    return row < channels_.size() ? row : -1;
}

const GuideProgramme* GuideGrid::programmeAt(QPoint pos, int* rowOut) const {
    const int row = rowAt(pos);
    if (rowOut)
        *rowOut = row;
    if (row < 0 || pos.x() < kNameWidth)
        return nullptr;
    const qint64 t = timeline_.timeAt(pos.x() - kNameWidth + horizontalScrollBar()->value());
    const int i = programmeIndexAt(row, t);
    const auto& list = rowProgrammes(row);
    return i >= 0 && list[size_t(i)].start <= t ? &list[size_t(i)] : nullptr;
}

int GuideGrid::programmeIndexAt(int row, qint64 t) const {
    const auto& list = rowProgrammes(row);
    const auto it = std::partition_point(list.begin(), list.end(),
                                         [t](const GuideProgramme& p) { return p.stop <= t; });
    return it == list.end() ? -1 : int(it - list.begin());
}

const GuideProgramme* GuideGrid::selected() const {
    const auto& list = rowProgrammes(selectedRow_);
    const auto it =
        std::lower_bound(list.begin(), list.end(), selectedStart_,
                         [](const GuideProgramme& a, qint64 start) { return a.start < start; });
    return it != list.end() && it->start == selectedStart_ ? &*it : nullptr;
}

void GuideGrid::select(int row, qint64 start) {
    if (row == selectedRow_ && start == selectedStart_)
        return;
    selectedRow_ = row;
    selectedStart_ = start;
    viewport()->update();
    emit selectionChanged();
}

void GuideGrid::selectIndex(int row, int index) {
    const auto& list = rowProgrammes(row);
    select(row, index >= 0 && size_t(index) < list.size() ? list[size_t(index)].start : 0);
    ensureSelectedVisible();
}

void GuideGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    loadVisible();
}

void GuideGrid::scrollContentsBy(int, int) {
    loadVisible();
    viewport()->update();
}

// Asks for the blocks under the view and one on each side that are not there yet.
void GuideGrid::loadVisible() {
    if (guideFile_.isEmpty() || channels_.isEmpty())
        return;
    const int firstBlock = std::max(0, firstVisibleRow() / kBlockRows - 1);
    const int lastRow = firstVisibleRow() + viewport()->height() / kRowHeight + 1;
    const int lastBlock =
        std::min(int((channels_.size() - 1) / kBlockRows), lastRow / kBlockRows + 1);
    const qint64 from = viewStart();
    const qint64 to = timeline_.timeAt(horizontalScrollBar()->value() + viewport()->width());
    const qint64 firstTime = from / kBlockSeconds - 1;
    const qint64 lastTime = to / kBlockSeconds + 1;
    wanted_->firstBlock = firstBlock;
    wanted_->lastBlock = lastBlock;
    wanted_->firstTime = firstTime;
    wanted_->lastTime = lastTime;
    for (int b = firstBlock; b <= lastBlock; ++b) {
        for (qint64 tb = firstTime; tb <= lastTime; ++tb) {
            const quint64 key = (quint64(b) << 32) | quint32(tb);
            if (requested_.contains(key))
                continue;
            requested_.insert(key);
            QList<ChannelRef> refs;
            for (int r = b * kBlockRows; r < std::min(int(channels_.size()), (b + 1) * kBlockRows);
                 ++r)
                refs << channels_[r].channel;
            ++pending_;
            using Read = std::optional<std::vector<GuideProgramme>>; // nothing: skipped
            auto* watcher = new QFutureWatcher<Read>(this);
            const quint64 generation = generation_;
            connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation, key] {
                watcher->deleteLater();
                if (generation != generation_)
                    return;
                --pending_;
                if (const Read read = watcher->result())
                    addProgrammes(*read);
                else {
                    requested_.remove(key);
                    loadVisible(); // should the view have come back
                }
            });
            watcher->setFuture(QtConcurrent::run(
                &pool_, [file = guideFile_, refs, b, tb, wanted = wanted_]() -> Read {
                    if (b < wanted->firstBlock || b > wanted->lastBlock || tb < wanted->firstTime ||
                        tb > wanted->lastTime)
                        return std::nullopt;
                    try {
                        return guideProgrammes(file, refs, tb * kBlockSeconds,
                                               (tb + 1) * kBlockSeconds);
                    } catch (const DbError&) {
                        return std::vector<GuideProgramme>{}; // a guide being replaced
                    }
                }));
        }
    }
}

void GuideGrid::setLogos(LogoPictures* logos) {
    if (logos_ == logos)
        return;
    if (logos_)
        logos_->disconnect(this);
    logos_ = logos;
    if (logos)
        connect(logos, &LogoPictures::changed, viewport(), qOverload<>(&QWidget::update));
    viewport()->update();
}

} // namespace zentuvo
