// What the windows paint for a channel's logo: the initial standing in for it, the pictures
// of LogoPictures, and the lists' decoration of the name column.
#include "app/LogoCache.h"
#include "support/TestSupport.h"
#include "ui/guide/GuideGrid.h"
#include "ui/main/ChannelListModel.h"
#include "ui/widgets/ChannelInitial.h"
#include "ui/widgets/LogoPictures.h"

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

QColor centre(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// A red picture in dir, its path.
QString redPicture(const QTemporaryDir& dir, QSize size) {
    QImage red(size, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.save(dir.filePath("red.png"));
    return dir.filePath("red.png");
}

TEST(ChannelInitial, TheLetterIsTheFirstLetterOrDigitInCapitals) {
    const std::pair<QString, QChar> cases[] = {
        {"alpha", u'A'}, {"  3sat HD", u'3'}, {"(élan)", u'É'}, {"", u'?'}, {"--!", u'?'}};
    for (const auto& [name, letter] : cases)
        EXPECT_EQ(channelInitial(name), letter) << name.toStdString();
}

TEST(ChannelInitial, TheColourDependsOnTheNameAloneLetterCaseAside) {
    EXPECT_EQ(initialColour("Alpha TV"), initialColour("ALPHA tv"));
    // Fixed across sessions: not a seeded hash.
    EXPECT_EQ(initialColour("Alpha TV").name(), QColor::fromHsv(163, 150, 175).name());
    EXPECT_EQ(initialColour("Alpha TV").hue(), 163);
    EXPECT_NE(initialColour("Alpha TV"), initialColour("Beta TV"));
    const QPixmap square = channelInitialPixmap("Alpha TV", 20);
    EXPECT_EQ(square.size(), QSize(20, 20));
    EXPECT_EQ(square.toImage().pixel(3, 10), initialColour("Alpha TV").rgb()); // left of the A
    EXPECT_EQ(square.toImage().pixelColor(0, 0).alpha(), 0);                   // rounded corner
}

TEST(LogoPictures, AChannelShowsItsInitialUntilItsLogoHasCome) {
    QTemporaryDir dir;
    const QString file = redPicture(dir, {40, 20});
    LogoPictures logos(dir.filePath("logos"), "ZentuvoTest");
    const ChannelRef withLogo = ChannelRef::myList(1), without = ChannelRef::catalogue(2);
    QSignalSpy changed(&logos, &LogoPictures::changed);
    logos.setAddresses({{withLogo.key(), file}});
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(centre(logos.picture(without, "Beta", 18)), centre(channelInitialPixmap("Beta", 18)));
    EXPECT_EQ(centre(logos.picture(withLogo, "Alpha", 18)),
              centre(channelInitialPixmap("Alpha", 18)));
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 2; }));
    const QPixmap logo = logos.picture(withLogo, "Alpha", 18);
    EXPECT_EQ(logo.size(), QSize(18, 18));
    EXPECT_EQ(centre(logo), QColor(Qt::red));
    EXPECT_EQ(logo.toImage().pixelColor(9, 1).alpha(), 0); // wide: blank above and below
    EXPECT_TRUE(logos.hasLogo(withLogo));
    EXPECT_FALSE(logos.hasLogo(without));
}

TEST(ChannelListLogos, TheNameColumnGivesEachRowsLogoBesideTheFavouriteMark) {
    const std::vector<ChannelRow> rows{{{"Italy", "Alpha", ""}, ChannelRef::myList(1)},
                                       {{"Italy", "Beta", ""}, ChannelRef::myList(2)}};
    QStringList asked;
    const auto logo = [&](ChannelRef channel, const QString& name) {
        asked << name;
        QPixmap p(18, 18);
        p.fill(channel.number() == 1 ? Qt::red : Qt::blue);
        return p;
    };
    ChannelListModel myList(2, -1);
    myList.setRows(rows);
    EXPECT_TRUE(myList.index(0, 1).data(Qt::DecorationRole).isNull());
    QSignalSpy changed(&myList, &QAbstractItemModel::dataChanged);
    myList.setLogos(1, logo);
    EXPECT_EQ(changed.count(), 1);
    const QPixmap second = myList.index(1, 1).data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(centre(second), QColor(Qt::blue));
    EXPECT_EQ(asked, QStringList{"Beta"});
    EXPECT_TRUE(myList.index(1, 0).data(Qt::DecorationRole).isNull());
    // The catalogue's name column keeps its mark; the logo comes under its own role.
    ChannelListModel catalogue(3, 1);
    catalogue.setRows(rows);
    catalogue.setLogos(1, logo);
    EXPECT_EQ(catalogue.index(0, 1).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
              catalogue.emptyIcon().cacheKey());
    EXPECT_EQ(centre(catalogue.index(0, 1).data(ChannelListModel::LogoRole).value<QPixmap>()),
              QColor(Qt::red));
    EXPECT_TRUE(catalogue.index(0, 2).data(ChannelListModel::LogoRole).isNull());
}

TEST(GuideLogos, TheGuidesNamesStartWithTheChannelsPicture) {
    QTemporaryDir dir;
    LogoPictures logos(dir.filePath("logos"), "ZentuvoTest");
    logos.setAddresses({{ChannelRef::myList(1).key(), redPicture(dir, {30, 30})}});
    GuideGrid grid;
    grid.resize(600, 300);
    grid.setChannels({{ChannelRef::myList(1), "Alpha"}, {ChannelRef::myList(2), "Beta"}});
    grid.setLogos(&logos);
    // The middle of each row's picture: the logo once it has come, else the initial.
    const auto at = [&](int row) {
        return grid.viewport()->grab().toImage().pixel(8 + 3, GuideGrid::kHeaderHeight +
                                                                  row * GuideGrid::kRowHeight +
                                                                  GuideGrid::kRowHeight / 2);
    };
    EXPECT_EQ(at(1), initialColour("Beta").rgb());
    EXPECT_TRUE(waitUntil([&] { return at(0) == QColor(Qt::red).rgb(); }));
}

} // namespace
