#include "ui/dialogs/SearchWindow.h"

#include "app/AppContext.h"
#include "app/Settings.h"
#include "common/Messages.h"
#include "data/CatalogueSearch.h"
#include "data/GuideStore.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/SearchResultModel.h"
#include "ui/widgets/HealthMarks.h"
#include "ui/widgets/ListView.h"
#include "ui/widgets/NowNextText.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>
#include <array>
#include <atomic>

namespace zentuvo {

namespace {

// Shares of the list's width taken by the country, channel, description and genre columns.
constexpr std::array<float, SearchResultModel::kColumns> kColumnShares{0.20f, 0.30f, 0.30f, 0.19f};

QString term(AppContext& app, const char* key) {
    return app.translate(QString::fromLatin1(key));
}

} // namespace

// One search: what it looks for, how the list is sorted, and what it found.
struct SearchWindow::Job {
    QString text;
    QString channelDb;
    QString myListDb;
    QString myListLabel; // "My List", before a My List hit's group in the genre column
    // The genres' display names, by stored name.
    QHash<QString, QString> genres;
    std::optional<SearchResultModel::SortState> sort;
    QString healthFile;
    bool hideOffline = false;
    // The search by programme title: the guide, and the time its 24 hours start from.
    QString guideDb;
    bool titles = false;
    qint64 from = 0;
    std::atomic<bool> cancel{false};
    SearchOutcome outcome;
    QHash<quint64, ChannelHealth> health; // the hits' check states
    QThread* thread = nullptr;
};

namespace {

// The hits' kept check states (every list's, in two queries); offline hits left out when the
// user hides them. A state that cannot be read shows as unknown.
template <typename Job> void readHealth(Job& work) {
    if (work.outcome.cancelled || !work.outcome.error.isEmpty())
        return;
    work.health = readHealthByChannel(work.channelDb, work.healthFile, work.myListDb,
                                      QDateTime::currentDateTimeUtc());
    if (work.hideOffline)
        std::erase_if(work.outcome.hits, [&work](const SearchHit& hit) {
            return work.health.value(hit.channel().key()).state == HealthState::Offline;
        });
}

// The channels whose programmes of the next 24 hours have the text in their title and that no
// hit names yet, after the hits; each with the first such programme before its description.
template <typename Job> void addTitleHits(Job& work) {
    if (!work.titles || work.outcome.cancelled || !work.outcome.error.isEmpty())
        return;
    constexpr int kHours = 24;
    QList<ChannelRef> channels;
    std::vector<GuideProgramme> programmes;
    try {
        channels = channelsWithTitle(work.guideDb, work.text, work.from, kHours);
        QSet<quint64> named;
        for (const SearchHit& hit : work.outcome.hits)
            named.insert(hit.channel().key());
        channels.removeIf([&named](ChannelRef c) { return named.contains(c.key()); });
        if (channels.isEmpty())
            return;
        programmes =
            guideProgrammes(work.guideDb, channels, work.from, work.from + qint64(kHours) * 3600);
    } catch (const std::exception&) {
        return; // no guide, or one that cannot be read: no programme finds a channel
    }
    QHash<quint64, QString> found;
    for (const GuideProgramme& p : programmes)
        if (!found.contains(p.channel.key()) && p.title.contains(work.text, Qt::CaseInsensitive))
            found.insert(p.channel.key(), programmeSpan(p));
    SearchOutcome more = searchHitsOf(work.channelDb, work.myListDb, channels);
    for (SearchHit& hit : more.hits) {
        const QString programme = found.value(hit.channel().key());
        if (!programme.isEmpty())
            hit.description =
                hit.description.isEmpty() ? programme : programme + u'\n' + hit.description;
        hit.genre =
            hit.myList ? (hit.genre.isEmpty() ? work.myListLabel
                                              : work.myListLabel + QStringLiteral(": ") + hit.genre)
                       : work.genres.value(hit.genre, hit.genre);
    }
    if (work.sort)
        SearchResultModel::sortHits(more.hits, work.sort->column, work.sort->order);
    for (SearchHit& hit : more.hits)
        work.outcome.hits.push_back(std::move(hit));
}

} // namespace

SearchWindow::SearchWindow(AppContext& app, MainWindowApi& main, QWidget* parent)
    : QDialog(parent), app_(app), main_(main) {
    setObjectName(QStringLiteral("frmSearch"));
    setSizeGripEnabled(false);
    setModal(false);
    buildLayout();
    keepAboveFullVideo(this, main_);
    setCaptions();
    closeOnEscape(this);
    resize(820, 520);
}

SearchWindow::~SearchWindow() {
    job_.reset();
    for (const auto& job : running_) {
        job->cancel = true;
        job->thread->wait();
        delete job->thread;
    }
    endBusy();
}

SearchWindow* SearchWindow::open(AppContext& app, MainWindowApi& main) {
    static QPointer<SearchWindow> window;
    return showModeless(window, [&] { return new SearchWindow(app, main, main.mainWidget()); });
}

void SearchWindow::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* imgTop = makeBanner(term(app_, "_frmSearch_caption"), this, 48);
    imgTop->setObjectName(QStringLiteral("imgTop"));
    outer->addWidget(imgTop);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 12, 12, 8);
    body->setSpacing(10);
    auto* searchRow = new QHBoxLayout;
    searchRow->setSpacing(8);
    lblSearch_ = new QLabel(QStringLiteral("Search Text:"), this);
    lblSearch_->setObjectName(QStringLiteral("lblSearch"));
    txtSearch_ = new QLineEdit(this);
    txtSearch_->setObjectName(QStringLiteral("txtSearch"));
    txtSearch_->setClearButtonEnabled(true);
    txtSearch_->setMinimumWidth(220);
    lblSearch_->setBuddy(txtSearch_);
    cmdSearch_ = new QPushButton(QStringLiteral("Search"), this);
    cmdSearch_->setObjectName(QStringLiteral("cmdSearch"));
    cmdSearch_->setAutoDefault(false);
    cmdSearch_->setIcon(QIcon(dialogPicture(QStringLiteral("search"), QSize(32, 32))));
    cmdSearch_->setMinimumWidth(96);
    searchRow->addWidget(lblSearch_);
    searchRow->addWidget(txtSearch_, 1);
    searchRow->addWidget(cmdSearch_);
    body->addLayout(searchRow);
    chkTitles_ = new QCheckBox(this);
    chkTitles_->setObjectName(QStringLiteral("chkTitles"));
    chkTitles_->setChecked(app_.preferences().searchTitles());
    body->addWidget(chkTitles_);

    model_ = new SearchResultModel(this);
    lvwChannels_ = new ListView(this); // rows as the main window's lists show them
    lvwChannels_->setObjectName(QStringLiteral("lvwChannels"));
    lvwChannels_->setModel(model_);
    lvwChannels_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwChannels_->setMinimumSize(480, 200);
    QHeaderView* header = lvwChannels_->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    body->addWidget(lvwChannels_, 1);
    outer->addLayout(body, 1);

    StatusBar1_ = new QStatusBar(this);
    StatusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1_->setSizeGripEnabled(true);
    statusPanel_ = new QLabel(this);
    statusPanel_->setObjectName(QStringLiteral("StatusBar1Panel1"));
    statusPanel_->setContentsMargins(8, 0, 8, 0);
    StatusBar1_->addWidget(statusPanel_, 1);
    outer->addWidget(StatusBar1_);

    mnuLvwChannels_ = new QMenu(this);
    mnuLvwChannels_->setObjectName(QStringLiteral("mnuLvwChannels"));
    miLvwChannelsPlay_ = mnuLvwChannels_->addAction(QStringLiteral("Play"));
    miLvwChannelsPlay_->setObjectName(QStringLiteral("miLvwChannelsPlay"));
    miLvwChannelsPreview_ = mnuLvwChannels_->addAction(QStringLiteral("Preview"));
    miLvwChannelsPreview_->setObjectName(QStringLiteral("miLvwChannelsPreview"));

    connect(cmdSearch_, &QPushButton::clicked, this, &SearchWindow::onSearchClicked);
    connect(txtSearch_, &QLineEdit::returnPressed, this, &SearchWindow::onSearchClicked);
    connect(header, &QHeaderView::sectionClicked, this, &SearchWindow::onHeaderClicked);
    connect(chkTitles_, &QCheckBox::toggled, this, [this](bool on) {
        if (on == app_.preferences().searchTitles())
            return;
        app_.preferences().setSearchTitles(on);
        saveSearchTitles(app_);
    });
    connect(miLvwChannelsPlay_, &QAction::triggered, this, &SearchWindow::playSelectedChannel);
    connect(miLvwChannelsPreview_, &QAction::triggered, this,
            &SearchWindow::onChannelPreviewTriggered);
    lvwChannels_->viewport()->installEventFilter(this);
    lvwChannels_->installEventFilter(this);
}

