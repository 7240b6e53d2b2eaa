// The guide grid's painting and its mouse, wheel and keys.
#include "ui/guide/GuideGrid.h"
#include "ui/widgets/LogoPictures.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace zentuvo {

void GuideGrid::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(viewport()->rect(), pal.base());
    const int firstRow = firstVisibleRow();
    const int lastRow =
        std::min(int(channels_.size()) - 1, rowAt(QPoint(0, viewport()->height() - 1)) < 0
                                                ? int(channels_.size()) - 1
                                                : rowAt(QPoint(0, viewport()->height() - 1)));
    const qint64 from = viewStart();
    const qint64 to = timeline_.timeAt(horizontalScrollBar()->value() + viewport()->width());
    p.save();
    p.setClipRect(kNameWidth, kHeaderHeight, viewport()->width() - kNameWidth,
                  viewport()->height() - kHeaderHeight);
    paintRows(p, firstRow, lastRow, from, to);
    // The line at now.
    if (now_ >= from && now_ < to) {
        const int x = kNameWidth + int(timeline_.xOf(now_)) - horizontalScrollBar()->value();
        p.setPen(QPen(QColor(220, 40, 40), 2));
        p.drawLine(x, kHeaderHeight, x, viewport()->height());
    }
    p.restore();
    // The channel names down the left.
    p.fillRect(0, kHeaderHeight, kNameWidth, viewport()->height(), pal.window());
    p.setPen(pal.color(QPalette::WindowText));
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    const QFontMetrics names(bold);
    for (int r = firstRow; r <= lastRow; ++r) {
        const int y = kHeaderHeight + r * kRowHeight - verticalScrollBar()->value();
        QRect cell(8, y, kNameWidth - 14, kRowHeight);
        if (logos_) {
            const int top = y + (kRowHeight - kLogoSide) / 2;
            p.drawPixmap(8, top,
                         logos_->picture(channels_[r].channel, channels_[r].name, kLogoSide));
            cell.setLeft(8 + kLogoSide + 8);
        }
        p.drawText(cell, Qt::AlignVCenter | Qt::AlignLeft,
                   names.elidedText(channels_[r].name, Qt::ElideRight, cell.width()));
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(0, y + kRowHeight - 1, kNameWidth, y + kRowHeight - 1);
        p.setPen(pal.color(QPalette::WindowText));
    }
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(kNameWidth - 1, kHeaderHeight, kNameWidth - 1, viewport()->height());
    p.setFont(font());
    paintHeader(p, from, to);
}

void GuideGrid::paintRows(QPainter& p, int firstRow, int lastRow, qint64 from, qint64 to) {
    const QPalette& pal = palette();
    const QColor box = pal.color(QPalette::AlternateBase);
    // A running programme: the box tinted towards the highlight, so that the text colour
    // reads on it in light and dark themes alike.
    const QColor tint = pal.color(QPalette::Highlight);
    const QColor running = QColor::fromRgbF(box.redF() * 0.65f + tint.redF() * 0.35f,
                                            box.greenF() * 0.65f + tint.greenF() * 0.35f,
                                            box.blueF() * 0.65f + tint.blueF() * 0.35f);
    const QColor border = pal.color(QPalette::Mid);
    const QFontMetrics metrics(font());
    for (int r = firstRow; r <= lastRow; ++r) {
        const auto& list = programmes_[size_t(r)];
        auto it = std::partition_point(list.begin(), list.end(),
                                       [from](const GuideProgramme& g) { return g.stop <= from; });
        for (; it != list.end() && it->start < to; ++it) {
            const QRect rect = programmeRect(r, *it).adjusted(0, 0, -1, -1);
            const bool isSelected = r == selectedRow_ && it->start == selectedStart_;
            const bool isRunning = it->start <= now_ && now_ < it->stop;
            p.fillRect(rect, isSelected  ? pal.color(QPalette::Highlight)
                             : isRunning ? running
                                         : box);
            p.setPen(border);
            p.drawRect(rect);
            // The title stays readable while its box runs off the left edge.
            QRect text = rect.adjusted(6, 0, -4, 0);
            text.setLeft(std::max(text.left(), kNameWidth + 6));
            if (text.width() < 12)
                continue;
            p.setPen(pal.color(isSelected ? QPalette::HighlightedText : QPalette::Text));
            p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                       metrics.elidedText(it->title, Qt::ElideRight, text.width()));
        }
        const int y = kHeaderHeight + (r + 1) * kRowHeight - verticalScrollBar()->value() - 1;
        p.setPen(border);
        p.drawLine(kNameWidth, y, viewport()->width(), y);
    }
}

