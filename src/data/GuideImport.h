#pragma once

#include "data/GuideMatch.h"

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

namespace zentuvo {

struct GuideImportOptions {
    QStringList languages; // the texts' preferred languages, best first
    const std::atomic_bool* cancel = nullptr;
    std::function<void(qint64)> progress; // bytes of the source read so far; may be empty
    qint64 refreshTime = 0;               // the time noted as the source's refresh; 0: now
};

struct GuideImportOutcome {
    int channelsMatched = 0;   // our channels that the guide has a channel for
    qint64 programmesKept = 0; // the guide's programmes kept (once for all the channels they feed)
    bool cancelled = false;
    // "" when imported; else why not ("not XML", "truncated", "cancelled", a database error).
    QString error;
};

// Imports one source's XMLTV guide (plain or gzip, found by its first bytes; streamed) into
// the guide file guideDb (created when missing): the source's channels are matched to targets
// (GuideMatcher) and only the programmes of matched channels are kept. The source's earlier
// programmes are replaced in one transaction: when the read fails or is cancelled they stay as
// they were and the source's last error tells why. Each channel's timeline is made clean: a
// repeated start is kept once (the first), a programme that overlaps the next one ends where
// the next starts, a missing stop is the next programme's start, and the last programme of a
// channel without a stop is left out (nothing tells how long it runs). address names the
// source (guide_source); a new address is added. Never throws.
GuideImportOutcome importGuide(const QString& guideDb, const QString& address, QIODevice& data,
                               const std::vector<GuideTarget>& targets,
                               const GuideImportOptions& options = {});

// Notes why a source could not be refreshed (a failed download): its programmes stay as they
// were. A new address is added. Never throws.
void noteGuideFailure(const QString& guideDb, const QString& address, const QString& error);

// An xmltv_ns episode number made readable: "1.4.0/2" -> "S2 E5", ".4." -> "E5"; "" when it
// has neither season nor episode.
QString readableEpisode(const QString& xmltvNs);

} // namespace zentuvo
