#include "ui/widgets/ChannelInitial.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace zentuvo {

QChar channelInitial(const QString& name) {
    for (const QChar c : name)
        if (c.isLetterOrNumber())
            return c.toUpper();
    return u'?';
}

QColor initialColour(const QString& name) {
    // FNV-1a over the folded text: the same in every session and on every machine, unlike
    // qHash, whose seed may change.
    quint32 hash = 2166136261u;
    for (const QChar c : name.toCaseFolded()) {
        hash ^= c.unicode();
        hash *= 16777619u;
    }
    return QColor::fromHsv(int(hash % 360u), 150, 175);
}

void paintChannelInitial(QPainter& painter, const QRect& rect, const QString& name) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(initialColour(name));
    const qreal radius = rect.width() * 0.2;
    painter.drawRoundedRect(QRectF(rect), radius, radius);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(6, rect.height() * 3 / 5));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(rect, Qt::AlignCenter, QString(channelInitial(name)));
    painter.restore();
}

QPixmap channelInitialPixmap(const QString& name, int side, qreal pixelRatio) {
    QPixmap pixmap(QSize(side, side) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintChannelInitial(painter, QRect(0, 0, side, side), name);
    return pixmap;
}

} // namespace zentuvo