void SearchWindow::setCaptions() {
    const QString caption = term(app_, "_frmSearch_caption");
    setWindowTitle(caption);
    statusPanel_->setText(caption);
    lblSearch_->setText(term(app_, "_frmSearch_lblSearch"));
    cmdSearch_->setText(term(app_, "_frmSearch_cmdSearch"));
    chkTitles_->setText(term(app_, "_frmSearch_chkTitles"));
    miLvwChannelsPlay_->setText(term(app_, "_frmSearch_miLvwChannelsPlay"));
    miLvwChannelsPreview_->setText(term(app_, "_frmSearch_miLvwChannelsPreview"));
}

QString SearchWindow::statusText() const {
    return statusPanel_->text();
}

void SearchWindow::onSearchClicked() {
    if (txtSearch_->text().trimmed().isEmpty()) {
        app_.messages.exclamation(term(app_, "_frmSearch_msgError_1"));
        return;
    }
    sizeChannelColumns();
    fillChannels(txtSearch_->text());
}

void SearchWindow::sizeChannelColumns() {
    QStringList headers;
    for (int i = 1; i <= SearchResultModel::kColumns; ++i)
        headers << app_.translate(QStringLiteral("_frmSearch_lvwChHeader_%1").arg(i));
    model_->setHeaders(headers);
    // The columns share the list's inner width with room kept for a vertical scroll bar, so
    // that they fit whether or not one shows.
    const int space = lvwChannels_->maximumViewportSize().width() -
                      lvwChannels_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < SearchResultModel::kColumns; ++c)
        lvwChannels_->setColumnWidth(c, std::max(24, int(float(space) * kColumnShares[size_t(c)])));
}

