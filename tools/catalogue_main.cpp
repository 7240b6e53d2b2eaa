// zentuvo-catalogue: builds, refreshes and exports the catalogue database, imports and exports
// playlists to and from My List, fills the programme guide from XMLTV files, checks channels'
// streams, and enciphers or deciphers single stored values.
#include "command_args.h"
#include "data/Catalogue.h"
#include "data/StoredValue.h"
#include "guide_commands.h"
#include "health_commands.h"
#include "logo_commands.h"
#include "playlist_commands.h"
#include "schedule_commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

using namespace zentuvo;
using namespace zentuvo::commands;

namespace {

int usage() {
    std::fputs(
        "usage:\n"
        "  zentuvo-catalogue build --data DIR --out FILE [--replicate N]\n"
        "  zentuvo-catalogue update --data DIR --db FILE\n"
        "  zentuvo-catalogue encrypt TEXT\n"
        "  zentuvo-catalogue decrypt VALUE\n"
        "  zentuvo-catalogue export --db FILE --out DIR\n"
        "  zentuvo-catalogue import-playlist --mylist FILE [--catalogue FILE] [--group NAME] "
        "SOURCE\n"
        "  zentuvo-catalogue export-playlist --mylist FILE [--catalogue FILE] [--group NAME] "
        "--out FILE\n"
        "  zentuvo-catalogue export-playlist --catalogue FILE --favourites --out FILE\n"
        "  zentuvo-catalogue guide-import --guide FILE --catalogue FILE [--mylist FILE] "
        "SOURCE...\n"
        "  zentuvo-catalogue guide-now --guide FILE --channel ID [--at TIME]\n"
        "  zentuvo-catalogue guide-sources --guide FILE [--add ADDRESS]... [--remove ADDRESS]...\n"
        "  zentuvo-catalogue check --catalogue FILE [--mylist FILE] [--id ID]...\n"
        "      checks the streams (every channel of both lists without --id; ID is a catalogue\n"
        "      channel's code, e.g. Alpha.it, or a My List channel's number, e.g. 12), prints\n"
        "      ID, state (online, offline, unchecked) and reason per channel, tab-separated,\n"
        "      and keeps the results: health.dat beside the catalogue, and the My List file\n"
        "  zentuvo-catalogue logos --catalogue FILE [--mylist FILE] [--guide FILE]\n"
        "      prints ID and logo address per channel that has a logo (My List's own, else\n"
        "      the programme guide's icon), tab-separated\n"
        "  zentuvo-catalogue schedule --schedule FILE [--catalogue FILE] [--mylist FILE]\n"
        "      (--list | --add --channel ID --start TIME --minutes N [--title TEXT] | --remove N)\n"
        "      lists, adds or removes scheduled recordings (schedule.dat in the data folder);\n"
        "      ID as for check, TIME as 2026-12-07T20:30 (local time), N from the list\n",
        stderr);
    return 2;
}

int report(const CatalogueResult& r, const char* what, qint64 ms) {
    if (!r.ok) {
        std::fprintf(stderr, "zentuvo-catalogue: %s failed: %s\n", what, qPrintable(r.error));
        return 1;
    }
    std::printf("%s: %d channels, %d terms in %lld ms\n", what, r.channels, r.terms,
                static_cast<long long>(ms));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    QElapsedTimer timer;
    timer.start();
    if (command == u"build") {
        const QString data = option(args, "--data"), out = option(args, "--out");
        if (data.isEmpty() || out.isEmpty())
            return usage();
        const int replicate =
            option(args, "--replicate").isEmpty() ? 1 : option(args, "--replicate").toInt();
        if (replicate < 1)
            return usage();
        const auto r = buildCatalogue(data, out, replicate);
        return report(r, "build", timer.elapsed());
    }
    if (command == u"update") {
        const QString data = option(args, "--data"), db = option(args, "--db");
        if (data.isEmpty() || db.isEmpty())
            return usage();
        const auto r = updateCatalogue(data, db);
        return report(r, "update", timer.elapsed());
    }
    if (command == u"export") {
        const QString db = option(args, "--db"), out = option(args, "--out");
        if (db.isEmpty() || out.isEmpty())
            return usage();
        const auto r = exportCatalogue(db, out);
        return report(r, "export", timer.elapsed());
    }
    if (const int status = runPlaylistCommand(args); status >= 0)
        return status == 2 ? usage() : status;
    if (const int status = runGuideCommand(args); status >= 0)
        return status == 2 ? usage() : status;
    if (const int status = runHealthCommand(args); status >= 0)
        return status == 2 ? usage() : status;
    if (const int status = runLogoCommand(args); status >= 0)
        return status == 2 ? usage() : status;
    if (const int status = runScheduleCommand(args); status >= 0)
        return status == 2 ? usage() : status;
    if (command == u"encrypt" && args.size() == 2) {
        StoredValueCipher cipher;
        std::printf("%s\n", qPrintable(cipher.encrypt(args[1])));
        return 0;
    }
    if (command == u"decrypt" && args.size() == 2) {
        StoredValueCipher cipher;
        QString error;
        const auto plain = cipher.tryDecrypt(args[1], &error);
        if (!plain) {
            std::fprintf(stderr, "zentuvo-catalogue: the value does not decipher: %s\n",
                         qPrintable(error));
            return 1;
        }
        std::printf("%s\n", plain->toUtf8().constData());
        return 0;
    }
    return usage();
}
