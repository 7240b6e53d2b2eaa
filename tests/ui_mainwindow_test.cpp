// The main window as a whole: a language change, the toolbar and menus over the lists, the
// filter remembered across a restart, and the players plugged in.
#include "app/Settings.h"
#include "data/ChannelInfo.h"
#include "ui_support.h"

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class MainWindowTest : public WindowTest {
protected:
    void SetUp() override { open(); }
};

TEST_F(MainWindowTest, ALanguageChangeRetranslatesInPlaceAndKeepsTheFilter) {
    selectFilter("Italy");
    const int selected = ui().cboCountry->currentIndex();
    int resets = 0;
    QObject::connect(channels(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    app().preferences().setLanguage(2);
    window->applyLanguage();
    EXPECT_EQ(window->windowTitle(), " Zentuvo 6.1 - (Italiano) ");
    EXPECT_EQ(ui().cboCountry->itemText(0), "TUTTI");
    EXPECT_EQ(window->menus().miViewPreviousChannel->text(), "Canale precedente");
    EXPECT_EQ(ui().cboCountry->currentIndex(), selected);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(myList()->headerData(0, Qt::Horizontal).toString(), "Paese");
    // An unknown language has no name and marks the terms it lacks.
    app().preferences().setLanguage(99);
    window->applyLanguage();
    EXPECT_EQ(window->windowTitle(), " Zentuvo 6.1 - () ");
    EXPECT_EQ(ui().TabStrip1->tabText(0), "-Channels");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MainWindowTest, ToolbarCommandsNeedTheLastClickOnARowOfTheShownList) {
    QList<ChannelRef> played, previewed;
    QObject::connect(&window->commands(), &MainCommands::playRequested,
                     [&](ChannelRef channel) { played << channel; });
    QObject::connect(&window->commands(), &MainCommands::previewRequested,
                     [&](ChannelRef channel) { previewed << channel; });
    click(ui().lvwChannels, emptyPoint(ui().lvwChannels));
    selectRows(ui().lvwChannels, {1}); // chosen by keyboard
    ui().imgButtonPlay->click();
    EXPECT_TRUE(played.isEmpty());
    click(ui().lvwChannels, rowPoint(ui().lvwChannels, 1));
    ui().imgButtonPlay->click();
    EXPECT_EQ(played, QList<ChannelRef>{channels()->channelAt(1)});
    // On the My List tab the preview takes the My List row.
    const ChannelRef mine = addMyList(app(), "Mine", "http://x/");
    fillMyList();
    ui().TabStrip1->setCurrentIndex(1);
    QCoreApplication::processEvents();
    click(ui().lvwMyList, rowPoint(ui().lvwMyList, 0));
    ui().imgButtonPreview->click();
    EXPECT_EQ(previewed, QList<ChannelRef>{mine});
}

TEST_F(MainWindowTest, HelpOpensTheManualNextToTheProgramOrSaysItIsMissing) {
    window->menus().miHelpManual->trigger();
    EXPECT_TRUE(t.desktop.opened.isEmpty());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error in HelpManual: "));
    writeFile(t.folder.file("Zentuvo.html"), "<html></html>");
    // With no home page configured, the web site entry opens the manual too.
    window->menus().miHelpVisitHomePage->trigger();
    ASSERT_EQ(t.desktop.opened.size(), 1);
    EXPECT_TRUE(t.desktop.opened[0].endsWith("/Zentuvo.html"));
    setLink(app(), "HomePage", "https://zentuvo.example/");
    window->menus().miHelpVisitHomePage->trigger();
    EXPECT_EQ(t.desktop.opened.last(), "https://zentuvo.example/");
}

// Start-up and shutdown with the remembered filter.
class RememberedFilter : public WindowTest {};

TEST_F(RememberedFilter, TheFilterComesBackOnlyWhenRemembered) {
    // Remembered or not, the filter chosen; the filter shown after the restart, its count.
    for (const auto& [remember, chosen, shownIndex, listed] :
         {std::tuple{1, "Italy", 5, "2"}, {1, "MY FAVOURITES", 1, "0"}, {0, "France", 0, "5"}}) {
        SCOPED_TRACE(chosen);
        app().preferences().setRememberCountry(remember);
        open();
        selectFilter(chosen);
        const int chosenId = ui().cboCountry->currentData().toInt();
        restart();
        EXPECT_EQ(app().preferences().defaultCountry(), chosenId); // stored either way
        EXPECT_EQ(ui().cboCountry->currentIndex(), shownIndex);
        EXPECT_EQ(count(), listed);
    }
    // A remembered country that has lost its channels leaves no selection and an empty list.
    app().preferences().setRememberCountry(1);
    selectFilter("France");
    execSql(app().paths().catalogue, "DELETE FROM tab_channels WHERE countryID = " +
                                         QString::number(countryId(app(), "France")));
    restart();
    EXPECT_EQ(ui().cboCountry->currentIndex(), -1);
    EXPECT_EQ(channels()->rowCount(), 0);
    // No selection at close: the stored country stays.
    const QString stored = iniValue(app(), "DefaultCountry");
    window->close();
    EXPECT_EQ(iniValue(app(), "DefaultCountry"), stored);
}

// With the players, recorder and dialogs plugged in, over fake players; what the playback
// commands hand the players is in playback_control_test.cpp.
class WiringTest : public WiredWindowTest {
protected:
    void playRow(const QString& name) {
        const int row = rowOf(channels(), name);
        selectRows(ui().lvwChannels, {row});
        doubleClick(ui().lvwChannels, rowPoint(ui().lvwChannels, row));
    }
};

TEST_F(WiringTest, ListsButtonsAndSlidersReachThePlayers) {
    EXPECT_EQ(previewPlayer().volume(), 0); // the preview starts silent
    EXPECT_EQ(mainPlayer().volume(), 100);  // the main player at the slider's volume
    ui().imgButtonRecord->click();
    EXPECT_TRUE(t.messages.saw("No playing channel to record."));
    doubleClick(ui().lvwChannels, emptyPoint(ui().lvwChannels));
    EXPECT_EQ(mainPlayer().current(), nullptr);
    playRow("Alpha");
    EXPECT_EQ(controller->control().mainTag(), catalogueRef(app(), "Alpha.it").toText());
    EXPECT_EQ(ui().txtMessages->text(), "Alpha (Italy)");
    mainPlayer().setState(PlayerState::Playing);
    controller->control().updateStatus();
    EXPECT_EQ(ui().lblPlayerMessage->text(), "Playing");
    EXPECT_FALSE(ui().imgButtonLive->isEnabled()); // live already
    ui().imgButtonPause->click();
    EXPECT_EQ(mainPlayer().state(), PlayerState::Paused);
    EXPECT_TRUE(ui().imgButtonPause->isChecked());
    EXPECT_TRUE(window->menus().miViewPause->isChecked());
    ui().imgButtonLive->click(); // the channel opens anew
    EXPECT_EQ(mainPlayer().state(), PlayerState::Playing);
    EXPECT_EQ(mainPlayer().pauseCalls, QList<bool>{true});
    EXPECT_FALSE(window->menus().miViewPause->isChecked());
    EXPECT_FALSE(window->menus().miViewLive->isEnabled());
    mainPlayer().pausable = false; // Space on what cannot pause leaves the menu unchecked
    window->menus().miViewPause->trigger();
    EXPECT_FALSE(window->menus().miViewPause->isChecked());
    mainPlayer().pausable = true;
    const int zeta = rowOf(channels(), "Zeta");
    selectRows(ui().lvwChannels, {zeta});
    click(ui().lvwChannels, rowPoint(ui().lvwChannels, zeta));
    ui().imgButtonPreview->click();
    ui().imgButtonSwap->click();
    EXPECT_EQ(mainPlayer().current()->mrl, "http://127.0.0.1:9/zeta.ts");
    EXPECT_EQ(previewPlayer().current()->mrl, "http://127.0.0.1:9/alpha.ts");
    ui().imgButtonPreviewVolume->click();
    EXPECT_EQ(previewPlayer().volume(), 100);
    ui().SliderVolume->setValue(10);
    EXPECT_EQ(mainPlayer().volume(), 200);
    ui().imgButtonPreviewStop->click();
    EXPECT_EQ(controller->control().previewTag(), "");
    ui().imgButtonStop->click();
    EXPECT_EQ(controller->control().mainTag(), "");
    playRow("Alpha");
    controller->shutdown();
    EXPECT_GE(mainPlayer().stopCalls, 1);
    EXPECT_FALSE(ui().statusTimer->isActive());
}

TEST_F(WiringTest, PlayerKeys) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ListView* list = ui().lvwChannels;
    list->setFocus();
    const int last = channels()->rowCount() - 1;
    ASSERT_GE(last, 2);
    auto playing = [&] { return mainPlayer().current() ? mainPlayer().current()->mrl : ""; };
    auto mrlOf = [&](int row) {
        return lookupChannel(app().data(), channels()->channelAt(row))->url;
    };
    // Backspace plays the previous channel, once there is one.
    QAction* previous = window->menus().miViewPreviousChannel;
    EXPECT_FALSE(previous->isEnabled());
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_EQ(mainPlayer().current(), nullptr);
    // Page Down / Page Up select and play the next / previous row, and stop at the ends.
    // Each key, then the selected and playing row.
    for (const auto& [key, row] : {std::pair{Qt::Key_PageDown, 0},
                                   {Qt::Key_PageDown, 1},
                                   {Qt::Key_PageUp, 0},
                                   {Qt::Key_PageUp, 0}}) {
        QTest::keyClick(list, key);
        EXPECT_EQ(list->currentIndex().row(), row);
        EXPECT_EQ(playing(), mrlOf(row));
    }
    const int plays = mainPlayer().playCalls;
    QTest::keyClick(list, Qt::Key_PageUp); // at the top: nothing
    selectRows(list, {last});
    QTest::keyClick(list, Qt::Key_PageDown); // at the bottom: nothing
    EXPECT_EQ(mainPlayer().playCalls, plays);
    EXPECT_TRUE(previous->isEnabled());
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_EQ(playing(), mrlOf(1));
    QTest::keyClick(list, Qt::Key_Return); // Enter plays the selected row
    EXPECT_EQ(playing(), mrlOf(last));
    QTest::keyClick(list, Qt::Key_Backspace);
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_EQ(playing(), mrlOf(last));
    // Space pauses and resumes the main player; End brings a paused channel back live.
    for (const PlayerState state :
         {PlayerState::Paused, PlayerState::Playing, PlayerState::Paused}) {
        QTest::keyClick(list, Qt::Key_Space);
        EXPECT_EQ(mainPlayer().state(), state);
    }
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(mainPlayer().state(), PlayerState::Playing);
    EXPECT_EQ(mainPlayer().playCalls, plays + 5);
    // Volume keys move the slider a step; M mutes and gives the volume back. Each key, then
    // the slider, the volume and whether the menu shows it muted.
    using Volume = std::tuple<Qt::Key, Qt::KeyboardModifiers, int, int, bool>;
    for (const auto& [key, modifiers, slider, volume, muted] :
         {Volume{Qt::Key_Plus, {}, 6, 120, false}, Volume{Qt::Key_Equal, {}, 7, 140, false},
          Volume{Qt::Key_Plus, Qt::KeypadModifier, 8, 160, false},
          Volume{Qt::Key_Minus, Qt::KeypadModifier, 7, 140, false},
          Volume{Qt::Key_M, {}, 7, 0, true}, Volume{Qt::Key_Minus, {}, 6, 0, true},
          Volume{Qt::Key_M, {}, 6, 120, false}}) {
        QTest::keyClick(list, key, modifiers);
        EXPECT_EQ(ui().SliderVolume->value(), slider);
        EXPECT_EQ(mainPlayer().volume(), volume);
        EXPECT_EQ(window->menus().miViewMute->isChecked(), muted);
    }
    // The menus show the keys (F11 is pressed in ui_fullvideo_test.cpp).
    EXPECT_EQ(window->menus().miFilePlayFrom->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

} // namespace
