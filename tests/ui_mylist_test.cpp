// The My List tab: its fill, deleting the selected rows after one question, the group
// selector (remembered across a restart) and deleting a group.
#include "ui_support.h"

#include "app/IniFile.h"

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class MyList : public WindowTest {
protected:
    void SetUp() override {
        const int italy = countryId(app(), "Italy"), france = countryId(app(), "France");
        addMyList(app(), "Rai Test", "http://127.0.0.1:9/a", italy);
        addMyList(app(), "canal test", "http://127.0.0.1:9/b", france);
        addMyList(app(), "Zulu", "http://127.0.0.1:9/c", italy);
        addMyList(app(), "No Address", "", france);
        open();
        ui().TabStrip1->setCurrentIndex(1);
        QCoreApplication::processEvents();
    }
    int stored() { return myListRows(app()); }
};

// Channels in the groups "music", "News" and "Sport", one without a group, and one of
// "Sport" without a stream address, which no list shows.
class MyListGroups : public WindowTest {
protected:
    void SetUp() override {
        for (const auto& [name, url, group] : {
                 std::tuple{"A1", "http://127.0.0.1:9/1", "News"},
                 std::tuple{"A2", "http://127.0.0.1:9/2", "News"},
                 std::tuple{"B1", "http://127.0.0.1:9/3", "Sport"},
                 std::tuple{"C1", "http://127.0.0.1:9/4", ""},
                 std::tuple{"D1", "http://127.0.0.1:9/5", "music"},
                 std::tuple{"E1", "", "Sport"},
             })
            addMyList(app(), name, url, 1, group);
        open();
    }
    QStringList entries() {
        QStringList out;
        for (int i = 0; i < ui().cboGroup->count(); ++i)
            out << ui().cboGroup->itemText(i);
        return out;
    }
    void choose(const QString& entry) {
        ui().cboGroup->setCurrentIndex(ui().cboGroup->findText(entry));
        waitFilled();
    }
    QAction* deleteGroup() { return window->menus().miLvwMyListDeleteGroup; }
};

TEST_F(MyList, DeleteAsksOnceAndDeletesEverySelectedRowOnlyForYes) {
    // Without a selection, or on the catalogue list, the key asks nothing.
    ui().lvwMyList->selectionModel()->clearSelection();
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    selectRows(ui().lvwChannels, {0});
    QTest::keyClick(ui().lvwChannels, Qt::Key_Delete);
    EXPECT_TRUE(t.messages.shown.isEmpty());

    selectRows(ui().lvwMyList, {0, 2});
    t.messages.answerNext(MsgAnswer::No);
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(t.messages.shown[0].defaultAnswer, MsgAnswer::No);
    EXPECT_EQ(stored(), 4);
    t.messages.answerNext(MsgAnswer::Yes);
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    waitFilled();
    EXPECT_EQ(column(myList(), 1), QStringList{"Rai Test"});
    EXPECT_EQ(stored(), 2); // "Rai Test" and the channel without address
    // The menu entry does the same.
    selectRows(ui().lvwMyList, {0});
    t.messages.answerNext(MsgAnswer::Yes);
    window->menus().miLvwMyListDelete->trigger();
    EXPECT_EQ(stored(), 1);
    EXPECT_EQ(t.messages.shown.size(), 3);
}

TEST_F(MyList, TheMenuOpensEvenOnEmptySpaceModifyNeedsASelectionAndAddDoesNot) {
    click(ui().lvwMyList, emptyPoint(ui().lvwMyList), Qt::RightButton);
    EXPECT_TRUE(window->menus().mnuLvwMyList->isVisible());
    window->menus().mnuLvwMyList->hide();
    QList<int> modes;
    QObject::connect(&window->commands(), &MainCommands::myListEditorRequested,
                     [&](qint32 number) { modes << number; });
    ui().lvwMyList->selectionModel()->clearSelection();
    window->menus().miLvwMyListChannelProperty->trigger();
    EXPECT_TRUE(t.messages.saw("Select item to modify"));
    selectRows(ui().lvwMyList, {1});
    window->menus().miLvwMyListChannelProperty->trigger();
    window->menus().miLvwChannelsAddOnMyList->trigger();
    EXPECT_EQ(modes, (QList<int>{myList()->channelAt(1).number(), 0}));
}

