// zentuvo-catalogue logos: where each channel's logo comes from, as the lists show it (My
// List's own logo first, else the programme guide's icon), one line per channel that has one:
// its id (a catalogue code, or a My List number) and the address, tab-separated.
#include "logo_commands.h"
#include "command_args.h"

#include "data/ChannelLogos.h"
#include "data/Database.h"
#include "data/GuideMatch.h"

#include <cstdio>

using namespace zentuvo;
using namespace zentuvo::commands;

int runLogoCommand(const QStringList& args) {
    if (args.value(0) != u"logos")
        return -1;
    const QString catalogue = option(args, QStringLiteral("--catalogue"));
    const QString myList = option(args, QStringLiteral("--mylist"));
    const QString guide = option(args, QStringLiteral("--guide"));
    if (catalogue.isEmpty())
        return 2;
    try {
        const QHash<quint64, QString> logos = readChannelLogos(myList, guide);
        for (const GuideTarget& target : loadGuideTargets(catalogue, myList)) {
            const QString address = logos.value(target.channel.key());
            if (address.isEmpty())
                continue;
            const bool ofCatalogue = target.channel.kind() == ChannelRef::Kind::Catalogue;
            const QString id = ofCatalogue && !target.id.isEmpty()
                                   ? target.id
                                   : QString::number(target.channel.number());
            std::printf("%s\t%s\n", qPrintable(id), address.toUtf8().constData());
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "zentuvo-catalogue: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
