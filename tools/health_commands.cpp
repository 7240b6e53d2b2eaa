// zentuvo-catalogue check: checks the streams of catalogue and My List channels, prints one
// line per channel (id, state, reason; tab-separated) and keeps the results where the program
// reads them.
#include "health_commands.h"
#include "command_args.h"

#include "app/AppPaths.h"
#include "app/HealthChecks.h"
#include "app/HealthText.h"
#include "common/Translator.h"
#include "data/ChannelHealth.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/StoredValue.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

using namespace zentuvo;
using namespace zentuvo::commands;

namespace {

// How a channel is named on the command line: its code, or its My List number.
QString idOf(const HealthChannel& channel) {
    return channel.code.isEmpty() ? QString::number(channel.number) : channel.code;
}

// The channels the ids name (a catalogue code, or a My List number), or every channel; the
// ids that name none go to `missing`. Throws DbError.
std::vector<HealthChannel> collect(const QString& catalogue, const QString& myList,
                                   const QStringList& ids, QStringList* missing) {
    QStringList codes;
    QList<int> numbers;
    for (const QString& id : ids) {
        bool number = false;
        const int n = id.toInt(&number);
        if (number)
            numbers << n;
        else
            codes << id;
    }
    std::vector<HealthChannel> channels;
    StoredValueCipher cipher;
    if (ids.isEmpty() || !codes.isEmpty())
        channels = catalogueHealthChannels(catalogue, cipher, codes);
    if (!myList.isEmpty() && (ids.isEmpty() || !numbers.isEmpty()))
        for (HealthChannel& ch : myListHealthChannels(myList, numbers))
            channels.push_back(std::move(ch));
    for (const QString& id : ids)
        if (std::none_of(channels.begin(), channels.end(),
                         [&](const HealthChannel& ch) { return idOf(ch) == id; }))
            *missing << id;
    return channels;
}

int check(const QString& catalogue, const QString& myList, std::vector<HealthChannel> channels) {
    AppPaths paths;
    paths.catalogue = catalogue;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    try {
        forgetStaleCatalogueHealth(paths.healthFile(), now);
        if (!myList.isEmpty())
            forgetStaleMyListHealth(myList, now);
    } catch (const DbError& e) {
        return fail(e.description());
    }
    Translator translator; // the reasons in the base language
    translator.setDatabase(catalogue);
    const TermLookup translate = [&](const QString& key) { return translator.translate(key, 1); };
    HealthChecks checks(paths.healthFile(), myList);
    int status = 0;
    QObject::connect(&checks, &HealthChecks::checked,
                     [&](const HealthChannel& channel, const ChannelHealth& health) {
                         std::printf("%s\t%s\t%s\n", qPrintable(idOf(channel)),
                                     qPrintable(healthStateName(health.state)),
                                     qPrintable(healthReasonText(health, translate)));
                         std::fflush(stdout);
                     });
    QObject::connect(&checks, &HealthChecks::saveFailed,
                     [&](const QString& description) { status = fail(description); });
    QObject::connect(&checks, &HealthChecks::finished, [&] { QCoreApplication::exit(0); });
    checks.start(std::move(channels));
    QCoreApplication::exec();
    return status;
}

int checkCommand(const QStringList& args) {
    const QString catalogue = option(args, QStringLiteral("--catalogue"));
    const QString myList = option(args, QStringLiteral("--mylist"));
    if (catalogue.isEmpty())
        return 2;
    if (const QString error = checkCatalogueFile(catalogue); !error.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(catalogue, error));
    if (!myList.isEmpty())
        if (const QString error = upgradeMyListFile(myList); !error.isEmpty())
            return fail(QStringLiteral("%1: %2").arg(myList, error));
    QStringList missing;
    std::vector<HealthChannel> channels;
    try {
        channels = collect(catalogue, myList, options(args, QStringLiteral("--id")), &missing);
    } catch (const DbError& e) {
        return fail(e.description());
    }
    if (!missing.isEmpty())
        return fail(QStringLiteral("no channel with the id %1").arg(missing.join(u' ')));
    return check(catalogue, myList, std::move(channels));
}

} // namespace

int runHealthCommand(const QStringList& args) {
    return args.first() == u"check" ? checkCommand(args) : -1;
}
