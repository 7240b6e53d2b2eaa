#pragma once

#include <QModelIndexList>
#include <vector>

namespace zentuvo {

// Puts rows in a sorted order: order[i] is the present place of the row that goes to place
// i. Gives, for each present place, the row's new place.
template <typename Row, typename Index>
std::vector<int> applyRowOrder(std::vector<Row>& rows, const std::vector<Index>& order) {
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    std::vector<int> newPlace(rows.size());
    for (size_t to = 0; to < order.size(); ++to) {
        const auto from = size_t(order[to]);
        newPlace[from] = int(to);
        sorted.push_back(std::move(rows[from]));
    }
    rows = std::move(sorted);
    return newPlace;
}

// The indexes of a model's persistent indexes after its rows moved to newPlace (as
// applyRowOrder gives it); makeIndex(row, column) makes an index of the model. A model
// passes both lists to changePersistentIndexList, so that the selected and current rows
// follow their channels.
template <typename MakeIndex>
QModelIndexList movedIndexes(const QModelIndexList& before, const std::vector<int>& newPlace,
                             MakeIndex makeIndex) {
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after << makeIndex(newPlace[size_t(i.row())], i.column());
    return after;
}

} // namespace zentuvo
