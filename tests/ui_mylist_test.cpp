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
        add(italy, "Rai Test", "http://127.0.0.1:9/a");
        add(france, "canal test", "http://127.0.0.1:9/b");
        add(italy, "Zulu", "http://127.0.0.1:9/c");
        add(france, "No Address", "");
        open();
    }

    void add(const QVariant& country, const QString& name, const QString& url) {
        Connection c(app().MyListConnectionString);
        auto q = c.prepare("INSERT INTO tab_mylist (countryID, name, streamUrl) VALUES (?, ?, ?)");
        if (country.isNull())
            q.bindNull(1);
        else
            q.bind(1, country.toInt());
        q.bind(2, name).bind(3, url).run();
    }
    int stored() { return myListRows(app()); }
    void showMyList() {
        ui().TabStrip1->setCurrentIndex(1);
        QCoreApplication::processEvents();
    }
};

TEST_F(MyList, ListsChannelsWithAStreamAddressByNameEvenWithoutACountry) {
    EXPECT_EQ(column(myList(), 1), (QStringList{"canal test", "Rai Test", "Zulu"}));
    EXPECT_EQ(column(myList(), 0), (QStringList{"France", "Italy", "Italy"}));
    for (const QString& key : keys(myList()))
        EXPECT_TRUE(key.endsWith(" MY_ID")) << key.toStdString();
    add(QVariant(), "Alpha Null", "http://127.0.0.1:9/d");
    window->MakeLvwMyListContents();
    EXPECT_EQ(column(myList(), 1), (QStringList{"Alpha Null", "canal test", "Rai Test", "Zulu"}));
    EXPECT_EQ(myList()->row(0).cells[0], "");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MyList, DeleteKeyAsksOnceAndDeletesEverySelectedRowOnlyForYes) {
    showMyList();
    selectRows(ui().lvwMyList, {0, 2});
    int resets = 0;
    QObject::connect(myList(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    t.messages.answerNext(MsgAnswer::No);
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest& q = t.messages.shown[0];
    EXPECT_EQ(q.text, "Delete the selected channels from My List?");
    EXPECT_EQ(q.buttons, MsgButtons::YesNo);
    EXPECT_EQ(q.defaultAnswer, MsgAnswer::No);
    EXPECT_EQ(stored(), 4);
    EXPECT_EQ(resets, 0); // no refill either

    t.messages.answerNext(MsgAnswer::Yes);
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(column(myList(), 1), QStringList{"Rai Test"});
    EXPECT_EQ(stored(), 2); // "Rai Test" and the channel without address
    // The menu entry does the same.
    selectRows(ui().lvwMyList, {0});
    t.messages.answerNext(MsgAnswer::Yes);
    window->menus().miLvwMyListDelete->trigger();
    EXPECT_EQ(myList()->rowCount(), 0);
    EXPECT_EQ(stored(), 1);
}

TEST_F(MyList, DeleteWithoutSelectionOrOnTheCatalogueListAsksNothing) {
    showMyList();
    ui().lvwMyList->selectionModel()->clearSelection();
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    ui().TabStrip1->setCurrentIndex(0);
    selectRows(ui().lvwChannels, {0});
    QTest::keyClick(ui().lvwChannels, Qt::Key_Delete);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(stored(), 4);
    EXPECT_EQ(channels()->rowCount(), 5);
}

TEST_F(MyList, MyListDeleteTakesManyNumbersAtOnce) {
    {
        Connection c(app().MyListConnectionString);
        Connection::Transaction tx(c);
        auto q = c.prepare("INSERT INTO tab_mylist (name, streamUrl) VALUES (?, 'http://x/')");
        for (int i = 0; i < 12000; ++i) {
            q.bind(1, QString("Bulk %1").arg(i)).run();
            q.reset();
        }
        tx.commit();
    }
    window->MakeLvwMyListContents();
    QList<int> ids;
    for (const QString& key : keys(myList()))
        ids << ChannelKey::number(key);
    window->myList().MyListDelete(ids);
    EXPECT_EQ(stored(), 1);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MyList, TheMenuOpensEvenOnEmptySpaceModifyNeedsASelectionAndAddDoesNot) {
    showMyList();
    click(ui().lvwMyList, emptyPoint(ui().lvwMyList), Qt::RightButton);
    EXPECT_TRUE(window->menus().mnuLvwMyList->isVisible());
    window->menus().mnuLvwMyList->hide();
    int opened = 0;
    int mode = -1;
    window->hooks().showMyListEditor = [&] {
        ++opened;
        mode = app().ViewFilter.EditingModeMyListID;
    };
    ui().lvwMyList->selectionModel()->clearSelection();
    window->menus().miLvwMyListChannelProperty->trigger();
    EXPECT_TRUE(t.messages.saw("Select item to modify"));
    EXPECT_EQ(opened, 0);
    selectRows(ui().lvwMyList, {1});
    window->menus().miLvwMyListChannelProperty->trigger();
    EXPECT_EQ(mode, ChannelKey::number(myList()->keyAt(1)));
    window->menus().miLvwChannelsAddOnMyList->trigger();
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(opened, 2);
}

} // namespace