void GuideGrid::paintHeader(QPainter& p, qint64 from, qint64 to) {
    const QPalette& pal = palette();
    p.fillRect(0, 0, viewport()->width(), kHeaderHeight, pal.button());
    p.setPen(pal.color(QPalette::ButtonText));
    for (const qint64 t : GuideTimeline::columnStarts(from, to)) {
        const int x = kNameWidth + int(timeline_.xOf(t)) - horizontalScrollBar()->value();
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(x, kHeaderHeight - 8, x, kHeaderHeight);
        // A column mostly off the left edge keeps its caption out of its neighbour's way.
        if (x + timeline_.halfHourWidth() - kNameWidth < 56 || x + 40 > viewport()->width())
            continue;
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(
            QRect(std::max(x, kNameWidth) + 5, 0, timeline_.halfHourWidth() - 8, kHeaderHeight),
            Qt::AlignVCenter | Qt::AlignLeft, GuideTimeline::columnCaption(t));
    }
    // The day of the view's left edge above the names.
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.fillRect(0, 0, kNameWidth, kHeaderHeight, pal.button());
    p.setPen(pal.color(QPalette::ButtonText));
    p.drawText(QRect(8, 0, kNameWidth - 14, kHeaderHeight), Qt::AlignVCenter | Qt::AlignLeft,
               GuideTimeline::dayCaption(from, locale()));
    p.setFont(font());
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(0, kHeaderHeight - 1, viewport()->width(), kHeaderHeight - 1);
}

void GuideGrid::ensureSelectedVisible() {
    if (selectedRow_ < 0)
        return;
    const int top = selectedRow_ * kRowHeight;
    const int height = viewport()->height() - kHeaderHeight;
    QScrollBar* v = verticalScrollBar();
    if (top < v->value())
        v->setValue(top);
    else if (top + kRowHeight > v->value() + height)
        v->setValue(top + kRowHeight - height);
    const GuideProgramme* p = selected();
    if (!p)
        return;
    const int width = viewport()->width() - kNameWidth;
    QScrollBar* h = horizontalScrollBar();
    const int x0 = int(timeline_.xOf(p->start));
    const int x1 = int(timeline_.xOf(p->stop));
    if (x0 < h->value() || (x1 - x0 > width && x0 > h->value()))
        h->setValue(x0);
    else if (x1 > h->value() + width)
        h->setValue(x1 - width);
}

// Moves the selection by rows (to the programme running at the middle of the selected one,
// or of the view) and by programmes along its row.
void GuideGrid::moveSelection(int rows, int programmes) {
    if (channels_.isEmpty())
        return;
    const GuideProgramme* current = selected();
    if (current && (programmes != 0 || anchor_ < current->start || anchor_ >= current->stop))
        anchor_ = std::max(current->start, viewStart()) + 1;
    const qint64 middle = anchor_ != 0 ? anchor_
                                       : timeline_.timeAt(horizontalScrollBar()->value() +
                                                          (viewport()->width() - kNameWidth) / 2);
    const int row = std::clamp(selectedRow_ < 0 ? firstVisibleRow() : selectedRow_ + rows, 0,
                               int(channels_.size()) - 1);
    int index = programmeIndexAt(row, middle);
    if (programmes != 0 && current) {
        const auto& list = rowProgrammes(row);
        index = std::clamp(int(current - list.data()) + programmes, 0, int(list.size()) - 1);
        anchor_ = list[size_t(index)].start + 1;
    }
    selectIndex(row, index);
}

void GuideGrid::keyPressEvent(QKeyEvent* event) {
    const int page = std::max(1, (viewport()->height() - kHeaderHeight) / kRowHeight);
    switch (event->key()) {
    case Qt::Key_Left:
        moveSelection(0, -1);
        break;
    case Qt::Key_Right:
        moveSelection(0, 1);
        break;
    case Qt::Key_Up:
        moveSelection(-1, 0);
        break;
    case Qt::Key_Down:
        moveSelection(1, 0);
        break;
    case Qt::Key_PageUp:
        moveSelection(-page, 0);
        break;
    case Qt::Key_PageDown:
        moveSelection(page, 0);
        break;
    case Qt::Key_Home:
        goToNow();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const GuideProgramme* p = selected())
            emit activated(*p);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void GuideGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    dragging_ = false;
    pressPos_ = event->position().toPoint();
    pressScroll_ = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void GuideGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_)
        return;
    const QPoint moved = event->position().toPoint() - pressPos_;
    if (!dragging_ && moved.manhattanLength() < 6)
        return;
    if (!dragging_)
        viewport()->setCursor(Qt::ClosedHandCursor);
    dragging_ = true;
    horizontalScrollBar()->setValue(pressScroll_.x() - moved.x());
    verticalScrollBar()->setValue(pressScroll_.y() - moved.y());
}

void GuideGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    if (dragging_) {
        dragging_ = false;
        viewport()->unsetCursor();
        return;
    }
    int row = -1;
    if (const GuideProgramme* p = programmeAt(event->position().toPoint(), &row))
        select(row, p->start);
}

void GuideGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    int row = -1;
    if (const GuideProgramme* p = programmeAt(event->position().toPoint(), &row)) {
        select(row, p->start);
        emit activated(*p);
    }
}

void GuideGrid::wheelEvent(QWheelEvent* event) {
    QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ShiftModifier)
        delta = QPoint(delta.y() != 0 ? delta.y() : delta.x(), 0);
    // One notch (120) moves a row, or a third of half an hour.
    if (delta.x() != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                        delta.x() * timeline_.halfHourWidth() / 360);
    if (delta.y() != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y() * kRowHeight / 120);
    event->accept();
}

} // namespace zentuvo