void SearchWindow::fillChannels(const QString& searchText) {
    if (!busy_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy_ = true;
    }
    if (job_)
        job_->cancel = true;
    model_->clear();
    lastMouse_ = QPoint(-1, -1);

    auto job = std::make_shared<Job>();
    job->text = searchText;
    job->channelDb = app_.paths().catalogue;
    job->myListDb = app_.paths().myList;
    job->myListLabel = term(app_, "_frmMain_tab1_2");
    job->genres = app_.genreNames();
    job->sort = model_->sortState();
    job->healthFile = app_.paths().healthFile();
    job->hideOffline = app_.preferences().hideOffline();
    job->guideDb = app_.paths().guideFile();
    job->titles = chkTitles_->isChecked();
    job->from = clock_ ? clock_() : QDateTime::currentSecsSinceEpoch();
    Job* work = job.get();
    // Reading, deciphering, filtering and sorting all happen on the worker; the GUI thread
    // only takes the finished rows.
    job->thread = QThread::create([work] {
        work->outcome = searchCatalogue(work->channelDb, work->text, &work->cancel);
        for (SearchHit& hit : work->outcome.hits)
            hit.genre = work->genres.value(hit.genre, hit.genre);
        // Then the user's own channels (imported playlists among them), after the catalogue's.
        if (!work->outcome.cancelled && work->outcome.error.isEmpty()) {
            SearchOutcome mine =
                searchMyList(work->myListDb, work->channelDb, work->text, &work->cancel);
            work->outcome.cancelled = mine.cancelled;
            work->outcome.error = mine.error;
            for (SearchHit& hit : mine.hits) {
                hit.genre = hit.genre.isEmpty()
                                ? work->myListLabel
                                : work->myListLabel + QStringLiteral(": ") + hit.genre;
                work->outcome.hits.push_back(std::move(hit));
            }
        }
        if (work->sort && !work->outcome.cancelled)
            SearchResultModel::sortHits(work->outcome.hits, work->sort->column, work->sort->order);
        addTitleHits(*work); // after the name hits, sorted among themselves
        readHealth(*work);
    });
    connect(job->thread, &QThread::finished, this, [this, job] { searchDone(job); });
    job_ = job;
    running_.push_back(job);
    job->thread->start();
}

