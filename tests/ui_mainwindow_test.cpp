// The main window as a whole: its picture buttons, the tabs, a language change, the filter
// remembered across a restart, the list commands, and the players plugged in.
#include "app/Settings.h"
#include "ui_support.h"

#include <QMenu>
#include <QTabBar>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class MainWindowTest : public WindowTest {
protected:
    void SetUp() override { open(); }
};

TEST_F(MainWindowTest, EveryPictureButtonHasAToolTipAndAPicture) {
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        if (!b->objectName().startsWith("img"))
            continue;
        EXPECT_FALSE(b->toolTip().isEmpty()) << b->objectName().toStdString();
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
        EXPECT_FALSE(b->icon().pixmap(22, 22).isNull()) << b->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, ALanguageChangeRetranslatesInPlaceAndKeepsTheFilter) {
    selectFilter("Italy");
    const int selected = ui().cboCountry->currentIndex();
    EXPECT_EQ(window->windowTitle(), " Zentuvo 6.1 - (English) ");
    int resets = 0;
    QObject::connect(channels(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    app().LanguageID = 2;
    window->SetLanguage();
    EXPECT_EQ(window->windowTitle(), " Zentuvo 6.1 - (Italiano) ");
    EXPECT_EQ(ui().cboCountry->itemText(0), "TUTTI");
    EXPECT_EQ(ui().cboCountry->itemData(0).toInt(), -1);
    EXPECT_EQ(ui().cboCountry->itemData(1).toInt(), 0);
    EXPECT_EQ(ui().cboCountry->currentIndex(), selected);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(channels()->headerData(1, Qt::Horizontal).toString(), "Canale");
    EXPECT_EQ(myList()->headerData(0, Qt::Horizontal).toString(), "Paese");
    // An unknown language has no name and marks the terms it lacks.
    app().LanguageID = 99;
    window->SetLanguage();
    EXPECT_EQ(window->windowTitle(), " Zentuvo 6.1 - () ");
    EXPECT_EQ(ui().TabStrip1->tabText(0), "-Channels");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MainWindowTest, ToolbarPlayNeedsTheLastClickOnARow) {
    QStringList played;
    window->hooks().PlayVideo = [&](const QString& key) { played << key; };
    click(ui().lvwChannels, emptyPoint(ui().lvwChannels));
    selectRows(ui().lvwChannels, {1}); // chosen by keyboard
    ui().imgButtonPlay->click();
    EXPECT_TRUE(played.isEmpty());
    click(ui().lvwChannels, rowPoint(ui().lvwChannels, 1));
    ui().imgButtonPlay->click();
    EXPECT_EQ(played, QStringList{channels()->keyAt(1)});
}

TEST_F(MainWindowTest, PreviewOnMyListTabUsesTheMyListKey) {
    execSql(app().MyListConnectionString,
            "INSERT INTO tab_mylist (countryID, name, streamUrl) VALUES (1, 'Mine', 'http://x/')");
    window->MakeLvwMyListContents();
    ui().TabStrip1->setCurrentIndex(1);
    QCoreApplication::processEvents();
    QStringList previewed;
    window->hooks().PlayPreview = [&](const QString& key) { previewed << key; };
    click(ui().lvwMyList, rowPoint(ui().lvwMyList, 0));
    ui().imgButtonPreview->click();
    ASSERT_EQ(previewed.size(), 1);
    EXPECT_TRUE(previewed[0].endsWith(" MY_ID"));
}

TEST_F(MainWindowTest, RightClickOnARowOpensTheChannelMenuButNotOnEmptySpace) {
    click(ui().lvwChannels, emptyPoint(ui().lvwChannels), Qt::RightButton);
    EXPECT_FALSE(window->menus().mnuLvwChannels->isVisible());
    click(ui().lvwChannels, rowPoint(ui().lvwChannels, 0), Qt::RightButton);
    EXPECT_TRUE(window->menus().mnuLvwChannels->isVisible());
    window->menus().mnuLvwChannels->hide();
}

TEST_F(MainWindowTest, HelpOpensTheManualNextToTheProgramOrSaysItIsMissing) {
    window->menus().miHelpManual->trigger();
    EXPECT_TRUE(t.desktop.opened.isEmpty());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error in HelpManual: "));
    writeFile(t.folder.file("Zentuvo.html"), "<html></html>");
    window->menus().miHelpManual->trigger();
    ASSERT_EQ(t.desktop.opened.size(), 1);
    EXPECT_TRUE(t.desktop.opened[0].endsWith("/Zentuvo.html"));
    // With no home page configured, the web site entry opens the manual too.
    window->menus().miHelpVisitHomePage->trigger();
    EXPECT_EQ(t.desktop.opened.size(), 2);
    setLink(app(), "HomePage", "https://zentuvo.example/");
    window->menus().miHelpVisitHomePage->trigger();
    EXPECT_EQ(t.desktop.opened.last(), "https://zentuvo.example/");
}

// Start-up and shutdown with the remembered filter.
class RememberedFilter : public WindowTest {
protected:
    // Closes the window and starts a new one from the stored settings.
    void restart() {
        if (window)
            window->close();
        window.reset();
        t.app = std::make_unique<AppState>(t.messages, t.desktop);
        ASSERT_TRUE(ReadSettings(*t.app, t.folder.path()));
        open();
    }
};

TEST_F(RememberedFilter, TheFilterComesBackOnlyWhenRemembered) {
    struct Case {
        int remember;
        const char* chosen;
        int shownIndex; // after the restart
        const char* count;
    };
    for (const Case& c :
         {Case{1, "Italy", 5, "2"}, Case{1, "MY FAVOURITES", 1, "0"}, Case{0, "France", 0, "5"}}) {
        SCOPED_TRACE(c.chosen);
        app().RememberCountryFlag = c.remember;
        open();
        selectFilter(c.chosen);
        const int chosenId = ui().cboCountry->currentData().toInt();
        restart();
        EXPECT_EQ(app().RememberCountryFlag, c.remember);
        EXPECT_EQ(app().DefaultCountryID, chosenId); // stored either way
        EXPECT_EQ(ui().cboCountry->currentIndex(), c.shownIndex);
        EXPECT_EQ(count(), c.count);
        EXPECT_EQ(ui().lvwChannels->isColumnHidden(0), c.shownIndex > 1);
    }
}

TEST_F(RememberedFilter, CountryWithoutChannelsLeavesNoSelectionAndAnEmptyList) {
    app().RememberCountryFlag = 1;
    open();
    selectFilter("Germany");
    window->close();
    window.reset();
    execSql(app().ChannelConnectionString,
            "DELETE FROM tab_channels WHERE countryID = (SELECT countryID FROM tab_country "
            "WHERE countryName = 'Germany')");
    restart();
    EXPECT_EQ(ui().cboCountry->currentIndex(), -1);
    EXPECT_EQ(channels()->rowCount(), 0);
    // No selection at close: the stored country stays.
    const QString stored = iniValue(app(), "DefaultCountry");
    window->close();
    EXPECT_EQ(iniValue(app(), "DefaultCountry"), stored);
}

// With the players, recorder and dialogs plugged in, over fake players.
class WiringTest : public WiredWindowTest {
protected:
    void playRow(const QString& name) {
        const int row = rowOf(channels(), name);
        selectRows(ui().lvwChannels, {row});
        doubleClick(ui().lvwChannels, rowPoint(ui().lvwChannels, row));
    }
};

TEST_F(WiringTest, ADoubleClickOnARowPlaysItInTheMainPlayerButNotOnEmptySpace) {
    ASSERT_EQ(players.size(), 2);
    EXPECT_EQ(previewPlayer().volume(), 0); // the preview starts silent
    EXPECT_EQ(mainPlayer().volume(), 100);  // the main player at the slider's volume
    doubleClick(ui().lvwChannels, emptyPoint(ui().lvwChannels));
    EXPECT_EQ(mainPlayer().current(), nullptr);
    playRow("Alpha");
    ASSERT_NE(mainPlayer().current(), nullptr);
    EXPECT_EQ(mainPlayer().current()->mrl, "http://127.0.0.1:9/alpha.ts");
    EXPECT_EQ(mainPlayer().Tag(), catalogueKey(app(), "Alpha.it"));
    EXPECT_EQ(ui().txtMessages->text(), "Alpha (Italy)");
    EXPECT_TRUE(ui().lvwChannels->cursor().shape() != Qt::WaitCursor);
    mainPlayer().setState(Player::Playing);
    wiring->control().TimerStatus();
    EXPECT_EQ(ui().lblPlayerMessage->text(), "Playing");
    EXPECT_EQ(ui().lblPreview->text(), "- Preview - Idle/Close");
    ui().imgButtonStop->click();
    EXPECT_EQ(mainPlayer().Tag(), "");
    EXPECT_EQ(mainPlayer().itemCount(), 0);
}

TEST_F(WiringTest, PreviewSwapAndVolumesReachThePlayers) {
    playRow("Alpha");
    const int zeta = rowOf(channels(), "Zeta");
    selectRows(ui().lvwChannels, {zeta});
    click(ui().lvwChannels, rowPoint(ui().lvwChannels, zeta));
    ui().imgButtonPreview->click();
    EXPECT_EQ(previewPlayer().current()->mrl, "http://127.0.0.1:9/zeta.ts");
    ui().imgButtonSwap->click();
    EXPECT_EQ(mainPlayer().current()->mrl, "http://127.0.0.1:9/zeta.ts");
    EXPECT_EQ(previewPlayer().current()->mrl, "http://127.0.0.1:9/alpha.ts");
    ui().imgButtonPreviewVolume->click();
    EXPECT_EQ(previewPlayer().volume(), 100);
    EXPECT_EQ(ui().imgButtonPreviewVolume->property("picture").toString(), "one");
    ui().SliderVolume->setValue(10);
    EXPECT_EQ(mainPlayer().volume(), 200);
    ui().imgButtonPreviewStop->click();
    EXPECT_EQ(previewPlayer().Tag(), "");
}

TEST_F(WiringTest, RecordRefusesWithoutAPlayingChannelAndShutdownStopsThePlayers) {
    ui().imgButtonRecord->click();
    EXPECT_TRUE(t.messages.saw("No playing channel to record."));
    playRow("Alpha");
    mainPlayer().setState(Player::Playing);
    wiring->shutdown();
    EXPECT_GE(mainPlayer().stopCalls, 1);
    EXPECT_FALSE(ui().TimerStatus->isActive());
}

} // namespace
