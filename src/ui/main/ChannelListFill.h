#pragma once

#include "ui/main/ChannelListModel.h"

#include <QString>
#include <exception>
#include <vector>

namespace zentuvo {

// One fill of the channel list, made to run on a worker thread with a connection of its own:
// reads the channels that have a stream address (all of them, the favourites or one
// country's), orders them by country and name as the list shows them, then by the column the
// user sorted the list by.
struct ChannelListFill {
    enum class Filter { All, Favourites, Country };

    QString path; // the catalogue
    Filter filter = Filter::All;
    int country = 0;
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;

    std::vector<ChannelRow> rows;
    std::exception_ptr error; // what went wrong; rows then hold what was read before it

    void run();
};

// Compares texts as the catalogue's NOCASE order does: A-Z as a-z, otherwise by character.
int compareNocase(const QString& a, const QString& b);

} // namespace zentuvo
