// The search window over fixture catalogues; the search itself is in data_search_test.cpp.
// Wildcards, quotes and hostile texts in the search are in reliability_input_test.cpp.
#include "app/IniFile.h"
#include "app/Settings.h"
#include "data/CatalogueSearch.h"
#include "guide_fixture.h"
#include "support/FakeMainWindow.h"
#include "support/TestWidgets.h"
#include "ui/dialogs/SearchResultModel.h"
#include "ui/dialogs/SearchWindow.h"

#include <QCheckBox>

namespace zentuvo::test {
namespace {

struct SearchWindowTest : ::testing::Test {
    TestApp t;
    FakeMain main;
    std::unique_ptr<SearchWindow> window;
    QList<ChannelRef> played, previewed; // what the window asked to play

    void SetUp() override {
        window = std::make_unique<SearchWindow>(*t.app, main);
        QObject::connect(window.get(), &SearchWindow::playRequested,
                         [this](ChannelRef channel) { played << channel; });
        QObject::connect(window.get(), &SearchWindow::previewRequested,
                         [this](ChannelRef channel) { previewed << channel; });
        window->resize(800, 500);
        window->show();
        QApplication::processEvents();
    }
    QLineEdit* text() { return window->findChild<QLineEdit*>("txtSearch"); }
    SearchResultModel* model() { return window->model(); }
    QTreeView* list() { return window->list(); }
    void finish() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isSearching(); }, 20000));
    }
    void search(const QString& s) {
        text()->setText(s);
        window->findChild<QPushButton*>("cmdSearch")->click();
        finish();
    }
    QStringList column(int c) {
        QStringList out;
        for (int r = 0; r < model()->rowCount(); ++r)
            out << model()->cell(r, c);
        return out;
    }
    QPoint rowCentre(int row) { return list()->visualRect(model()->index(row, 1)).center(); }
    QPoint below() { return QPoint(20, list()->viewport()->height() - 5); }
    QString found(int n) {
        return t.app->translate("_frmSearch_msgChannelsFound") + " " + QString::number(n);
    }
};

TEST_F(SearchWindowTest, BlanksSearchNothingAndHitsFillTheListWithTheStatusCountingThem) {
    search("   ");
    EXPECT_EQ(t.messages.texts(), QStringList{t.app->translate("_frmSearch_msgError_1")});
    EXPECT_EQ(window->statusText(), t.app->translate("_frmSearch_caption"));
    t.messages.clear();
    search("e");
    EXPECT_EQ(column(0), (QStringList{"France", "France", "Germany", "Italy", "Italy"}));
    EXPECT_EQ(model()->channelAt(3), catalogueRef(*t.app, "Alpha.it"));
    EXPECT_EQ(window->statusText(), found(5));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    search("nothing like this");
    EXPECT_EQ(window->statusText(), found(0));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(SearchWindowTest, HeaderClicksSortKeepingTheSelection) {
    search("e");
    list()->setCurrentIndex(model()->index(3, 1)); // Alpha
    for (int c : {0, 1, 1}) // the first column sorts descending, another keeps the order
        emit list()->header()->sectionClicked(c);
    EXPECT_EQ(column(1), (QStringList{"Alpha", "beta tv", "Delta", "Epsilon", "Zeta"}));
    EXPECT_EQ(model()->cell(list()->selectionModel()->selectedRows().value(0).row(), 1), "Alpha");
}

TEST_F(SearchWindowTest, MenuCommandsActOnTheSelectedRowUnderThePointer) {
    search("e");
    auto* menu = window->findChild<QMenu*>("mnuLvwChannels");
    QAction* preview = window->findChild<QAction*>("miLvwChannelsPreview");
    QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, rowCentre(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
    menu->hide();
    preview->trigger();
    window->findChild<QAction*>("miLvwChannelsPlay")->trigger();
    const ChannelRef epsilon = catalogueRef(*t.app, "Epsilon.fr");
    EXPECT_EQ(previewed, QList<ChannelRef>{epsilon});
    EXPECT_EQ(played, QList<ChannelRef>{epsilon});
    // A right click on empty space opens no menu.
    QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, below());
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    preview->trigger();
    EXPECT_EQ(previewed.size(), 1);
}

TEST_F(SearchWindowTest, ANewerSearchReplacesOneStillRunningAndClosingDuringOneIsSafe) {
    window->fillChannels("Alpha");
    window->fillChannels("Zeta");
    finish();
    QTest::qWait(50); // time for a late result of the replaced search, which must not show
    EXPECT_EQ(column(1), QStringList{"Zeta"});
    window->fillChannels("e");
    window.reset();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SearchWindowTest, DamagedDescriptionsAreReportedOncePerSearchAndAMissingFileAsAnError) {
    execSql(t.folder.file("ch.dat"),
            "UPDATE tab_channels SET description = 'ZZ' WHERE code = 'Delta.fr';"
            "UPDATE tab_channels SET description = 'Q1 Q2' WHERE code = 'Zeta.de'");
    search("e");
    EXPECT_EQ(model()->rowCount(), 5);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error in DecryptByte: "));
    QFile::remove(t.folder.file("ch.dat"));
    search("e");
    EXPECT_TRUE(t.messages.shown.last().text.startsWith("Error in MakeLvwChannelsContents: "));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SearchWindowTest, TickedProgrammeTitlesFindChannelsAfterTheNameHitsWithin24Hours) {
    const qint64 t0 = QDateTime::fromString("2026-12-07T20:00:00Z", Qt::ISODate).toSecsSinceEpoch();
    const qint64 day = 24 * 3600;
    ASSERT_TRUE(writeGuide(*t.app, {{"Alpha.it", t0, t0 + 600, "Gala A"}, // a name hit already
                                    {"Delta.fr", t0 - 600, t0 + 600, "Gala D"},
                                    {"Zeta.de", t0 + day - 60, t0 + day, "Gala Z"},
                                    {"Epsilon.fr", t0 + day, t0 + day + 600, "Gala E"}}));
    window->setClock([t0] { return t0; });
    search("al");
    EXPECT_EQ(column(1), QStringList{"Alpha"});
    QCheckBox* box = window->titlesBox();
    EXPECT_EQ(box->text(), t.app->translate("_frmSearch_chkTitles"));
    box->click();
    search("al");
    EXPECT_EQ(column(1), (QStringList{"Alpha", "Delta", "Zeta"}));
    EXPECT_TRUE(model()->cell(2, 2).startsWith(clockAt(t0 + day - 60) + QChar(0x2013) +
                                               clockAt(t0 + day) + " Gala Z"))
        << model()->cell(2, 2).toStdString();
    // The box is remembered.
    EXPECT_EQ(IniFile(t.app->paths().settingsFile)
                  .read(kPreferences, "SearchProgrammeTitles")
                  .value_or(QString()),
              "1");
    EXPECT_TRUE(SearchWindow(*t.app, main).titlesBox()->isChecked());
}

} // namespace
} // namespace zentuvo::test
