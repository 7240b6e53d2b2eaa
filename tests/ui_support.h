#pragma once
// A main window over a fixture catalogue, and small helpers to drive and read it.

#include "app/Settings.h"
#include "data/ChannelRef.h"
#include "data/Database.h"
#include "support/FakePlayer.h"
#include "support/TestWidgets.h"
#include "ui/MainController.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MyListPanel.h"
#include "ui/widgets/ListView.h"

#include <QComboBox>

namespace zentuvo::test {

inline int favOf(const AppContext& app, const QString& code) {
    return int(sqlNumber(app.paths().catalogue,
                         QStringLiteral("SELECT fav FROM tab_channels WHERE code = ?"), code));
}

inline QStringList column(const ChannelListModel* model, int c) {
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->row(r).cells[size_t(c)];
    return out;
}

inline QList<ChannelRef> channelsOf(const ChannelListModel* model) {
    QList<ChannelRef> out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->channelAt(r);
    return out;
}

inline int rowOf(const ChannelListModel* model, const QString& name) {
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->row(r).cells[1] == name)
            return r;
    return -1;
}

inline void selectRows(ListView* list, const QList<int>& rows) {
    list->selectionModel()->clearSelection();
    for (int r : rows) {
        const QModelIndex i = list->model()->index(r, 1);
        list->selectionModel()->select(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->selectionModel()->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
    }
}

// The centre of a row's name cell in the list's viewport.
inline QPoint rowPoint(ListView* list, int row) {
    return list->visualRect(list->model()->index(row, 1)).center();
}

// A point of the viewport below the last row.
inline QPoint emptyPoint(ListView* list) {
    return QPoint(10, list->viewport()->height() - 3);
}

inline void click(ListView* list, const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(list->viewport(), button, {}, at);
}

inline void doubleClick(ListView* list, const QPoint& at) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// A test with a fixture program folder and its main window, shown offscreen.
class WindowTest : public ::testing::Test {
protected:
    explicit WindowTest(const QList<FixtureChannel>& channels = defaultChannels()) : t(channels) {}

    void open() {
        window = std::make_unique<MainWindow>(*t.app);
        window->show();
        QCoreApplication::processEvents();
        waitFilled();
    }
    // Waits until the latest refills of both lists have their rows (at once without one).
    void waitFilled() {
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return !window->channels().filling() && !window->myList().filling(); },
            20000));
    }
    // Refills the catalogue list for a filter text and waits for the rows.
    void fill(const QString& filter) {
        window->fillChannels(filter);
        waitFilled();
    }
    // Closes the window and starts a new one from the stored settings.
    void restart() {
        if (window)
            window->close();
        window.reset();
        t.app = std::make_unique<AppContext>(t.messages, t.desktop);
        ASSERT_TRUE(readSettings(*t.app, t.folder.path()));
        open();
    }
    // Refills the My List list and waits for the rows.
    void fillMyList() {
        window->fillMyList();
        waitFilled();
    }
    void TearDown() override {
        if (window)
            window->hide();
        window.reset();
    }

    AppContext& app() { return *t.app; }
    MainWidgets& ui() { return window->ui(); }
    ChannelListModel* channels() { return window->channels().model(); }
    ChannelListModel* myList() { return window->myList().model(); }
    int filterIndex(const QString& text) { return ui().cboCountry->findText(text); }
    void selectFilter(const QString& text) {
        ui().cboCountry->setCurrentIndex(filterIndex(text));
        waitFilled();
    }
    QString count() { return ui().lblChannelCount->text(); }

    TestApp t;
    std::unique_ptr<MainWindow> window;
};

// The window open with its players, recorder and dialogs plugged in, over fake players.
class WiredWindowTest : public WindowTest {
protected:
    using WindowTest::WindowTest;
    void SetUp() override {
        open();
        controller = std::make_unique<MainController>(app(), *window, [this] {
            auto player = std::make_unique<FakePlayer>();
            players << player.get();
            return player;
        });
    }
    FakePlayer& mainPlayer() { return *players[0]; }
    FakePlayer& previewPlayer() { return *players[1]; }

    QList<FakePlayer*> players;
    void TearDown() override {
        controller.reset(); // before the window, as at the end of the program
        WindowTest::TearDown();
    }

    std::unique_ptr<MainController> controller;
};

} // namespace zentuvo::test
