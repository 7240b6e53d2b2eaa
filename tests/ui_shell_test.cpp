// Desktop helpers (addresses, mail, the manual, staying on top) and the list model itself.
#include "common/Shell.h"
#include "ui/main/TopMost.h"
#include "ui_support.h"

#include <QSignalSpy>
#include <QUrl>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

TEST(ShellOpen, AddressesAndPathsGoToTheDesktopUnchangedAndBlanksNowhere) {
    FakeDesktop desktop;
    const QStringList targets{"https://h.example/?q=a'b;c&d=%20#x", "mailto:someone@example.org",
                              "/tmp/a'b;c $(id) & `x` 100% #1 ?.html"};
    for (const QString& target : targets)
        ShellOpen(desktop, "Open", target);
    ShellOpen(desktop, "Open", "   ");
    EXPECT_EQ(desktop.opened, targets);
    // The desktop service hands a file over as a file address, which keeps every character.
    EXPECT_EQ(QUrl::fromLocalFile(targets[2]).toLocalFile(), targets[2]);
}

TEST(ShellOpen, MailWithoutConfiguredAddressSaysSo) {
    TestApp t;
    EXPECT_FALSE(OpenMailTo(*t.app, "SupportMail", "Hello"));
    EXPECT_TRUE(t.desktop.opened.isEmpty());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_TRUE(t.messages.shown[0].text.contains("SupportMail"));

    setLink(*t.app, "SubmitMail", "submit@zentuvo.example");
    EXPECT_TRUE(OpenMailTo(*t.app, "SubmitMail", "Channel"));
    EXPECT_EQ(t.desktop.opened, QStringList{"mailto:submit@zentuvo.example?subject=Channel"});
}

TEST(TopMost, SetsAndClearsStayOnTopKeepingThePlaceAndANormalWindowAsItIs) {
    QWidget w;
    w.setGeometry(100, 120, 300, 200);
    w.show();
    const Qt::WindowFlags before = w.windowFlags();
    const WId id = w.winId();
    SetTopMost(&w, false);
    EXPECT_EQ(w.windowFlags(), before);
    EXPECT_EQ(w.winId(), id); // not re-created
    SetTopMost(&w, true);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.size(), QSize(300, 200));
    SetTopMost(&w, false);
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
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

// Sorting through the window is in ui_channellist_test.cpp; ties keep their order.
TEST(ChannelListModelTest, SortIsStableAndAFavouriteChangeRepaintsOnlyItsNameCell) {
    ChannelListModel model(3, 1);
    model.setRows(sample());
    model.sort(0, Qt::AscendingOrder);
    EXPECT_EQ(column(&model, 1), (QStringList{"a", "d", "b", "c"}));
    model.sort(0, Qt::DescendingOrder);
    EXPECT_EQ(column(&model, 1), (QStringList{"b", "c", "d", "a"}));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setFav(2, true);
    model.setFav(99, true); // out of range: ignored
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>(), model.index(2, 1));
    EXPECT_EQ(changed[0][1].value<QModelIndex>(), model.index(2, 1));
}

} // namespace
