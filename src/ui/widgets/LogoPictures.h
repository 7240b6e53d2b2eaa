#pragma once

#include "data/ChannelRef.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QString>

namespace zentuvo {

class LogoCache;

// The channels' logos as the windows paint them: where each channel's logo comes from (My
// List's own, else the programme guide's icon; read off the GUI thread) and the pictures, the
// logo or, while there is none, the channel's initial. changed() asks the views to paint again.
class LogoPictures : public QObject {
    Q_OBJECT
public:
    // folder: the downloads' disk cache; userAgent: what the downloads send.
    LogoPictures(const QString& folder, const QString& userAgent, QObject* parent = nullptr);
    ~LogoPictures() override;

    LogoCache& cache() { return *cache_; }

    // Reads where the logos come from (either file may be ""), then emits changed().
    void load(const QString& myListDb, const QString& guideDb);
    // The addresses by ChannelRef::key(), at once.
    void setAddresses(QHash<quint64, QString> addresses);
    QString address(ChannelRef channel) const { return addresses_.value(channel.key()); }
    // Whether the channel's logo is in memory.
    bool hasLogo(ChannelRef channel);

    // A square picture side pixels wide: the channel's logo scaled to fit, its aspect kept,
    // or its initial until it has one. Asks for the logo when it is not there yet.
    QPixmap picture(ChannelRef channel, const QString& name, int side);

signals:
    void changed();

private:
    void scheduleChanged();

    LogoCache* cache_;
    QHash<quint64, QString> addresses_;
    quint64 generation_ = 0;
    bool changeScheduled_ = false;
};

} // namespace zentuvo
