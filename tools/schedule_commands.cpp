// zentuvo-catalogue schedule: lists, adds and removes the scheduled recordings the program
// makes (its schedule.dat), with the margins of the settings file beside it.
#include "schedule_commands.h"
#include "command_args.h"

#include "app/ScheduleSettings.h"
#include "data/ChannelHealth.h"
#include "data/Database.h"
#include "data/ScheduleStore.h"
#include "data/StoredValue.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <optional>
#include <utility>

using namespace zentuvo;
using namespace zentuvo::commands;

namespace {

QString localTime(qint64 secs) {
    return QDateTime::fromSecsSinceEpoch(secs).toLocalTime().toString(
        QStringLiteral("yyyy-MM-dd HH:mm"));
}

int list(const QString& file) {
    for (const ScheduledRecording& r : scheduledRecordings(file))
        std::printf("%lld\t%s\t%s\t%s\t%s\t%s\t%s\n", static_cast<long long>(r.id),
                    qPrintable(scheduleStateName(r.state)), qPrintable(localTime(r.start)),
                    qPrintable(localTime(r.stop)), qPrintable(r.channelName), qPrintable(r.title),
                    qPrintable(r.reason.isEmpty() ? r.file : r.reason));
    return 0;
}

// The channel an id names: a catalogue code, or a My List number. Throws DbError.
std::optional<std::pair<ChannelRef, QString>> resolve(const QString& catalogue,
                                                      const QString& myList, const QString& id) {
    bool isNumber = false;
    const int number = id.toInt(&isNumber);
    std::vector<HealthChannel> found;
    if (isNumber && !myList.isEmpty())
        found = myListHealthChannels(myList, {number});
    else if (!isNumber && !catalogue.isEmpty()) {
        StoredValueCipher cipher;
        found = catalogueHealthChannels(catalogue, cipher, {id});
    }
    if (found.empty())
        return std::nullopt;
    const HealthChannel& ch = found.front();
    return std::pair{isNumber ? ChannelRef::myList(ch.number) : ChannelRef::catalogue(ch.number),
                     ch.name};
}

int add(const QString& file, const QStringList& args) {
    const QString id = option(args, QStringLiteral("--channel"));
    QDateTime start = QDateTime::fromString(option(args, QStringLiteral("--start")), Qt::ISODate);
    bool minutesOk = false;
    const int minutes = option(args, QStringLiteral("--minutes")).toInt(&minutesOk);
    if (id.isEmpty() || !start.isValid() || !minutesOk || minutes <= 0)
        return 2;
    const auto channel = resolve(option(args, QStringLiteral("--catalogue")),
                                 option(args, QStringLiteral("--mylist")), id);
    if (!channel)
        return fail(QStringLiteral("no channel with the id %1").arg(id));
    const ScheduleMargins margins =
        scheduleMarginsIn(QFileInfo(file).absoluteDir().filePath(QStringLiteral("Zentuvo.ini")));
    ScheduledRecording r;
    r.channel = channel->first;
    r.channelName = channel->second;
    r.title = option(args, QStringLiteral("--title"));
    r.start = start.toSecsSinceEpoch();
    r.stop = r.start + qint64(minutes) * 60;
    r.marginBefore = qint64(margins.before) * 60;
    r.marginAfter = qint64(margins.after) * 60;
    std::printf("%lld\n", static_cast<long long>(addScheduledRecording(file, r)));
    return 0;
}

int scheduleCommand(const QStringList& args) {
    const QString file = option(args, QStringLiteral("--schedule"));
    if (file.isEmpty())
        return 2;
    try {
        if (args.contains(QStringLiteral("--list")))
            return list(file);
        if (args.contains(QStringLiteral("--add")))
            return add(file, args);
        if (args.contains(QStringLiteral("--remove"))) {
            bool ok = false;
            const qint64 id = option(args, QStringLiteral("--remove")).toLongLong(&ok);
            if (!ok)
                return 2;
            return removeScheduledRecording(file, id)
                       ? 0
                       : fail(QStringLiteral("no scheduled recording %1").arg(id));
        }
    } catch (const DbError& e) {
        return fail(e.description());
    }
    return 2;
}

} // namespace

int runScheduleCommand(const QStringList& args) {
    return args.first() == u"schedule" ? scheduleCommand(args) : -1;
}
