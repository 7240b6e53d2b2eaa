#pragma once

#include <QList>
#include <QObject>

namespace zentuvo {

class AppContext;
class ChannelListModel;
struct MainWidgets;

// The My List tab: the user's own channels in lvwMyList, and their deletion.
class MyListPanel : public QObject {
    Q_OBJECT
public:
    MyListPanel(AppContext& app, MainWidgets& ui, QObject* parent = nullptr);

    ChannelListModel* model() const { return model_; }

    // Two columns of 40 % and 59 % of the catalogue list's width, with their headers.
    void sizeMyListColumns();
    // Refills the list from the My List database, by name; channels without a stream
    // address are left out.
    void fillMyList();
    // Asks once, then deletes every selected row and refills the list.
    void deleteSelectedMyListChannels();
    // Deletes the My List rows with these numbers, in one statement.
    void deleteChannels(const QList<int>& channelIDs);

private:
    AppContext& app_;
    MainWidgets& ui_;
    ChannelListModel* model_;
};

} // namespace zentuvo
