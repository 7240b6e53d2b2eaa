#include "ui/main/MyListPanel.h"

#include "app/AppState.h"
#include "common/Messages.h"
#include "data/ChannelInfo.h"
#include "data/ChannelRef.h"
#include "data/Database.h"
#include "ui/main/ChannelListModel.h"
#include "ui/widgets/ListView.h"
#include "ui/main/MainWidgets.h"
#include "ui/main/UiErrors.h"

#include <QHash>
#include <QHeaderView>
#include <limits>

namespace zentuvo {

namespace {

// SQLite takes at most 32,766 bound values in one statement; larger selections are
// deleted in parts of this size, all in one transaction.
constexpr qsizetype kDeleteBatch = 5000;

} // namespace

MyListPanel::MyListPanel(AppState& app, MainWidgets& ui, QObject* parent)
    : QObject(parent), app_(app), ui_(ui), model_(new ChannelListModel(2, -1, this)) {
    ui_.lvwMyList->setModel(model_);
    ui_.lvwMyList->header()->setSectionsClickable(false); // this list is not sorted by column
}

void MyListPanel::MakeLvwMyListColumns() {
    try {
        const float space = float(ui_.lvwChannels->columnSpace());
        ui_.lvwMyList->setColumnWidth(0, int(space * 40.0f / 100.0f));
        ui_.lvwMyList->setColumnWidth(1, int(space * 59.0f / 100.0f));
        model_->setHeaders({app_.Translate(QStringLiteral("_frmMain_lvwMyListHeader_1")),
                            app_.Translate(QStringLiteral("_frmMain_lvwMyListHeader_2"))});
    } catch (const std::exception& e) {
        app_.messages.critical(errorDescription(e));
    }
}

void MyListPanel::MakeLvwMyListContents() {
    model_->clear();
    std::vector<ChannelRow> rows;
    try {
        Connection db(app_.MyListConnectionString, Connection::Mode::ReadOnly);
        auto q = db.prepare(QStringLiteral(" SELECT tab_mylist.channelID, tab_mylist.countryID, "
                                           "tab_mylist.name  FROM tab_mylist "
                                           " WHERE tab_mylist.streamUrl <> '' "
                                           " ORDER BY tab_mylist.name COLLATE NOCASE"));
        const DataContext data = app_.data();
        QHash<qint64, QString> countries; // one lookup per country
        while (q.next()) {
            ChannelRow row;
            // A row without a country is listed with an empty country.
            if (!q.isNull(1)) {
                const qint64 countryID = q.integer(1);
                auto found = countries.constFind(countryID);
                if (found == countries.cend()) {
                    const bool fits = countryID >= std::numeric_limits<int>::min() &&
                                      countryID <= std::numeric_limits<int>::max();
                    found = countries.insert(
                        countryID, fits ? GetCountryCHname(data, int(countryID)) : QString());
                }
                row.cells[0] = *found;
            }
            row.cells[1] = q.text(2);
            row.channel = ChannelRef::myList(qint32(q.integer(0)));
            rows.push_back(std::move(row));
        }
    } catch (const std::exception& e) {
        model_->setRows(std::move(rows));
        app_.messages.critical(QStringLiteral("Error in MakeLvwMyListContents: ") +
                               errorDescription(e));
        return;
    }
    model_->setRows(std::move(rows));
}

void MyListPanel::MyListDeleteElement() {
    try {
        const QList<int> selected = ui_.lvwMyList->selectedRowNumbers();
        if (selected.isEmpty())
            return;
        if (!app_.messages.askYesNo(app_.Translate(QStringLiteral("_frmMain_msgDeleteMyListCH"))))
            return;
        QList<int> channelIDs;
        for (int row : selected)
            channelIDs << model_->channelAt(row).number();
        if (!channelIDs.isEmpty())
            MyListDelete(channelIDs);
        // Refilled even after a failed delete, so that the list shows what is stored.
        MakeLvwMyListContents();
    } catch (const std::exception& e) {
        app_.messages.show({QStringLiteral("Error in MyListDeleteElement: ") + errorDescription(e),
                            {},
                            MsgIcon::None,
                            MsgButtons::AbortRetryIgnore,
                            MsgAnswer::Abort});
    }
}

void MyListPanel::MyListDelete(const QList<int>& channelIDs) {
    if (channelIDs.isEmpty())
        return;
    try {
        Connection db(app_.MyListConnectionString);
        Connection::Transaction transaction(db);
        for (qsizetype from = 0; from < channelIDs.size(); from += kDeleteBatch) {
            const qsizetype count = std::min(kDeleteBatch, channelIDs.size() - from);
            QStringList marks;
            marks.reserve(count);
            for (qsizetype i = 0; i < count; ++i)
                marks << QStringLiteral("?");
            auto statement = db.prepare(
                QStringLiteral("DELETE FROM tab_mylist WHERE tab_mylist.channelID IN (") +
                marks.join(QStringLiteral(", ")) + QStringLiteral(") "));
            for (qsizetype i = 0; i < count; ++i)
                statement.bind(int(i + 1), channelIDs[from + i]);
            statement.run();
        }
        transaction.commit();
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in MyListDelete: ") + errorDescription(e));
    }
}

} // namespace zentuvo
