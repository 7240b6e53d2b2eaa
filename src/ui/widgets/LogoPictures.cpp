#include "ui/widgets/LogoPictures.h"

#include "app/LogoCache.h"
#include "data/ChannelLogos.h"
#include "data/Database.h"
#include "ui/widgets/ChannelInitial.h"

#include <QFutureWatcher>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace zentuvo {

LogoPictures::LogoPictures(const QString& folder, const QString& userAgent, QObject* parent)
    : QObject(parent), cache_(new LogoCache(folder, userAgent, this)) {
    connect(cache_, &LogoCache::logoReady, this, &LogoPictures::scheduleChanged);
}

LogoPictures::~LogoPictures() = default;

void LogoPictures::load(const QString& myListDb, const QString& guideDb) {
    using Read = QHash<quint64, QString>;
    auto* watcher = new QFutureWatcher<Read>(this);
    const quint64 generation = ++generation_;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation == generation_)
            setAddresses(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run([myListDb, guideDb]() -> Read {
        try {
            return readChannelLogos(myListDb, guideDb);
        } catch (const DbError&) {
            return {}; // no logos rather than a message: the lists report the files' faults
        }
    }));
}

void LogoPictures::setAddresses(QHash<quint64, QString> addresses) {
    if (addresses == addresses_)
        return;
    addresses_ = std::move(addresses);
    emit changed();
}

bool LogoPictures::hasLogo(ChannelRef channel) {
    const QString address = this->address(channel);
    return !address.isEmpty() && !cache_->logo(address).isNull();
}

QPixmap LogoPictures::picture(ChannelRef channel, const QString& name, int side) {
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const QString address = this->address(channel);
    const QImage logo = cache_->logo(address);
    const QString key =
        logo.isNull() ? QStringLiteral("zentuvo-initial:%1:%2:%3").arg(side).arg(ratio).arg(name)
                      : QStringLiteral("zentuvo-logo:%1:%2:%3").arg(side).arg(ratio).arg(address);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    if (logo.isNull()) {
        pixmap = channelInitialPixmap(name, side, ratio);
    } else {
        pixmap = QPixmap(QSize(side, side) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        const QImage scaled =
            logo.scaled(QSize(side, side) * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&pixmap);
        const QSizeF size = QSizeF(scaled.size()) / ratio;
        painter.drawImage(
            QRectF(QPointF((side - size.width()) / 2, (side - size.height()) / 2), size), scaled);
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

// Logos come in bursts (a list shows many at once): views paint once for a burst.
void LogoPictures::scheduleChanged() {
    if (changeScheduled_)
        return;
    changeScheduled_ = true;
    QTimer::singleShot(50, this, [this] {
        changeScheduled_ = false;
        emit changed();
    });
}

} // namespace zentuvo
