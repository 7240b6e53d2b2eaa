#pragma once

#include <QStyledItemDelegate>

namespace zentuvo {

// Paints the picture a model gives under logoRole after a cell's own icon (a mark), both in
// the place of the icon; cells without such a picture paint as usual.
class LogoBesideIcon : public QStyledItemDelegate {
public:
    LogoBesideIcon(int logoRole, QObject* parent = nullptr);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    int logoRole_;
};

} // namespace zentuvo