TEST_F(MyListGroups, TheSelectorListsTheGroupsAndFiltersTheList) {
    EXPECT_EQ(entries(), (QStringList{"All groups", "music", "News", "Sport", "Without group"}));
    // The entry chosen, the channels listed, whether the group can be deleted.
    const std::tuple<const char*, QStringList, bool> cases[] = {
        {"News", {"A1", "A2"}, true},
        {"Without group", {"C1"}, true},
        {"Sport", {"B1"}, true},
        {"All groups", {"A1", "A2", "B1", "C1", "D1"}, false}};
    for (const auto& [entry, names, deletable] : cases) {
        SCOPED_TRACE(entry);
        choose(entry);
        EXPECT_EQ(column(myList(), 1), names);
        EXPECT_EQ(ui().lblMyListCount->text(), QString::number(names.size()));
        EXPECT_EQ(deleteGroup()->isEnabled(), deletable);
    }
    // A refill from elsewhere (the editor, an import) brings new groups and keeps the choice.
    choose("News");
    addMyList(app(), "F1", "http://127.0.0.1:9/6", 1, "Films");
    fillMyList();
    EXPECT_EQ(entries().mid(1, 2), (QStringList{"Films", "music"}));
    EXPECT_EQ(ui().cboGroup->currentText(), "News");
    // The fixed entries follow the language.
    app().preferences().setLanguage(2);
    window->applyLanguage();
    EXPECT_EQ(ui().lblGroup->text(), "Gruppo:");
    EXPECT_EQ(entries().first(), "Tutti i gruppi");
    EXPECT_EQ(entries().last(), "Senza gruppo");
    EXPECT_EQ(deleteGroup()->text(), "Elimina gruppo...");
}

TEST_F(MyListGroups, TheChosenGroupComesBackAfterARestartAndAVanishedOneGivesAll) {
    choose("Sport");
    restart();
    EXPECT_EQ(iniValue(app(), "MyListGroup"), "group:Sport");
    EXPECT_EQ(ui().cboGroup->currentText(), "Sport");
    EXPECT_EQ(column(myList(), 1), QStringList{"B1"});
    // As written in the settings file, the group shown after the restart, its rows.
    for (const auto& [stored, shown, rows] : {std::tuple{"ungrouped", "Without group", 1},
                                              {"\"group:NEWS\"", "News", 2},
                                              {"group:Gone", "All groups", 5},
                                              {"other", "All groups", 5}}) {
        SCOPED_TRACE(stored);
        IniFile(app().paths().settingsFile).write("preferences", "MyListGroup", stored);
        window.reset(); // without saving
        restart();
        EXPECT_EQ(ui().cboGroup->currentText(), shown);
        EXPECT_EQ(myList()->rowCount(), rows);
    }
    window->close();
    EXPECT_EQ(iniValue(app(), "MyListGroup"), "");
}

TEST_F(MyListGroups, DeleteGroupAsksOnceAndDeletesOnlyThatGroup) {
    deleteGroup()->trigger(); // all groups: nothing to ask
    EXPECT_TRUE(t.messages.shown.isEmpty());
    choose("News");
    t.messages.answerNext(MsgAnswer::No);
    deleteGroup()->trigger();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text,
              "Delete the 2 channels of the group \"News\" from My List?");
    EXPECT_EQ(t.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(myListRows(app()), 6);

    t.messages.answerNext(MsgAnswer::Yes);
    deleteGroup()->trigger();
    waitFilled();
    EXPECT_EQ(myListRows(app()), 4);
    EXPECT_EQ(entries(), (QStringList{"All groups", "music", "Sport", "Without group"}));
    EXPECT_EQ(ui().cboGroup->currentText(), "All groups");
    EXPECT_EQ(column(myList(), 1), (QStringList{"B1", "C1", "D1"}));

    choose("Without group");
    t.messages.answerNext(MsgAnswer::Yes);
    deleteGroup()->trigger();
    waitFilled();
    EXPECT_EQ(t.messages.shown.last().text,
              "Delete the 1 channels of the group \"Without group\" from My List?");
    EXPECT_EQ(entries(), (QStringList{"All groups", "music", "Sport"}));
    EXPECT_EQ(column(myList(), 1), (QStringList{"B1", "D1"}));
    EXPECT_EQ(t.messages.shown.size(), 3);
}

} // namespace
