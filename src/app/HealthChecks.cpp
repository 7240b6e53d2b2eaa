#include "app/HealthChecks.h"

#include "data/Database.h"

namespace zentuvo {

HealthChecks::HealthChecks(const QString& healthFile, const QString& myListFile, QObject* parent)
    : QObject(parent), healthFile_(healthFile), myListFile_(myListFile) {
    connect(
        &scheduler_, &ChannelCheckScheduler::checked, this,
        [this](int index, const ChannelHealth& result) { keep(channels_[size_t(index)], result); });
    connect(&scheduler_, &ChannelCheckScheduler::progress, this, &HealthChecks::progress);
    connect(&scheduler_, &ChannelCheckScheduler::finished, this, [this] {
        save();
        emit finished();
    });
}

HealthChecks::~HealthChecks() {
    scheduler_.cancel();
    save();
}

ChannelRef HealthChecks::refOf(const HealthChannel& channel) {
    return channel.code.isEmpty() ? ChannelRef::myList(channel.number)
                                  : ChannelRef::catalogue(channel.number);
}

void HealthChecks::start(std::vector<HealthChannel> channels) {
    cancel();
    channels_ = std::move(channels);
    QList<StreamCheckRequest> requests;
    requests.reserve(qsizetype(channels_.size()));
    for (const HealthChannel& ch : channels_)
        requests << StreamCheckRequest{ch.address, ch.userAgent, ch.referrer};
    scheduler_.start(requests);
}

void HealthChecks::cancel() {
    scheduler_.cancel();
    save();
}

void HealthChecks::keep(const HealthChannel& channel, const ChannelHealth& result) {
    if (channel.code.isEmpty())
        myListResults_.push_back({channel.number, result});
    else
        catalogueResults_.push_back({channel.code, result});
    // Copied: a slot may start another list, which replaces channels_.
    const HealthChannel checkedChannel = channel;
    if (myListResults_.size() + catalogueResults_.size() >= size_t(kSaveBatch))
        save();
    emit checked(checkedChannel, result);
}

void HealthChecks::save() {
    if (catalogueResults_.empty() && myListResults_.empty())
        return;
    try {
        if (!catalogueResults_.empty())
            saveCatalogueHealth(healthFile_, catalogueResults_);
        if (!myListResults_.empty() && !myListFile_.isEmpty())
            saveMyListHealth(myListFile_, myListResults_);
    } catch (const DbError& e) {
        emit saveFailed(e.description());
    }
    catalogueResults_.clear();
    myListResults_.clear();
}

} // namespace zentuvo
