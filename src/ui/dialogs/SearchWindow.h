#pragma once

#include "data/ChannelRef.h"

#include <QDialog>
#include <QPoint>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTreeView;

namespace zentuvo {

class AppContext;
class MainWindowApi;
class SearchResultModel;

// frmSearch: finds catalogue channels whose name or description holds a text and plays a
// hit in the main window (double click, or Play in the pop-up menu) or previews it. With
// chkTitles ticked, the channels whose programmes of the next 24 hours have the text in their
// title follow, with the programme's time and title before their description.
// Modeless: open it with SearchWindow::open, which brings an open one forward.
//
// The search runs off the GUI thread; the busy pointer shows until the list is filled and
// the status bar counts the hits.
class SearchWindow : public QDialog {
    Q_OBJECT
public:
    SearchWindow(AppContext& app, MainWindowApi& main, QWidget* parent = nullptr);
    ~SearchWindow() override;

    // Shows the one search window, creating it on the first request (parent: the main
    // window).
    static SearchWindow* open(AppContext& app, MainWindowApi& main);

    // cmdSearch, or Enter in txtSearch: a text of blanks only is refused with a message.
    void onSearchClicked();
    // Fills the list with the channels holding searchText (as typed).
    void fillChannels(const QString& searchText);
    // Sizes the four columns at 20, 30, 30 and 19 per cent of the list's width.
    void sizeChannelColumns();
    // The double click and the pop-up menu's Play: the selected row in the main player,
    // when the last mouse-button release over the list landed on a row.
    void playSelectedChannel();
    // The pop-up menu's Preview: the same, in the preview player.
    void onChannelPreviewTriggered();

    bool isSearching() const { return job_ != nullptr; }
    QTreeView* list() const { return lvwChannels_; }
    SearchResultModel* model() const { return model_; }
    QString statusText() const;
    QCheckBox* titlesBox() const { return chkTitles_; }
    // The time a title search starts from, in UTC seconds (the system clock unless set).
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

signals:
    // A search has filled the list (also after a failure, with what it had).
    void searchFinished(int rows);
    // A hit to play in the main player, or in the preview.
    void playRequested(zentuvo::ChannelRef channel);
    void previewRequested(zentuvo::ChannelRef channel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildLayout();
    void setCaptions();
    void onListMouseReleased(Qt::MouseButton button, const QPoint& pos);
    void onHeaderClicked(int section);
    bool rowUnderPointer() const;
    ChannelRef selectedChannel() const;
    struct Job;
    void searchDone(const std::shared_ptr<Job>& job);
    void endBusy();

    AppContext& app_;
    MainWindowApi& main_;

    QLabel* lblSearch_ = nullptr;
    QLineEdit* txtSearch_ = nullptr;
    QPushButton* cmdSearch_ = nullptr;
    QCheckBox* chkTitles_ = nullptr;
    std::function<qint64()> clock_;
    QTreeView* lvwChannels_ = nullptr;
    SearchResultModel* model_ = nullptr;
    QStatusBar* StatusBar1_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QMenu* mnuLvwChannels_ = nullptr;
    QAction* miLvwChannelsPlay_ = nullptr;
    QAction* miLvwChannelsPreview_ = nullptr;

    // Where the last mouse-button release over the list landed (viewport coordinates).
    QPoint lastMouse_{-1, -1};

    // The search whose result the list waits for; null when none runs. A newer search calls
    // off an older one, whose result is then dropped. Every search still running is in
    // running_, so that closing the window can wait for their threads.
    std::shared_ptr<Job> job_;
    std::vector<std::shared_ptr<Job>> running_;
    bool busy_ = false;
};

} // namespace zentuvo
