#pragma once

#include "data/ChannelRef.h"
#include "data/XmltvReader.h"

#include <QHash>
#include <QList>
#include <QString>
#include <vector>

namespace zentuvo {

// One of our channels that a guide channel may belong to.
struct GuideTarget {
    ChannelRef channel;
    QString id; // the catalogue's code or My List's tvgId; "" when none
    QString name;
};

// The catalogue's channels (code, name) then My List's (tvgId, name). Either path may be "":
// none of that list. Opens its own connections; throws DbError.
std::vector<GuideTarget> loadGuideTargets(const QString& catalogueDb, const QString& myListDb);

// A name as the matching compares it: letter case, blanks and punctuation left out
// ("ZDF-info HD" and "zdfinfo hd" give the same key).
QString guideNameKey(const QString& name);

// Decides which of our channels each channel of one guide belongs to. Each of ours takes the
// guide channel whose id equals its own id (the catalogue's code, My List's tvgId; letter case
// aside); one without such a guide channel takes the first guide channel (in the guide's order)
// one of whose display names has its name's key. So one guide channel may feed several of
// ours (the same channel in the catalogue and in My List), but each of ours has one guide
// channel. Ids match as soon as a channel is added; names once finish() is called, because a
// later channel with the right id wins over an earlier one with the right name (a guide lists
// its channels before its programmes; a channel added after finish() is matched at once).
class GuideMatcher {
public:
    explicit GuideMatcher(std::vector<GuideTarget> targets);

    void addChannel(const XmltvChannel& channel);
    void finish();
    bool finished() const { return finished_; }
    bool knows(const QString& guideId) const { return guides_.contains(guideId); }

    // The targets (indexes into targets()) that guide channel guideId feeds.
    QList<int> targetsOf(const QString& guideId) const { return fed_.value(guideId); }
    const std::vector<GuideTarget>& targets() const { return targets_; }
    // The guide channel that target feeds from (null when none).
    QString guideOf(int target) const { return assigned_[size_t(target)]; }
    // The guide channel's icon address ("" when none or unknown).
    QString iconOf(const QString& guideId) const { return guides_.value(guideId).icon; }
    // How many of our channels have a guide channel.
    int matchedCount() const;

private:
    struct Guide {
        int order = 0;
        QStringList nameKeys;
        QString icon;
    };
    void assign(int target, const QString& guideId, bool byId);
    void matchNames(const QString& guideId, const Guide& guide);

    std::vector<GuideTarget> targets_;
    QHash<QString, QList<int>> byId_;   // folded id -> targets
    QHash<QString, QList<int>> byName_; // name key -> targets
    QHash<QString, Guide> guides_;
    QList<QString> order_;          // guide ids in the order added
    std::vector<QString> assigned_; // per target: its guide channel's id, or null
    std::vector<bool> assignedById_;
    QHash<QString, QList<int>> fed_;
    bool finished_ = false;
};

} // namespace zentuvo
