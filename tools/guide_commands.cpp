// zentuvo-catalogue guide-import / guide-now / guide-sources: the programme guide's file from
// XMLTV sources (files or http(s) addresses), what runs on a channel, and the sources kept,
// without a window.
#include "guide_commands.h"
#include "command_args.h"

#include "app/GuideRefresh.h"
#include "app/Settings.h"
#include "data/Database.h"
#include "data/GuideImport.h"
#include "data/GuideSources.h"
#include "data/GuideStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimeZone>
#include <cstdio>
#include <optional>

using namespace zentuvo;
using namespace zentuvo::commands;

namespace {

const QStringList kValueOptions{QStringLiteral("--guide"),  QStringLiteral("--catalogue"),
                                QStringLiteral("--mylist"), QStringLiteral("--channel"),
                                QStringLiteral("--at"),     QStringLiteral("--add"),
                                QStringLiteral("--remove")};

// The arguments after the command that are neither options nor their values; nothing when an
// unknown option is given.
std::optional<QStringList> operands(const QStringList& args) {
    QStringList out;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (kValueOptions.contains(args[i]))
            ++i;
        else if (args[i].startsWith(QLatin1String("--")))
            return std::nullopt;
        else
            out << args[i];
    }
    return out;
}

QString utcText(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
}

// Imports one source, a file or an http(s) address (downloaded first).
GuideImportOutcome refresh(const QString& source, const GuideRefreshSetup& setup) {
    GuideRefresh refresh(programUserAgent());
    GuideImportOutcome outcome;
    QObject::connect(&refresh, &GuideRefresh::finished, [&](const GuideImportOutcome& done) {
        outcome = done;
        QCoreApplication::exit(0);
    });
    refresh.start(source, setup);
    QCoreApplication::exec();
    return outcome;
}

int importCommand(const QStringList& args) {
    const QString guide = option(args, QStringLiteral("--guide"));
    const QString catalogue = option(args, QStringLiteral("--catalogue"));
    const auto sources = operands(args);
    if (guide.isEmpty() || catalogue.isEmpty() || !sources || sources->isEmpty())
        return 2;
    std::vector<GuideTarget> targets;
    try {
        targets = loadGuideTargets(catalogue, option(args, QStringLiteral("--mylist")));
    } catch (const DbError& e) {
        return fail(e.description());
    }
    QTemporaryDir cache; // where a download waits for its import
    GuideRefreshSetup setup{guide,
                            cache.path(),
                            std::move(targets),
                            {QLocale::languageToCode(QLocale::system().language())}};
    int status = 0;
    for (const QString& source : *sources) {
        QElapsedTimer timer;
        timer.start();
        const GuideImportOutcome r = refresh(source, setup);
        if (!r.error.isEmpty()) {
            status = fail(QStringLiteral("%1: %2").arg(source, r.error));
            continue;
        }
        std::printf("%s: channels matched %d, programmes kept %lld, %.1f s\n", qPrintable(source),
                    r.channelsMatched, static_cast<long long>(r.programmesKept),
                    double(timer.elapsed()) / 1000);
    }
    return status;
}

int nowCommand(const QStringList& args) {
    const QString guide = option(args, QStringLiteral("--guide"));
    const QString channel = option(args, QStringLiteral("--channel"));
    const QString atText = option(args, QStringLiteral("--at"));
    const auto rest = operands(args);
    if (guide.isEmpty() || channel.isEmpty() || !rest || !rest->isEmpty())
        return 2;
    qint64 at = QDateTime::currentSecsSinceEpoch();
    if (!atText.isEmpty()) {
        QDateTime time = QDateTime::fromString(atText, Qt::ISODate);
        if (!time.isValid())
            return fail(QStringLiteral("%1: not an ISO 8601 time").arg(atText));
        if (time.timeSpec() == Qt::LocalTime) // no offset given: UTC
            time = QDateTime(time.date(), time.time(), QTimeZone::utc());
        at = time.toSecsSinceEpoch();
    }
    try {
        const QList<ChannelRef> channels = guideChannelsWithId(guide, channel);
        if (channels.isEmpty())
            return 0;
        if (const auto p = programmeAt(guide, channels.first(), at))
            std::printf("%s\t%s\t%s\n", qPrintable(utcText(p->start)), qPrintable(utcText(p->stop)),
                        p->title.toUtf8().constData());
        return 0;
    } catch (const DbError& e) {
        return fail(e.description());
    }
}

// Adds and removes sources, then prints each: address, last refresh, channels matched,
// programmes kept and last error, tab-separated.
int sourcesCommand(const QStringList& args) {
    const QString guide = option(args, QStringLiteral("--guide"));
    const auto rest = operands(args);
    if (guide.isEmpty() || !rest || !rest->isEmpty())
        return 2;
    int status = 0;
    try {
        for (const QString& address : options(args, QStringLiteral("--add")))
            addGuideSource(guide, address);
        for (const QString& address : options(args, QStringLiteral("--remove")))
            if (!removeGuideSource(guide, guideSourceAddress(address)))
                status = fail(QStringLiteral("%1: no such guide source").arg(address));
        if (!QFileInfo::exists(guide))
            return status;
        for (const GuideSource& s : guideSources(guide))
            std::printf("%s\t%s\t%d\t%lld\t%s\n", s.address.toUtf8().constData(),
                        qPrintable(s.lastRefresh ? utcText(s.lastRefresh) : QString()),
                        s.channelsMatched, static_cast<long long>(s.programmesKept),
                        s.lastError.toUtf8().constData());
    } catch (const DbError& e) {
        return fail(e.description());
    }
    return status;
}

} // namespace

int runGuideCommand(const QStringList& args) {
    if (args.first() == u"guide-import")
        return importCommand(args);
    if (args.first() == u"guide-now")
        return nowCommand(args);
    if (args.first() == u"guide-sources")
        return sourcesCommand(args);
    return -1;
}
