// Channel logos as the decoration of a channel list's name column.
#include "ui/main/ChannelListModel.h"

namespace zentuvo {

void ChannelListModel::setLogos(int column, LogoFunction logo) {
    logoColumn_ = column;
    logo_ = std::move(logo);
    refreshLogos();
}

void ChannelListModel::refreshLogos() {
    if (logoColumn_ >= 0 && logoColumn_ < columns_ && !rows_.empty())
        emit dataChanged(index(0, logoColumn_), index(int(rows_.size()) - 1, logoColumn_),
                         {Qt::DecorationRole, LogoRole});
}

QVariant ChannelListModel::logoDecoration(const ChannelRow& row, int column) const {
    if (!logo_)
        return {};
    const QPixmap logo = logo_(row.channel, row.cells[size_t(column)]);
    return logo.isNull() ? QVariant() : QVariant(logo);
}

} // namespace zentuvo
