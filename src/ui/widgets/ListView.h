#pragma once

#include "data/ChannelRef.h"

#include <QTreeView>

namespace zentuvo {

// A report-style list of channel rows. It tells the window about every mouse-button
// release (in viewport coordinates), every double click, wherever it lands, every key
// press and every change of its width.
class ListView : public QTreeView {
    Q_OBJECT
public:
    // The role under which a model shown here gives a row's channel (a ChannelRef).
    static constexpr int ChannelRole = Qt::UserRole + 1;

    explicit ListView(QWidget* parent = nullptr);

    // The width the columns share: the list's inner width less room for a vertical
    // scroll bar, so that the columns fit whether or not one shows.
    int columnSpace() const;

    // The channel of the selected row (the current one when several are selected); a null
    // reference when no row is selected.
    ChannelRef selectedChannel() const;
    // The selected rows, top to bottom.
    QList<int> selectedRowNumbers() const;
    // Whether a row lies under a point given in viewport coordinates.
    bool rowAt(const QPoint& viewportPos) const;

signals:
    void mouseReleased(Qt::MouseButton button, const QPoint& viewportPos, const QPoint& globalPos);
    void doubleClickedAnywhere();
    void keyDown(int key);
    void widthChanged();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace zentuvo
