#pragma once

#include "data/MyListRepository.h"

#include <QList>
#include <QObject>
#include <memory>

namespace zentuvo {

class AppContext;
class ChannelListModel;
struct MainWidgets;
class RefillLock;

// The My List tab: the group selector (cboGroup with "All groups", every group in NOCASE
// order and "Without group" when some channel has none), the user's own channels in
// lvwMyList with their counter, and their deletion.
//
// The list is filled on a worker thread, as the catalogue list is: a fill empties the list
// at once; the groups and the rows arrive later, with filled() (a newer fill makes an older
// one's rows stale; they never arrive).
class MyListPanel : public QObject {
    Q_OBJECT
public:
    MyListPanel(AppContext& app, MainWidgets& ui, QObject* parent = nullptr);
    ~MyListPanel() override;

    ChannelListModel* model() const { return model_; }

    // Two columns of 40 % and 59 % of the catalogue list's width, with their headers.
    void sizeMyListColumns();
    // Starts a refill of the selector and the list, by name, for the chosen group (at first
    // the remembered one; a group that no longer exists gives all groups); channels without
    // a stream address are left out.
    void fillMyList();
    // True from the start of a refill until its rows arrive.
    bool filling() const { return lock_ != nullptr; }
    // The group the list shows, or is being filled for.
    MyListGroupFilter chosenGroup() const { return chosen_; }
    // The text of a selector entry: "All groups", "Without group" or the group's name.
    QString groupText(const MyListGroupFilter& group);

    // Asks once, then deletes every selected row and refills the list.
    void deleteSelectedMyListChannels();
    // Deletes the My List rows with these numbers, in one statement.
    void deleteChannels(const QList<int>& channelIDs);
    // Asks once, naming the chosen group and its number of channels, then deletes the
    // group's channels and refills the list. Nothing while all groups are shown or a
    // refill is under way.
    void deleteChosenGroup();

signals:
    // The groups and rows of the latest refill are in place (also after a failed read, with
    // what was read before it).
    void filled();
    // The group delete command became possible or impossible.
    void groupDeletableChanged(bool deletable);

private:
    void onGroupSelected(int index);
    void startFill();
    void showGroups(const MyListGroups& groups);

    AppContext& app_;
    MainWidgets& ui_;
    ChannelListModel* model_;
    MyListGroupFilter chosen_;
    quint64 fillGeneration_ = 0;       // the number of the latest refill
    std::unique_ptr<RefillLock> lock_; // while a refill waits for its rows
};

} // namespace zentuvo
