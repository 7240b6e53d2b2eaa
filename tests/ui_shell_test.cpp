// Desktop helpers (addresses, mail, the manual, staying on top) and the list model itself.
#include "app/IniFile.h"
#include "common/Shell.h"
#include "ui/main/TopMost.h"
#include "ui_support.h"

#include <QSignalSpy>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

TEST(ShellOpen, AddressesGoToTheBrowserAndPathsToTheirProgram) {
    FakeDesktop desktop;
    ShellOpen(desktop, "Open", "https://example.org/a?b=c");
    ShellOpen(desktop, "Open", "mailto:someone@example.org");
    ShellOpen(desktop, "Open", "/tmp/some file.html");
    ShellOpen(desktop, "Open", "   ");
    EXPECT_EQ(desktop.opened, (QStringList{"https://example.org/a?b=c",
                                           "mailto:someone@example.org", "/tmp/some file.html"}));
}

TEST(ShellOpen, MailAddressCarriesEncodedSubjectAndBody) {
    EXPECT_EQ(mailToAddress(" a@b.example ", "New channel", "Name: X & Y\nURL: http://x/?a=1"),
              "mailto:a@b.example?subject=New%20channel&body=Name%3A%20X%20%26%20Y%0AURL%3A%20"
              "http%3A%2F%2Fx%2F%3Fa%3D1");
    EXPECT_EQ(mailToAddress("a@b.example", "", ""), "mailto:a@b.example");
}

TEST(ShellOpen, MailWithoutConfiguredAddressSaysSo) {
    TestApp t;
    EXPECT_FALSE(OpenMailTo(*t.app, "SupportMail", "Hello"));
    EXPECT_TRUE(t.desktop.opened.isEmpty());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_TRUE(t.messages.shown[0].text.contains("SupportMail"));

    IniFile(t.app->IniFileName).write("links", "SubmitMail", "submit@zentuvo.example");
    EXPECT_TRUE(OpenMailTo(*t.app, "SubmitMail", "Channel"));
    EXPECT_EQ(t.desktop.opened, QStringList{"mailto:submit@zentuvo.example?subject=Channel"});
}

TEST(ShellOpen, DownloadPageOpens) {
    TestApp t;
    OpenPlayerDownloadPage(*t.app);
    EXPECT_EQ(t.desktop.opened, QStringList{kPlayerDownloadPage});
}

TEST(TopMost, SetsAndClearsStayOnTopKeepingThePlace) {
    QWidget w;
    w.setGeometry(100, 120, 300, 200);
    w.show();
    SetTopMost(&w, true);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.size(), QSize(300, 200));
    SetTopMost(&w, false);
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
}

TEST(TopMost, FalseOnANormalWindowChangesNothing) {
    QWidget w;
    w.show();
    const Qt::WindowFlags before = w.windowFlags();
    const WId id = w.winId();
    SetTopMost(&w, false);
    EXPECT_EQ(w.windowFlags(), before);
    EXPECT_EQ(w.winId(), id); // not re-created
}

std::vector<ChannelRow> sample() {
    std::vector<ChannelRow> rows;
    const char* data[][3] = {{"Italy", "b", "News"},
                             {"france", "a", "Music"},
                             {"Italy", "c", "News"},
                             {"Germany", "d", "Kids"}};
    int n = 1;
    for (const auto& d : data) {
        ChannelRow r;
        r.cells = {d[0], d[1], d[2]};
        r.key = ChannelKey::catalogue(n++);
        rows.push_back(r);
    }
    return rows;
}

TEST(ChannelListModelTest, SortIsStableAndIgnoresCase) {
    ChannelListModel model(3, 1);
    model.setRows(sample());
    model.sort(0, Qt::AscendingOrder);
    EXPECT_EQ(column(&model, 0), (QStringList{"france", "Germany", "Italy", "Italy"}));
    EXPECT_EQ(column(&model, 1), (QStringList{"a", "d", "b", "c"})); // ties keep their order
    model.sort(0, Qt::DescendingOrder);
    EXPECT_EQ(column(&model, 1), (QStringList{"b", "c", "d", "a"}));
}

TEST(ChannelListModelTest, NewRowsComeOutInTheChosenOrder) {
    ChannelListModel model(3, 1);
    EXPECT_FALSE(model.sortingOn());
    model.setRows(sample());
    EXPECT_EQ(column(&model, 1), (QStringList{"b", "a", "c", "d"})); // as given
    model.sort(2, Qt::AscendingOrder);
    model.setRows(sample());
    EXPECT_EQ(column(&model, 2), (QStringList{"Kids", "Music", "News", "News"}));
}

TEST(ChannelListModelTest, SortMovesPersistentIndexesWithTheirRows) {
    ChannelListModel model(3, 1);
    model.setRows(sample());
    const QPersistentModelIndex d = model.index(3, 1);
    model.sort(1, Qt::DescendingOrder);
    EXPECT_EQ(d.row(), 0);
    EXPECT_EQ(d.data().toString(), "d");
}

TEST(ChannelListModelTest, FavouriteChangeRepaintsOnlyTheNameCell) {
    ChannelListModel model(3, 1);
    model.setRows(sample());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setFav(2, true);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>(), model.index(2, 1));
    EXPECT_EQ(changed[0][1].value<QModelIndex>(), model.index(2, 1));
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(model.index(2, 1).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
              model.favouriteIcon().cacheKey());
    model.setFav(99, true); // out of range: ignored
}

TEST(ChannelListModelTest, MyListModelHasTwoColumnsAndNoIcons) {
    ChannelListModel model(2, -1);
    model.setRows(sample());
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_FALSE(model.index(0, 1).data(Qt::DecorationRole).isValid());
    EXPECT_EQ(model.index(1, 0).data(ChannelListModel::KeyRole).toString(), "2 CH_ID");
}

} // namespace
