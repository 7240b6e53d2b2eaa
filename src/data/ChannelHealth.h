#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <utility>
#include <vector>

namespace zentuvo {

class Connection;
class StoredValueCipher;

// Whether a channel's stream answered when it was last checked. The numbers are stored.
enum class HealthState : int {
    Unknown = 0,       // never checked, or the result is no longer fresh
    Online = 1,        // the server gave media (or a playlist whose media answers)
    Offline = 2,       // the server said so: an HTTP error, a refused connection, no such host,
                       // a playlist without media, a failing segment
    CouldNotCheck = 3, // no answer either way: timed out, trouble on our side, another scheme
};

// One check's result. reasonKey is a term key ("_health_…", empty for online), shown with
// reasonArgument in place of its %1 (healthReasonText in app/HealthText.h); checkedAt in UTC.
struct ChannelHealth {
    HealthState state = HealthState::Unknown;
    QString reasonKey;
    QString reasonArgument;
    QDateTime checkedAt;

    friend bool operator==(const ChannelHealth&, const ChannelHealth&) = default;
};

// A result stays fresh this long; older ones read as unknown and are forgotten.
inline constexpr std::chrono::hours kHealthFreshFor{6};

// Checked within kHealthFreshFor before now (and not in the future of now by more than that).
bool isHealthFresh(const ChannelHealth& health, const QDateTime& now);

// A channel to check: where its stream is and the headers playback sends with it.
struct HealthChannel {
    QString code;   // the catalogue channel's stable code; "" for My List
    int number = 0; // channelID in its list
    QString name;
    QString address;
    QString userAgent; // "" for the program's own
    QString referrer;
};

// Every channel of the catalogue (addresses deciphered), by name. With codes, only those
// channels. Throws DbError.
std::vector<HealthChannel> catalogueHealthChannels(const QString& catalogueFile,
                                                   StoredValueCipher& cipher,
                                                   const QStringList& codes = {});
// The catalogue channels numbered (channelID), by name: only those are deciphered; nothing
// for no numbers. Throws DbError.
std::vector<HealthChannel> catalogueHealthChannels(const QString& catalogueFile,
                                                   StoredValueCipher& cipher,
                                                   const QList<int>& channelIDs);
// Every My List channel, by name; with numbers, only those. Throws DbError.
std::vector<HealthChannel> myListHealthChannels(const QString& myListFile,
                                                const QList<int>& numbers = {});

// --- Catalogue channels: kept in their own file (AppPaths::healthFile, beside ch.dat) by the
// channel's code, so that a new catalogue keeps them. Every function throws DbError.

// Saves results in one transaction (the file is made when missing); a channel's newer result
// replaces its older one.
void saveCatalogueHealth(const QString& healthFile,
                         const std::vector<std::pair<QString, ChannelHealth>>& results);
// The fresh results of the catalogue's channels by channelID, in one query over the catalogue
// and the health file; only the channels numbered when channelIDs is given. Nothing when the
// health file is missing.
QHash<int, ChannelHealth> readCatalogueHealth(const QString& catalogueFile,
                                              const QString& healthFile, const QDateTime& now,
                                              const QList<int>& channelIDs = {});
// The fresh results by code (the codes given, or all).
QHash<QString, ChannelHealth> readCatalogueHealthByCode(const QString& healthFile,
                                                        const QDateTime& now,
                                                        const QStringList& codes = {});
// Deletes the results that are no longer fresh; how many went. Nothing without the file.
int forgetStaleCatalogueHealth(const QString& healthFile, const QDateTime& now);

// --- My List channels: kept in the My List file itself (table tab_mylistHealth, made by
// upgradeMyListSchema and by the first save), by channelID. Every function throws DbError.

void createMyListHealthTable(Connection& db);
void saveMyListHealth(const QString& myListFile,
                      const std::vector<std::pair<int, ChannelHealth>>& results);
QHash<int, ChannelHealth> readMyListHealth(const QString& myListFile, const QDateTime& now,
                                           const QList<int>& channelIDs = {});
int forgetStaleMyListHealth(const QString& myListFile, const QDateTime& now);

// --- Both lists at once.

// Every fresh result of the catalogue (through its health file) and of My List, keyed by
// ChannelRef::key(). A file that is missing or cannot be read adds nothing: its channels
// show as not checked.
QHash<quint64, ChannelHealth> readHealthByChannel(const QString& catalogueFile,
                                                  const QString& healthFile,
                                                  const QString& myListFile, const QDateTime& now);

} // namespace zentuvo
