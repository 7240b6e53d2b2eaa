// The My List tab: its fill, and deleting the selected rows after one question.
#include "ui_support.h"

#include <QMenu>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class MyList : public WindowTest {
protected:
    void SetUp() override {
        italy = countryId("Italy");
        france = countryId("France");
        add(italy, "Rai Test", "http://127.0.0.1:9/a");
        add(france, "canal test", "http://127.0.0.1:9/b");
        add(italy, "Zulu", "http://127.0.0.1:9/c");
        add(france, "No Address", "");
        open();
    }

    int countryId(const QString& name) {
        Connection c(app().ChannelConnectionString);
        auto q = c.prepare("SELECT countryID FROM tab_country WHERE countryName = ?");
        q.bind(1, name);
        return q.next() ? int(q.integer(0)) : -1;
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
    int stored() {
        Connection c(app().MyListConnectionString);
        auto q = c.prepare("SELECT COUNT(*) FROM tab_mylist");
        return q.next() ? int(q.integer(0)) : -1;
    }
    void showMyList() {
        ui().TabStrip1->setCurrentIndex(1);
        QCoreApplication::processEvents();
    }

    int italy = 0, france = 0;
};

TEST_F(MyList, ListsChannelsWithStreamAddressByName) {
    EXPECT_EQ(column(myList(), 1), (QStringList{"canal test", "Rai Test", "Zulu"}));
    EXPECT_EQ(column(myList(), 0), (QStringList{"France", "Italy", "Italy"}));
    for (const QString& key : keys(myList()))
        EXPECT_TRUE(key.endsWith(" MY_ID")) << key.toStdString();
    EXPECT_EQ(myList()->columnCount(), 2);
    EXPECT_EQ(myList()->headerData(0, Qt::Horizontal).toString(), "Country");
    EXPECT_EQ(myList()->headerData(1, Qt::Horizontal).toString(), "Channel");
}

TEST_F(MyList, RowWithoutCountryIsListedWithAnEmptyCountry) {
    add(QVariant(), "Alpha Null", "http://127.0.0.1:9/d");
    add(italy, "Omega", "http://127.0.0.1:9/e");
    window->MakeLvwMyListContents();
    EXPECT_EQ(column(myList(), 1),
              (QStringList{"Alpha Null", "canal test", "Omega", "Rai Test", "Zulu"}));
    EXPECT_EQ(myList()->row(0).cells[0], "");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(MyList, DeleteKeyAsksOnceAndDeletesEverySelectedRow) {
    showMyList();
    selectRows(ui().lvwMyList, {0, 2});
    t.messages.answerNext(MsgAnswer::Yes);
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest& q = t.messages.shown[0];
    EXPECT_EQ(q.text, "Delete the selected channels from My List?");
    EXPECT_EQ(q.icon, MsgIcon::Question);
    EXPECT_EQ(q.buttons, MsgButtons::YesNo);
    EXPECT_EQ(q.defaultAnswer, MsgAnswer::No);
    EXPECT_EQ(column(myList(), 1), QStringList{"Rai Test"});
    EXPECT_EQ(stored(), 2); // "Rai Test" and the channel without address
}

TEST_F(MyList, AnsweringNoDeletesNothingAndDoesNotRefill) {
    showMyList();
    selectRows(ui().lvwMyList, {1});
    int resets = 0;
    QObject::connect(myList(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    t.messages.answerNext(MsgAnswer::No);
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    EXPECT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(stored(), 4);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(myList()->rowCount(), 3);
}

TEST_F(MyList, DeleteWithoutSelectionAsksNothing) {
    showMyList();
    ui().lvwMyList->selectionModel()->clearSelection();
    QTest::keyClick(ui().lvwMyList, Qt::Key_Delete);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(stored(), 4);
}

TEST_F(MyList, MenuDeleteDeletesTheSelectedRows) {
    showMyList();
    selectRows(ui().lvwMyList, {0, 1, 2});
    t.messages.answerNext(MsgAnswer::Yes);
    window->menus().miLvwMyListDelete->trigger();
    EXPECT_EQ(myList()->rowCount(), 0);
    EXPECT_EQ(stored(), 1);
}

TEST_F(MyList, DeleteKeyOnTheCatalogueListDoesNothing) {
    selectRows(ui().lvwChannels, {0});
    QTest::keyClick(ui().lvwChannels, Qt::Key_Delete);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(channels()->rowCount(), 5);
}

TEST_F(MyList, MyListDeleteTakesManyNumbersAtOnce) {
    {
        Connection c(app().MyListConnectionString);
        Connection::Transaction tx(c);
        auto q = c.prepare("INSERT INTO tab_mylist (countryID, name, streamUrl) VALUES (?, ?, ?)");
        for (int i = 0; i < 12000; ++i) {
            q.bind(1, italy).bind(2, QString("Bulk %1").arg(i)).bind(3, "http://x/");
            q.run();
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

TEST_F(MyList, FailedDeleteIsReportedAndTheListShowsWhatIsStored) {
    showMyList();
    selectRows(ui().lvwMyList, {0});
    execSql(
        app().MyListConnectionString,
        "CREATE TRIGGER keep BEFORE DELETE ON tab_mylist BEGIN SELECT RAISE(ABORT, 'kept'); END");
    t.messages.answerNext(MsgAnswer::Yes);
    window->MyListDeleteElement();
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_TRUE(t.messages.shown[1].text.startsWith("Error in MyListDelete: "));
    EXPECT_EQ(myList()->rowCount(), 3);
}

TEST_F(MyList, RightClickOpensTheMenuEvenOnEmptySpace) {
    showMyList();
    click(ui().lvwMyList, emptyPoint(ui().lvwMyList), Qt::RightButton);
    EXPECT_TRUE(window->menus().mnuLvwMyList->isVisible());
    window->menus().mnuLvwMyList->hide();
}

TEST_F(MyList, ModifyWithoutSelectionAsksToSelect) {
    showMyList();
    ui().lvwMyList->selectionModel()->clearSelection();
    int opened = 0;
    window->hooks().showMyListEditor = [&] { ++opened; };
    window->menus().miLvwMyListChannelProperty->trigger();
    EXPECT_TRUE(t.messages.saw("Select item to modify"));
    EXPECT_EQ(opened, 0);
}

TEST_F(MyList, ModifyAndAddSetTheEditingMode) {
    showMyList();
    int opened = 0;
    int mode = -1;
    window->hooks().showMyListEditor = [&] {
        ++opened;
        mode = app().ViewFilter.EditingModeMyListID;
    };
    selectRows(ui().lvwMyList, {1});
    window->menus().miLvwMyListChannelProperty->trigger();
    EXPECT_EQ(mode, ChannelKey::number(myList()->keyAt(1)));
    window->menus().miLvwChannelsAddOnMyList->trigger();
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(opened, 2);
}

} // namespace
