// The main window as a whole: its elements and captions, the tabs, a language change, the
// filter remembered across a restart, and the list commands that reach the players.
#include "app/IniFile.h"
#include "app/Settings.h"
#include "ui_support.h"

#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class MainWindowTest : public WindowTest {
protected:
    void SetUp() override { open(); }

    QStringList menuEntries(QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions())
            out << (a->isSeparator() ? "-" : a->objectName());
        return out;
    }
};

TEST_F(MainWindowTest, HasEveryNamedElement) {
    const char* widgets[] = {"TabStrip1",
                             "picCountry",
                             "cboCountry",
                             "imgButtonFavourites",
                             "lblCountry",
                             "lblChannelCount",
                             "picPreview",
                             "picNoStreamPreview",
                             "VLCPluginPreview",
                             "imgButtonPlayFile",
                             "imgButtonRecord",
                             "imgButtonToggleFav",
                             "imgButtonPreview",
                             "imgButtonHomePage",
                             "imgButtonProperty",
                             "imgButtonStop",
                             "imgButtonPlay",
                             "imgButtonPreviewVolume",
                             "imgButtonPreviewStop",
                             "imgButtonSwap",
                             "imgHideShowPreview",
                             "lblPreview",
                             "imgPreview",
                             "picBottom",
                             "txtMessages",
                             "SliderVolume",
                             "SliderPlayFile",
                             "imgButtonFullVideo",
                             "imgShowHideRightPanel",
                             "imgButtonFullScreen",
                             "imgButtonFitWindow",
                             "imgButtonOriginalSize",
                             "imgButtonSearch",
                             "vSplitter",
                             "picContainerLeft",
                             "VLCPlugin21",
                             "picWelcome",
                             "picNoStream",
                             "lvwMyList",
                             "lvwChannels",
                             "lblPlayerMessage"};
    for (const char* name : widgets)
        EXPECT_NE(window->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_NE(window->findChild<QTimer*>("TimerStatus"), nullptr);
    EXPECT_EQ(window->objectName(), "frmMain");
}

TEST_F(MainWindowTest, TitleNamesVersionAndLanguage) {
    EXPECT_EQ(window->windowTitle(), " Zentuvo 6.1 - (English) ");
}

TEST_F(MainWindowTest, CaptionsAndToolTipsAreTheEnglishTerms) {
    EXPECT_EQ(ui().TabStrip1->tabText(0), "Channels");
    EXPECT_EQ(ui().TabStrip1->tabText(1), "My List");
    EXPECT_EQ(ui().cboCountry->itemText(0), "ALL");
    EXPECT_EQ(ui().cboCountry->itemText(1), "MY FAVOURITES");
    EXPECT_EQ(ui().lblCountry->text(), "Country:");
    EXPECT_EQ(ui().imgButtonPlay->toolTip(), "Play");
    EXPECT_EQ(ui().imgButtonSwap->toolTip(), "Swap main and preview");
    EXPECT_EQ(ui().SliderVolume->toolTip(), "Volume");
    EXPECT_EQ(ui().imgButtonFavourites->toolTip(), "Show favourites / all channels");
    const MainMenus& m = window->menus();
    EXPECT_EQ(m.mnuFile->title(), "File");
    EXPECT_EQ(m.miHelpVisitHomePage->text(), "Zentuvo WebSite");
    EXPECT_EQ(m.miLvwChannelsToggleFav->text(), "Toggle Favourite");
    EXPECT_EQ(m.miLvwMyListDelete->text(), "Delete");
    // Texts that are never translated.
    EXPECT_EQ(m.miFilePlayFrom->text(), "Play from...");
    EXPECT_EQ(ui().imgButtonRecord->toolTip(), "Record");
    EXPECT_EQ(ui().imgButtonPlayFile->toolTip(), "Play from file");
    EXPECT_EQ(ui().SliderPlayFile->toolTip(), "Video progress");
    EXPECT_EQ(ui().txtMessages->toolTip(), "Channel Info");
}

TEST_F(MainWindowTest, EveryPictureButtonHasAToolTipAndAPicture) {
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        if (!b->objectName().startsWith("img"))
            continue;
        EXPECT_FALSE(b->toolTip().isEmpty()) << b->objectName().toStdString();
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
        EXPECT_FALSE(b->icon().pixmap(22, 22).isNull()) << b->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, StartValuesOfSlidersAndFields) {
    EXPECT_EQ(ui().SliderVolume->minimum(), 0);
    EXPECT_EQ(ui().SliderVolume->maximum(), 10);
    EXPECT_EQ(ui().SliderVolume->value(), 5);
    EXPECT_EQ(ui().SliderPlayFile->maximum(), 20);
    EXPECT_FALSE(ui().SliderPlayFile->isVisible());
    EXPECT_TRUE(ui().txtMessages->isReadOnly());
    EXPECT_TRUE(ui().lblPreview->text().isEmpty());
    EXPECT_FALSE(ui().picNoStream->isVisible());
    EXPECT_EQ(ui().imgButtonPreviewVolume->property("picture").toString(), "zero");
}

TEST_F(MainWindowTest, MenusHoldTheirEntriesInOrder) {
    const MainMenus& m = window->menus();
    EXPECT_EQ(menuEntries(m.mnuFile), (QStringList{"miFilePlayFrom", "miFileExit"}));
    EXPECT_EQ(menuEntries(m.mnuView), (QStringList{"miViewOriginalSize", "miViewFitWindow",
                                                   "miViewFullVideo", "miViewFullScreen"}));
    EXPECT_EQ(menuEntries(m.mnuTools),
              (QStringList{"miSearch", "miRequirements", "-", "miOptions"}));
    EXPECT_EQ(menuEntries(m.mnuHelp),
              (QStringList{"miHelpVisitHomePage", "miHelpManual", "-", "miHelpAboutBox"}));
    EXPECT_EQ(
        menuEntries(m.mnuLvwChannels),
        (QStringList{"miLvwChannelsPlay", "miLvwChannelsPreview", "-", "miLvwChannelsProperty",
                     "miLvwChannelsVisitHomePage", "-", "miLvwChannelsToggleFav"}));
    EXPECT_EQ(menuEntries(m.mnuLvwMyList),
              (QStringList{"miLvwMyListPlay", "miLvwMyListPreview", "-", "miLvwChannelsAddOnMyList",
                           "miLvwMyListChannelProperty", "miLvwMyListDelete"}));
    QStringList bar;
    for (QAction* a : window->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, (QStringList{"File", "View", "Tools", "Help"}));
}

TEST_F(MainWindowTest, CatalogueTabIsShownAfterLoad) {
    EXPECT_EQ(window->CurrentTab(), 1);
    EXPECT_TRUE(ui().lvwChannels->isVisible());
    EXPECT_TRUE(ui().picCountry->isVisible());
    EXPECT_FALSE(ui().lvwMyList->isVisible());
    EXPECT_TRUE(ui().imgButtonHomePage->isVisible());
}

TEST_F(MainWindowTest, MyListTabSwapsTheListsAndHidesCatalogueButtons) {
    ui().TabStrip1->setCurrentIndex(1);
    EXPECT_EQ(window->CurrentTab(), 2);
    EXPECT_TRUE(ui().lvwMyList->isVisible());
    EXPECT_FALSE(ui().lvwChannels->isVisible());
    EXPECT_FALSE(ui().picCountry->isVisible());
    EXPECT_FALSE(ui().imgButtonHomePage->isVisible());
    EXPECT_FALSE(ui().imgButtonToggleFav->isVisible());
    ui().TabStrip1->setCurrentIndex(0);
    EXPECT_EQ(window->CurrentTab(), 1);
    EXPECT_TRUE(ui().imgButtonToggleFav->isVisible());
}

TEST_F(MainWindowTest, LanguageChangeRetitlesAndKeepsTheFilter) {
    selectFilter("Italy");
    const int selected = ui().cboCountry->currentIndex();
    int resets = 0;
    QObject::connect(channels(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    app().LanguageID = 2;
    window->SetLanguage();
    EXPECT_EQ(window->windowTitle(), " Zentuvo 6.1 - (Italiano) ");
    EXPECT_EQ(ui().cboCountry->itemText(0), "TUTTI");
    EXPECT_EQ(ui().cboCountry->itemText(1), "I MIEI PREFERITI");
    EXPECT_EQ(ui().cboCountry->itemData(0).toInt(), -1);
    EXPECT_EQ(ui().cboCountry->itemData(1).toInt(), 0);
    EXPECT_EQ(ui().cboCountry->currentIndex(), selected);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(ui().TabStrip1->tabText(1), "La mia lista");
    EXPECT_EQ(ui().imgButtonPlay->toolTip(), "Riproduci");
    EXPECT_EQ(window->menus().mnuHelp->title(), "Aiuto");
    EXPECT_EQ(channels()->headerData(1, Qt::Horizontal).toString(), "Canale");
    EXPECT_EQ(myList()->headerData(0, Qt::Horizontal).toString(), "Paese");
    EXPECT_EQ(window->menus().miFilePlayFrom->text(), "Play from...");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MainWindowTest, UnknownLanguageGivesEmptyNameAndMarkedTerms) {
    app().LanguageID = 99;
    window->SetLanguage();
    EXPECT_EQ(window->windowTitle(), " Zentuvo 6.1 - () ");
    EXPECT_EQ(ui().TabStrip1->tabText(0), "-Channels");
}

TEST_F(MainWindowTest, DoubleClickOnARowPlaysItsKey) {
    QStringList played;
    window->hooks().PlayVideo = [&](const QString& key) { played << key; };
    const int row = rowOf(channels(), "Zeta");
    doubleClick(ui().lvwChannels, rowPoint(ui().lvwChannels, row));
    EXPECT_EQ(played, QStringList{channels()->keyAt(row)});
    EXPECT_TRUE(ui().lvwChannels->cursor().shape() != Qt::WaitCursor);
}

TEST_F(MainWindowTest, DoubleClickOnEmptySpacePlaysNothing) {
    QStringList played;
    window->hooks().PlayVideo = [&](const QString& key) { played << key; };
    selectRows(ui().lvwChannels, {0});
    doubleClick(ui().lvwChannels, emptyPoint(ui().lvwChannels));
    EXPECT_TRUE(played.isEmpty());
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

TEST_F(MainWindowTest, HomePageOfAChannelOpensOrIsReportedMissing) {
    const int zeta = rowOf(channels(), "Zeta");
    selectRows(ui().lvwChannels, {zeta});
    window->menus().miLvwChannelsVisitHomePage->trigger();
    EXPECT_EQ(t.desktop.opened, QStringList{"https://zeta.example/"});
    selectRows(ui().lvwChannels, {rowOf(channels(), "beta tv")});
    ui().imgButtonHomePage->click();
    EXPECT_TRUE(t.messages.saw("No home page available for channel 'beta tv'"));
    EXPECT_EQ(t.messages.shown.last().icon, MsgIcon::Information);
}

TEST_F(MainWindowTest, HelpOpensTheManualNextToTheProgram) {
    QFile manual(t.folder.file("Zentuvo.html"));
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.write("<html></html>");
    manual.close();
    window->menus().miHelpManual->trigger();
    ASSERT_EQ(t.desktop.opened.size(), 1);
    EXPECT_TRUE(t.desktop.opened[0].endsWith("/Zentuvo.html"));
    // With no home page configured, the web site entry opens the manual too.
    window->menus().miHelpVisitHomePage->trigger();
    EXPECT_EQ(t.desktop.opened.size(), 2);
    IniFile(app().IniFileName).write("links", "HomePage", "https://zentuvo.example/");
    window->menus().miHelpVisitHomePage->trigger();
    EXPECT_EQ(t.desktop.opened.last(), "https://zentuvo.example/");
}

TEST_F(MainWindowTest, MissingManualIsReported) {
    window->menus().miHelpManual->trigger();
    EXPECT_TRUE(t.desktop.opened.isEmpty());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error in HelpManual: "));
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

TEST_F(RememberedFilter, CountryComesBackWhenRemembered) {
    app().RememberCountryFlag = 1;
    open();
    selectFilter("Italy");
    restart();
    EXPECT_EQ(app().RememberCountryFlag, 1);
    EXPECT_EQ(ui().cboCountry->currentText(), "Italy");
    EXPECT_EQ(column(channels(), 1), (QStringList{"Alpha", "beta tv"}));
    EXPECT_EQ(count(), "2");
    EXPECT_TRUE(ui().lvwChannels->isColumnHidden(0));
}

TEST_F(RememberedFilter, FavouritesComeBackWhenRemembered) {
    app().RememberCountryFlag = 1;
    open();
    selectFilter("MY FAVOURITES");
    restart();
    EXPECT_EQ(ui().cboCountry->currentIndex(), 1);
    EXPECT_EQ(IniFile(app().IniFileName).read("preferences", "DefaultCountry").value_or(""), "0");
}

TEST_F(RememberedFilter, AllIsShownWhenNotRemembered) {
    app().RememberCountryFlag = 0;
    open();
    selectFilter("France");
    restart();
    EXPECT_EQ(app().DefaultCountryID, ui().cboCountry->itemData(filterIndex("France")).toInt());
    EXPECT_EQ(ui().cboCountry->currentIndex(), 0);
    EXPECT_EQ(count(), "5");
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
    const QString stored =
        IniFile(app().IniFileName).read("preferences", "DefaultCountry").value_or("");
    window->close();
    EXPECT_EQ(IniFile(app().IniFileName).read("preferences", "DefaultCountry").value_or(""),
              stored);
}

} // namespace

namespace {

TEST_F(MainWindowTest, DialogInterfaceReachesTheHooksAndTheSelection) {
    MainWindowApi& api = *window;
    QStringList played, previewed;
    window->hooks().PlayVideo = [&](const QString& key) { played << key; };
    window->hooks().PlayPreview = [&](const QString& key) { previewed << key; };
    window->hooks().mainPlayerTag = [] { return QStringLiteral("-1 FL"); };
    api.PlayVideo("3 CH_ID");
    api.PlayPreview("4 MY_ID");
    EXPECT_EQ(played, QStringList{"3 CH_ID"});
    EXPECT_EQ(previewed, QStringList{"4 MY_ID"});
    EXPECT_EQ(api.MainPlayerTag(), "-1 FL");
    EXPECT_EQ(api.PlayerVersionInfo(), "");
    EXPECT_EQ(api.mainWidget(), window.get());
    EXPECT_FALSE(api.IsFullVideo());
    EXPECT_EQ(api.SelectedChannelKey(), "");
    selectRows(ui().lvwChannels, {2});
    EXPECT_EQ(api.SelectedChannelKey(), channels()->keyAt(2));
}

} // namespace