void SearchWindow::searchDone(const std::shared_ptr<Job>& job) {
    job->thread->wait();
    delete job->thread;
    job->thread = nullptr;
    std::erase(running_, job);
    if (job != job_)
        return; // called off by a newer search
    job_.reset();

    SearchOutcome& outcome = job->outcome;
    model_->setRows(std::move(outcome.hits), job->sort);
    model_->setHealth(std::move(job->health),
                      [this](const ChannelHealth& health) { return healthTip(app_, health); });
    statusPanel_->setText(term(app_, "_frmSearch_msgChannelsFound") + u' ' +
                          QString::number(model_->rowCount()));
    endBusy();
    if (!outcome.error.isEmpty())
        app_.messages.critical(QStringLiteral("Error in MakeLvwChannelsContents: ") +
                               outcome.error);
    else if (!outcome.decipherError.isEmpty())
        // One message for the whole search, not one per damaged description.
        app_.messages.plain(QStringLiteral("Error in DecryptByte: ") + outcome.decipherError);
    emit searchFinished(model_->rowCount());
}

void SearchWindow::endBusy() {
    if (busy_) {
        QApplication::restoreOverrideCursor();
        busy_ = false;
    }
}

void SearchWindow::onHeaderClicked(int section) {
    const Qt::SortOrder order = model_->headerClicked(section);
    lvwChannels_->header()->setSortIndicatorShown(true);
    lvwChannels_->header()->setSortIndicator(section, order);
}

bool SearchWindow::rowUnderPointer() const {
    return lvwChannels_->indexAt(lastMouse_).isValid();
}

ChannelRef SearchWindow::selectedChannel() const {
    const QModelIndexList rows = lvwChannels_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return {};
    return model_->channelAt(rows.first().row());
}

void SearchWindow::onListMouseReleased(Qt::MouseButton button, const QPoint& pos) {
    lastMouse_ = pos;
    if (button == Qt::RightButton && rowUnderPointer())
        mnuLvwChannels_->popup(QCursor::pos());
}

void SearchWindow::playSelectedChannel() {
    setCursor(Qt::WaitCursor);
    if (rowUnderPointer()) {
        const ChannelRef channel = selectedChannel();
        if (!channel.isNull())
            emit playRequested(channel);
        else
            app_.messages.exclamation(term(app_, "_frmMain_msgChannelNotAvailable"));
    }
    unsetCursor();
}

void SearchWindow::onChannelPreviewTriggered() {
    if (!rowUnderPointer())
        return;
    const ChannelRef channel = selectedChannel();
    if (!channel.isNull())
        emit previewRequested(channel);
    else
        app_.messages.exclamation(term(app_, "_frmMain_msgChannelNotAvailable"));
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvwChannels_->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* e = static_cast<QMouseEvent*>(event);
            onListMouseReleased(e->button(), e->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            // The first click of the pair has selected the row already.
            playSelectedChannel();
            return true;
        }
    } else if (watched == lvwChannels_ && event->type() == QEvent::Resize) {
        sizeChannelColumns();
    }
    return QDialog::eventFilter(watched, event);
}

void SearchWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    sizeChannelColumns();
}

} // namespace zentuvo
