#pragma once

#include <QStyledItemDelegate>

namespace zentuvo {

// Paints a cell of the lists' "Now" column: the running programme's title as any cell shows
// text, and along the cell's foot a thin bar of how far the programme has run (the model's
// ChannelListModel::ProgressRole), in the palette's colours so that it suits every theme.
class NowColumnDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The bar's height in pixels.
    static constexpr int kBarHeight = 3;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace zentuvo
