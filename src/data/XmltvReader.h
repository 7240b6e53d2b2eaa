#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace zentuvo {

// One <channel> of an XMLTV guide.
struct XmltvChannel {
    QString id;
    QStringList displayNames; // every non-empty <display-name>, in file order
    QString icon;             // the src of the first <icon>; "" when none
};

// One <programme>. The texts are each in the first preferred language found, else the first
// one given.
struct XmltvProgramme {
    QString channel;
    qint64 start = 0; // UTC seconds since 1970
    qint64 stop = 0;  // likewise; 0 when missing or invalid
    QString title;
    QString subTitle;
    QString description;
    QStringList categories;  // every non-empty <category>, in file order
    QString episodeXmltvNs;  // <episode-num system="xmltv_ns">, as written
    QString episodeOnscreen; // <episode-num system="onscreen"> (the default system)
};

// Where the reader delivers what it reads. wantChannel (may be empty: all wanted) is asked
// once per channel that has programmes, after the channels listed before the first programme
// have gone to channel; the programmes of channels nobody watches are then mostly left out
// before they reach the XML parser (XmltvSkim). Every channel goes to channel regardless.
struct XmltvSink {
    std::function<bool(const QString& channelId)> wantChannel;
    std::function<void(XmltvChannel)> channel;
    std::function<void(XmltvProgramme)> programme;
};

struct XmltvRead {
    int channels = 0;      // <channel> elements seen
    qint64 programmes = 0; // programmes passed to the sink
    qint64 skipped = 0;    // programmes of unwanted channels
    qint64 invalid = 0;    // programmes without a channel or a valid start
    // "" when the whole guide was read; "not XML" (no <tv> root), "truncated" (the file or its
    // gzip stream ends early), "gzip: ..." (corrupt compressed data) or "line N: <XML error>".
    QString error;
    bool cancelled = false; // the read was called off; what was delivered stays delivered
};

// Reads an XMLTV guide from source (open for reading; a file or a buffer, not a socket that
// may have no data yet), plain or gzip-compressed (found by its first bytes), streaming: the
// memory used does not grow with the guide. Languages are matched without case, "en" also
// matching "en-GB". When cancel becomes true the read stops soon. Never throws.
XmltvRead readXmltv(QIODevice& source, const XmltvSink& sink,
                    const std::atomic_bool* cancel = nullptr,
                    const QStringList& preferredLanguages = {});

} // namespace zentuvo
