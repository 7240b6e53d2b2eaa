#pragma once

#include "data/GuideStore.h"
#include "ui/guide/GuideTimeline.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <vector>

namespace zentuvo {

class LogoPictures;

// A row of the guide: one channel of the list the main window shows.
struct GuideChannel {
    ChannelRef channel;
    QString name;
};

// The programme guide's grid: channels as rows, time as columns of half an hour, the channel
// names down the left and the times along the top staying in place while it scrolls, each
// programme a box with its title and a line at now. It paints only what shows.
//
// The programmes are read from the guide file off the GUI thread, in blocks of rows and
// hours around the view, and kept; a row paints empty until its block arrives.
class GuideGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kHeaderHeight = 30;
    static constexpr int kNameWidth = 190;
    static constexpr int kRowHeight = 44;
    static constexpr int kBlockRows = 32;
    static constexpr qint64 kBlockSeconds = 6 * 3600;
    static constexpr int kLogoSide = 28;

    explicit GuideGrid(QWidget* parent = nullptr);
    ~GuideGrid() override;

    // The file to read programmes from; "" reads none (they come by addProgrammes only).
    void setGuideFile(const QString& path);
    // The rows, in order; forgets the programmes read so far.
    void setChannels(QList<GuideChannel> channels);
    const QList<GuideChannel>& channels() const { return channels_; }
    // Forgets the programmes read so far and reads those in view again (the guide changed);
    // the rows, the view and the selection stay.
    void reload();
    // The span the grid scrolls over (UTC seconds) and now (where the line is).
    void setSpan(qint64 from, qint64 to);
    void setNow(qint64 now);
    qint64 now() const { return now_; }
    const GuideTimeline& timeline() const { return timeline_; }

    // Adds programmes (as read from the guide) to their channels' rows; ones already there
    // (same start) are kept as they are.
    void addProgrammes(const std::vector<GuideProgramme>& programmes);
    // The programmes of a row, by start.
    const std::vector<GuideProgramme>& rowProgrammes(int row) const;

    // The view: the time at the grid's left edge and the first row shown.
    void scrollToTime(qint64 t);
    qint64 viewStart() const;
    int firstVisibleRow() const;
    // Home: now at a quarter of the grid's width, and the programme running now on the
    // selected row selected.
    void goToNow();

    // Where a programme's box lies, in viewport coordinates; and what lies at a point.
    QRect programmeRect(int row, const GuideProgramme& p) const;
    // The row at a viewport point (-1 above the rows or past the last) and its programme.
    int rowAt(QPoint pos) const;
    const GuideProgramme* programmeAt(QPoint pos, int* row = nullptr) const;

    // The selected programme (nullptr when none) and its row.
    const GuideProgramme* selected() const;
    int selectedRow() const { return selectedRow_; }
    void select(int row, qint64 start);

    // Blocks asked for and not arrived yet.
    int pendingLoads() const { return pending_; }

    // The channels' logos (or initials) before their names; nullptr for names alone.
    void setLogos(LogoPictures* logos);

signals:
    void selectionChanged();
    // Double click or Enter on a programme.
    void activated(const zentuvo::GuideProgramme& programme);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void updateScrollBars();
    void loadVisible();
    void paintRows(QPainter& p, int firstRow, int lastRow, qint64 from, qint64 to);
    void paintHeader(QPainter& p, qint64 from, qint64 to);
    // The programme of row running at t, or the nearest after it; -1 when the row has none.
    int programmeIndexAt(int row, qint64 t) const;
    void selectIndex(int row, int index);
    void ensureSelectedVisible();
    void moveSelection(int rows, int programmes);

    GuideTimeline timeline_;
    QString guideFile_;
    QList<GuideChannel> channels_;
    QMultiHash<quint64, int> rowsOf_; // channel key -> rows
    std::vector<std::vector<GuideProgramme>> programmes_;
    QSet<quint64> requested_; // blocks loaded or under way: row block << 32 | time block
    // The blocks near the view, which a read checks when it gets a thread: one the view has
    // left by then is skipped (and asked for again should the view come back).
    struct Wanted {
        std::atomic<int> firstBlock{0}, lastBlock{-1};
        std::atomic<qint64> firstTime{0}, lastTime{-1};
    };
    std::shared_ptr<Wanted> wanted_ = std::make_shared<Wanted>();
    quint64 generation_ = 0; // bumped by setChannels: older loads are dropped
    int pending_ = 0;
    qint64 from_ = 0;
    qint64 to_ = 0;
    qint64 now_ = 0;
    int selectedRow_ = -1;
    qint64 selectedStart_ = 0;
    qint64 anchor_ = 0; // the time moving up and down keeps to (0: the view's middle)
    QPoint pressPos_;
    QPoint pressScroll_;
    bool pressed_ = false;
    bool dragging_ = false;
    QThreadPool pool_;
    QPointer<LogoPictures> logos_;
};

} // namespace zentuvo
