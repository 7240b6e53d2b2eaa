#include "ui/main/NowColumnDelegate.h"

#include "ui/main/ChannelListModel.h"

#include <QPainter>

namespace zentuvo {

void NowColumnDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant value = index.data(ChannelListModel::ProgressRole);
    if (!value.isValid() || value.toInt() < 0)
        return;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QRect track(option.rect.left() + 2, option.rect.bottom() - kBarHeight,
                      std::max(0, option.rect.width() - 4), kBarHeight);
    const QRect done(track.left(), track.top(), track.width() * value.toInt() / 1000,
                     track.height());
    painter->save();
    painter->fillRect(track, option.palette.color(group, QPalette::Mid));
    painter->fillRect(done, option.palette.color(group, selected ? QPalette::HighlightedText
                                                                 : QPalette::Highlight));
    painter->restore();
}

} // namespace zentuvo
