#include "XmltvReader.h"

#include "GzipDevice.h"
#include "ReadAhead.h"
#include "XmltvSkim.h"
#include "XmltvTime.h"

#include <QHash>
#include <QXmlStreamReader>
#include <climits>
#include <optional>

namespace zentuvo {
namespace {

// A text offered in several languages: keeps the best-ranked one, the first of a rank.
struct LanguagePick {
    QString text;
    int rank = INT_MAX;
};

class Reader {
public:
    Reader(QIODevice& device, const XmltvSink& sink, const std::atomic_bool* cancel,
           const QStringList& languages, XmltvSkim* skim = nullptr)
        : xml_(&device), sink_(sink), cancel_(cancel), languages_(languages), skim_(skim) {
        xml_.setNamespaceProcessing(false);
    }

    XmltvRead read();

private:
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }
    int rankOf(QStringView lang) const;
    void readText(LanguagePick& pick);
    QString elementText() { return xml_.readElementText(QXmlStreamReader::SkipChildElements); }
    bool wanted(QStringView channel);
    void readChannel();
    void readProgramme();

    QXmlStreamReader xml_;
    const XmltvSink& sink_;
    const std::atomic_bool* cancel_;
    const QStringList& languages_;
    XmltvSkim* skim_;
    XmltvRead result_;
    QString lastChannel_; // the channel last asked about, and the answer
    bool lastWanted_ = false;
    bool hasLast_ = false;
};

int Reader::rankOf(QStringView lang) const {
    for (int i = 0; i < languages_.size(); ++i) {
        const QString& wanted = languages_[i];
        if (lang.compare(wanted, Qt::CaseInsensitive) == 0 ||
            (lang.size() > wanted.size() && lang[wanted.size()] == u'-' &&
             lang.first(wanted.size()).compare(wanted, Qt::CaseInsensitive) == 0))
            return i;
    }
    return int(languages_.size());
}

void Reader::readText(LanguagePick& pick) {
    const int rank = rankOf(xml_.attributes().value(QLatin1String("lang")));
    if (rank >= pick.rank) {
        xml_.skipCurrentElement();
        return;
    }
    QString text = elementText().trimmed();
    if (!text.isEmpty()) {
        pick.text = std::move(text);
        pick.rank = rank;
    }
}

bool Reader::wanted(QStringView channel) {
    if (!sink_.wantChannel)
        return true;
    if (!hasLast_ || channel != lastChannel_) {
        lastChannel_ = channel.toString();
        lastWanted_ = sink_.wantChannel(lastChannel_);
        hasLast_ = true;
    }
    return lastWanted_;
}

void Reader::readChannel() {
    XmltvChannel channel;
    channel.id = xml_.attributes().value(QLatin1String("id")).toString();
    while (xml_.readNextStartElement()) {
        if (xml_.name() == u"display-name") {
            QString name = elementText().trimmed();
            if (!name.isEmpty())
                channel.displayNames.append(std::move(name));
        } else {
            if (xml_.name() == u"icon" && channel.icon.isEmpty())
                channel.icon = xml_.attributes().value(QLatin1String("src")).trimmed().toString();
            xml_.skipCurrentElement();
        }
    }
    if (xml_.hasError())
        return;
    ++result_.channels;
    if (sink_.channel)
        sink_.channel(std::move(channel));
}

void Reader::readProgramme() {
    const QXmlStreamAttributes attributes = xml_.attributes();
    const QStringView channel = attributes.value(QLatin1String("channel"));
    if (!wanted(channel)) {
        ++result_.skipped;
        xml_.skipCurrentElement();
        return;
    }
    const std::optional<qint64> start = parseXmltvTime(attributes.value(QLatin1String("start")));
    if (channel.isEmpty() || !start) {
        ++result_.invalid;
        xml_.skipCurrentElement();
        return;
    }
    XmltvProgramme programme;
    programme.channel = lastChannel_.isNull() ? channel.toString() : lastChannel_;
    programme.start = *start;
    programme.stop = parseXmltvTime(attributes.value(QLatin1String("stop"))).value_or(0);
    LanguagePick title, subTitle, description;
    while (xml_.readNextStartElement()) {
        const QStringView name = xml_.name();
        if (name == u"title") {
            readText(title);
        } else if (name == u"sub-title") {
            readText(subTitle);
        } else if (name == u"desc") {
            readText(description);
        } else if (name == u"category") {
            QString category = elementText().trimmed();
            if (!category.isEmpty())
                programme.categories.append(std::move(category));
        } else if (name == u"episode-num") {
            const QStringView system = xml_.attributes().value(QLatin1String("system"));
            QString* target = system == u"xmltv_ns" ? &programme.episodeXmltvNs
                              : (system.isEmpty() || system == u"onscreen")
                                  ? &programme.episodeOnscreen
                                  : nullptr;
            if (target && target->isEmpty())
                *target = elementText().trimmed();
            else
                xml_.skipCurrentElement();
        } else {
            xml_.skipCurrentElement();
        }
    }
    if (xml_.hasError())
        return;
    programme.title = std::move(title.text);
    programme.subTitle = std::move(subTitle.text);
    programme.description = std::move(description.text);
    ++result_.programmes;
    if (sink_.programme)
        sink_.programme(std::move(programme));
}

XmltvRead Reader::read() {
    if (!xml_.readNextStartElement() || xml_.name() != u"tv") {
        if (cancelled())
            result_.cancelled = true;
        else
            result_.error = QStringLiteral("not XML");
        return result_;
    }
    while (xml_.readNextStartElement()) {
        if (cancelled()) {
            result_.cancelled = true;
            return result_;
        }
        if (xml_.name() == u"programme") {
            if (skim_)
                skim_->start(); // every channel before it has been delivered
            readProgramme();
        } else if (xml_.name() == u"channel")
            readChannel();
        else
            xml_.skipCurrentElement();
    }
    if (cancelled()) { // the skim ends the document early when the read is called off
        result_.cancelled = true;
        return result_;
    }
    if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        result_.error = QStringLiteral("truncated");
    else if (xml_.hasError())
        result_.error =
            QStringLiteral("line %1: %2").arg(xml_.lineNumber()).arg(xml_.errorString());
    return result_;
}

// Reads from device, leaving the programmes of unwanted channels out before they reach the
// parser when the sink says which channels it wants.
XmltvRead readSkimmed(QIODevice& device, const XmltvSink& sink, const std::atomic_bool* cancel,
                      const QStringList& languages) {
    if (!sink.wantChannel)
        return Reader(device, sink, cancel, languages).read();
    // The skim reads ahead of the parser, and both ask: the sink is asked once per channel.
    QHash<QString, bool> answers;
    XmltvSink asked = sink;
    asked.wantChannel = [&](const QString& id) {
        auto it = answers.constFind(id);
        if (it == answers.cend())
            it = answers.insert(id, sink.wantChannel(id));
        return *it;
    };
    XmltvSkim skim(device, asked.wantChannel, cancel);
    XmltvRead result = Reader(skim, asked, cancel, languages, &skim).read();
    result.skipped += skim.dropped();
    return result;
}

} // namespace

XmltvRead readXmltv(QIODevice& source, const XmltvSink& sink, const std::atomic_bool* cancel,
                    const QStringList& preferredLanguages) {
    if (!source.isReadable()) {
        XmltvRead result;
        result.error = QStringLiteral("not XML");
        return result;
    }
    if (!source.peek(2).startsWith("\x1f\x8b"))
        return readSkimmed(source, sink, cancel, preferredLanguages);

    GzipDevice inflated(source);
    XmltvRead result;
    {
        // Inflating takes a good part of the time: it runs beside the parsing.
        ReadAheadDevice ahead(inflated);
        result = readSkimmed(ahead, sink, cancel, preferredLanguages);
    }
    if (!result.cancelled && !inflated.failed()) {
        // The guide may close before its stream does: read on to the end to find a stream
        // that is cut short.
        char rest[4096];
        while (inflated.read(rest, sizeof rest) > 0) {
        }
    }
    if (inflated.failed() && !result.cancelled)
        result.error = inflated.errorString();
    return result;
}

} // namespace zentuvo
