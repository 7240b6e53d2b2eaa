#include "ui/main/MyListPanel.h"

#include "app/AppContext.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "data/ChannelRef.h"
#include "data/ErrorReporter.h"
#include "data/NocaseOrder.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/MainWidgets.h"
#include "ui/main/NowColumnDelegate.h"
#include "ui/main/RefillLock.h"
#include "ui/widgets/ListView.h"

#include <QComboBox>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <exception>

namespace zentuvo {

namespace {

using Kind = MyListGroupFilter::Kind;

// Keeps what the data layer reports on the worker thread, to be shown on the GUI thread.
class KeptReports : public ErrorReporter {
public:
    void reportError(const QString& text) override { errors << text; }
    void reportNotice(const QString& text) override { notices << text; }
    QStringList errors, notices;
};

// What a refill hands from its worker thread to the panel.
struct FilledMyList {
    MyListGroups groups;
    MyListGroupFilter shown; // the chosen group, or all groups when it is gone
    std::vector<ChannelRow> rows;
    std::exception_ptr error;
    KeptReports reports;
};

// The selector entry of a group, or -1.
int entryOf(const QComboBox* selector, const MyListGroupFilter& group) {
    for (int i = 0; i < selector->count(); ++i) {
        if (selector->itemData(i).toInt() != int(group.kind))
            continue;
        if (group.kind != Kind::Group || compareNocase(selector->itemText(i), group.group) == 0)
            return i;
    }
    return -1;
}

// Reads the groups, then the rows of the chosen group, on the worker thread.
FilledMyList readMyList(DataContext ctx, const MyListGroupFilter& chosen) {
    FilledMyList out;
    ctx.cipher = nullptr; // the names and countries need no deciphering
    ctx.errors = &out.reports;
    MyListView view = readMyListView(ctx, chosen); // one pass for the groups and the rows
    out.groups = std::move(view.groups);
    out.shown = view.shown;
    MyListEntries& read = view.read;
    out.error = read.error;
    out.rows.reserve(read.entries.size());
    for (MyListEntry& e : read.entries) {
        ChannelRow row;
        row.cells[0] = std::move(e.country); // "" for a row without a country
        row.cells[1] = std::move(e.name);
        row.channel = ChannelRef::myList(qint32(e.channelID));
        out.rows.push_back(std::move(row));
    }
    return out;
}

} // namespace

MyListPanel::MyListPanel(AppContext& app, MainWidgets& ui, QObject* parent)
    : QObject(parent), app_(app), ui_(ui), model_(new ChannelListModel(2, -1, this)),
      chosen_(app.preferences().myListGroup()) {
    const int now = model_->addNowColumn();
    ui_.lvwMyList->setModel(model_);
    ui_.lvwMyList->setItemDelegateForColumn(now, new NowColumnDelegate(ui_.lvwMyList));
    ui_.lvwMyList->header()->setSectionsClickable(false); // this list is not sorted by column
    {
        // "All groups" is there from the start: the captions replace its text in place.
        const QSignalBlocker quiet(ui_.cboGroup);
        ui_.cboGroup->addItem(groupText(MyListGroupFilter::all()), int(Kind::All));
    }
    connect(ui_.cboGroup, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            onGroupSelected(index);
    });
}

MyListPanel::~MyListPanel() = default;

QString MyListPanel::groupText(const MyListGroupFilter& group) {
    switch (group.kind) {
    case Kind::All:
        return app_.translate(QStringLiteral("_frmMain_cboGroup_All"));
    case Kind::NoGroup:
        return app_.translate(QStringLiteral("_frmMain_cboGroup_None"));
    case Kind::Group:
        break;
    }
    return group.group;
}

void MyListPanel::sizeMyListColumns() {
    try {
        const float space = float(ui_.lvwChannels->columnSpace());
        ui_.lvwMyList->setColumnWidth(0, int(space * 25.0f / 100.0f));
        ui_.lvwMyList->setColumnWidth(1, int(space * 40.0f / 100.0f));
        ui_.lvwMyList->setColumnWidth(2, int(space * 34.0f / 100.0f));
        model_->setHeaders({app_.translate(QStringLiteral("_frmMain_lvwMyListHeader_1")),
                            app_.translate(QStringLiteral("_frmMain_lvwMyListHeader_2")),
                            app_.translate(QStringLiteral("_frmMain_lvwMyListHeader_3"))});
    } catch (const std::exception& e) {
        app_.messages.critical(errorDescription(e));
    }
}

void MyListPanel::onGroupSelected(int index) {
    const auto kind = Kind(ui_.cboGroup->itemData(index).toInt());
    chosen_ = kind == Kind::Group ? MyListGroupFilter::ofGroup(ui_.cboGroup->itemText(index))
                                  : MyListGroupFilter{kind, {}};
    startFill();
}

void MyListPanel::fillMyList() {
    startFill();
}

void MyListPanel::startFill() {
    model_->clear();
    // Each refill has a number; one started while this one waits makes its rows stale.
    const quint64 generation = ++fillGeneration_;
    lock_.reset();
    lock_ = std::make_unique<RefillLock>(ui_.lvwMyList);
    emit groupDeletableChanged(false);
    auto* watcher = new QFutureWatcher<FilledMyList>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != fillGeneration_)
            return; // a newer refill replaced this one
        FilledMyList result = watcher->future().takeResult();
        lock_.reset();
        for (const QString& text : result.reports.errors)
            app_.messages.reportError(text);
        for (const QString& text : result.reports.notices)
            app_.messages.reportNotice(text);
        showGroups(result.groups);
        chosen_ = result.shown;
        {
            const QSignalBlocker quiet(ui_.cboGroup);
            const int entry = entryOf(ui_.cboGroup, chosen_);
            ui_.cboGroup->setCurrentIndex(std::max(0, entry));
            if (entry >= 0 && chosen_.kind == Kind::Group)
                chosen_.group = ui_.cboGroup->itemText(entry); // as the list spells it
        }
        model_->setRows(std::move(result.rows));
        if (result.error)
            // What was read so far stays in the list; the counter keeps its old text.
            reportErrors(app_.messages, "MakeLvwMyListContents",
                         [&] { std::rethrow_exception(result.error); });
        else
            ui_.lblMyListCount->setText(QString::number(model_->rowCount()));
        emit groupDeletableChanged(chosen_.kind != Kind::All);
        emit filled();
    });
    watcher->setFuture(QtConcurrent::run(readMyList, app_.data(), chosen_));
}

void MyListPanel::showGroups(const MyListGroups& groups) {
    const QSignalBlocker quiet(ui_.cboGroup);
    ui_.cboGroup->clear();
    ui_.cboGroup->addItem(groupText(MyListGroupFilter::all()), int(Kind::All));
    for (const QString& name : groups.names)
        ui_.cboGroup->addItem(name, int(Kind::Group));
    if (groups.hasUngrouped)
        ui_.cboGroup->addItem(groupText(MyListGroupFilter::noGroup()), int(Kind::NoGroup));
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

void MyListPanel::deleteChosenGroup() {
    if (filling() || chosen_.kind == Kind::All)
        return;
    const QString question = app_.translate(QStringLiteral("_frmMain_msgDeleteGroup"))
                                 .arg(QString::number(model_->rowCount()), groupText(chosen_));
    if (!app_.messages.askYesNo(question))
        return;
    reportErrors(app_.messages, "MyListDeleteGroup",
                 [&] { deleteMyListGroup(app_.paths().myList, chosen_); });
    // The group is gone: the refill shows all groups (or what is left after a failure).
    fillMyList();
}

} // namespace zentuvo
