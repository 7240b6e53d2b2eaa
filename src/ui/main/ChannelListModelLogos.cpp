// Channel logos as the decoration of a channel list's name column.
#include "ui/main/ChannelListModel.h"
#include "ui/widgets/HealthMarks.h"

#include <QPainter>
#include <QPixmapCache>

namespace zentuvo {

void ChannelListModel::setLogos(int column, LogoFunction logo) {
    logoColumn_ = column;
    logo_ = std::move(logo);
    refreshLogos();
}

void ChannelListModel::refreshLogos() {
    if (logoColumn_ >= 0 && logoColumn_ < columns_ && !rows_.empty())
        emit dataChanged(index(0, logoColumn_), index(int(rows_.size()) - 1, logoColumn_),
                         {Qt::DecorationRole, LogoRole});
}

void ChannelListModel::setHealthColumn(int column) {
    if (column == healthColumn_)
        return;
    healthColumn_ = column;
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, columnCount() - 1),
                         {Qt::DecorationRole, LogoRole});
}

QVariant ChannelListModel::logoDecoration(const ChannelRow& row, int column) const {
    const QPixmap logo = logo_ ? logo_(row.channel, row.cells[size_t(column)]) : QPixmap();
    if (column != healthColumn_ || health_.isEmpty())
        return logo.isNull() ? QVariant() : QVariant(logo);
    // The state's mark, then the logo.
    const QIcon mark = healthIcon(health_.value(row.channel.key()).state);
    const int side = logo.isNull() ? 16 : logo.deviceIndependentSize().toSize().height();
    const QString key = QStringLiteral("zentuvo-health-logo:%1:%2:%3")
                            .arg(mark.cacheKey())
                            .arg(logo.cacheKey())
                            .arg(side);
    QPixmap both;
    if (QPixmapCache::find(key, &both))
        return both;
    const qreal ratio = logo.isNull() ? 1.0 : logo.devicePixelRatio();
    const int gap = logo.isNull() ? 0 : 3;
    const int logoWidth = logo.isNull() ? 0 : logo.deviceIndependentSize().toSize().width();
    const QSize size(side + gap + logoWidth, side);
    both = QPixmap(size * ratio);
    both.setDevicePixelRatio(ratio);
    both.fill(Qt::transparent);
    QPainter painter(&both);
    mark.paint(&painter, QRect(0, 0, side, side));
    if (!logo.isNull())
        painter.drawPixmap(QPoint(side + gap, 0), logo);
    painter.end();
    QPixmapCache::insert(key, both);
    return both;
}

} // namespace zentuvo
