#include "ui/main/MyListPanel.h"

#include "app/AppContext.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "data/ChannelRef.h"
#include "data/MyListRepository.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/MainWidgets.h"
#include "ui/widgets/ListView.h"

#include <QHeaderView>
#include <exception>

namespace zentuvo {

MyListPanel::MyListPanel(AppContext& app, MainWidgets& ui, QObject* parent)
    : QObject(parent), app_(app), ui_(ui), model_(new ChannelListModel(2, -1, this)) {
    ui_.lvwMyList->setModel(model_);
    ui_.lvwMyList->header()->setSectionsClickable(false); // this list is not sorted by column
}

void MyListPanel::sizeMyListColumns() {
    try {
        const float space = float(ui_.lvwChannels->columnSpace());
        ui_.lvwMyList->setColumnWidth(0, int(space * 40.0f / 100.0f));
        ui_.lvwMyList->setColumnWidth(1, int(space * 59.0f / 100.0f));
        model_->setHeaders({app_.translate(QStringLiteral("_frmMain_lvwMyListHeader_1")),
                            app_.translate(QStringLiteral("_frmMain_lvwMyListHeader_2"))});
    } catch (const std::exception& e) {
        app_.messages.critical(errorDescription(e));
    }
}

void MyListPanel::fillMyList() {
    model_->clear();
    MyListEntries read = readMyListEntries(app_.data());
    std::vector<ChannelRow> rows;
    rows.reserve(read.entries.size());
    for (MyListEntry& e : read.entries) {
        ChannelRow row;
        row.cells[0] = std::move(e.country); // "" for a row without a country
        row.cells[1] = std::move(e.name);
        row.channel = ChannelRef::myList(qint32(e.channelID));
        rows.push_back(std::move(row));
    }
    model_->setRows(std::move(rows));
    if (!read.error)
        return;
    reportErrors(app_.messages, "MakeLvwMyListContents",
                 [&] { std::rethrow_exception(read.error); });
}

void MyListPanel::deleteSelectedMyListChannels() {
    try {
        const QList<int> selected = ui_.lvwMyList->selectedRowNumbers();
        if (selected.isEmpty())
            return;
        if (!app_.messages.askYesNo(app_.translate(QStringLiteral("_frmMain_msgDeleteMyListCH"))))
            return;
        QList<int> channelIDs;
        for (int row : selected)
            channelIDs << model_->channelAt(row).number();
        if (!channelIDs.isEmpty())
            deleteChannels(channelIDs);
        // Refilled even after a failed delete, so that the list shows what is stored.
        fillMyList();
    } catch (const std::exception& e) {
        app_.messages.show({QStringLiteral("Error in MyListDeleteElement: ") + errorDescription(e),
                            {},
                            MsgIcon::None,
                            MsgButtons::AbortRetryIgnore,
                            MsgAnswer::Abort});
    }
}

void MyListPanel::deleteChannels(const QList<int>& channelIDs) {
    reportErrors(app_.messages, "MyListDelete",
                 [&] { deleteMyListChannels(app_.paths().myList, channelIDs); });
}

} // namespace zentuvo
