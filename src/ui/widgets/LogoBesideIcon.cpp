#include "ui/widgets/LogoBesideIcon.h"

#include <QPainter>
#include <QPixmapCache>

namespace zentuvo {

LogoBesideIcon::LogoBesideIcon(int logoRole, QObject* parent)
    : QStyledItemDelegate(parent), logoRole_(logoRole) {}

void LogoBesideIcon::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QPixmap logo = index.data(logoRole_).value<QPixmap>();
    if (logo.isNull() || option->icon.isNull())
        return;
    const qreal ratio = logo.devicePixelRatio();
    const QSize logoSize = logo.deviceIndependentSize().toSize();
    const QSize mark = option->decorationSize;
    const QString key = QStringLiteral("zentuvo-mark-logo:%1:%2:%3x%4")
                            .arg(option->icon.cacheKey())
                            .arg(logo.cacheKey())
                            .arg(mark.width())
                            .arg(mark.height());
    QPixmap both;
    if (!QPixmapCache::find(key, &both)) {
        const int gap = 3;
        const QSize size(mark.width() + gap + logoSize.width(),
                         std::max(mark.height(), logoSize.height()));
        both = QPixmap(size * ratio);
        both.setDevicePixelRatio(ratio);
        both.fill(Qt::transparent);
        QPainter painter(&both);
        option->icon.paint(&painter, QRect(QPoint(0, (size.height() - mark.height()) / 2), mark));
        painter.drawPixmap(QPoint(mark.width() + gap, (size.height() - logoSize.height()) / 2),
                           logo);
        painter.end();
        QPixmapCache::insert(key, both);
    }
    option->icon = QIcon(both);
    option->decorationSize = both.deviceIndependentSize().toSize();
}

} // namespace zentuvo
