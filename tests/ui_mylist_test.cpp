// The My List tab: its fill, and deleting the selected rows after one question.
#include "ui_support.h"

#include <QMenu>

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

} // namespace
