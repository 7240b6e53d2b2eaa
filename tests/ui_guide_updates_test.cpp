// The guide's refresh from the main window: its progress and cancel in the bottom bar, and the
// guide's key in full video.
#include "app/GuideUpdates.h"
#include "data/GuideSources.h"
#include "ui/guide/GuideWindow.h"
#include "ui/main/GuideProgress.h"
#include "ui_support.h"

#include <QMenuBar>
#include <QProgressBar>

namespace zentuvo::test {
namespace {

class GuideUpdatesWindowTest : public WiredWindowTest {};

TEST_F(GuideUpdatesWindowTest, ShowsEachSourceInTheBottomBarUntilTheRunEnds) {
    GuideUpdates& updates = controller->guideUpdates();
    // The start-up run (no sources) ends by itself.
    ASSERT_TRUE(waitUntil([&] { return !updates.isRunning(); }));
    const QString file = t.folder.path() + "/tonight.xml";
    writeFile(file, "<tv><programme channel=\"Alpha.it\" start=\"20261206100000 +0000\" "
                    "stop=\"20261206110000 +0000\"><title>News</title></programme></tv>");
    addGuideSource(app().paths().guideFile(), file);
    QStringList seen;
    QObject::connect(&updates, &GuideUpdates::progress, [&] {
        seen << QString::number(ui().prgGuide->isVisible()) + ' ' + ui().prgGuide->text() + ' ' +
                    QString::number(ui().cmdCancelGuide->isVisible());
    });
    updates.refreshAll();
    ASSERT_TRUE(waitUntil([&] { return !updates.isRunning(); }));
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.first(), "1 Reading guide 1/1: tonight.xml 1");
    EXPECT_FALSE(ui().prgGuide->isVisible());
    EXPECT_FALSE(ui().cmdCancelGuide->isVisible());
    EXPECT_EQ(guideSources(app().paths().guideFile()).at(0).programmesKept, 1);
    EXPECT_EQ(GuideProgress::sourceName("https://127.0.0.1:8080/epg/it.xml.gz"), "it.xml.gz");
    EXPECT_EQ(GuideProgress::sourceName("http://127.0.0.1:8080/"), "127.0.0.1");
}

TEST_F(GuideUpdatesWindowTest, TheGuideKeyWorksInFullVideo) {
    window->menus().miViewFullVideo->trigger();
    ASSERT_TRUE(window->isFullVideo());
    ASSERT_FALSE(window->menuBar()->isVisible());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_G);
    ASSERT_TRUE(waitUntil([&] { return !window->findChildren<GuideWindow*>().isEmpty(); }));
    window->findChildren<GuideWindow*>().front()->close();
    window->menus().miViewFullVideo->trigger();
}

} // namespace
} // namespace zentuvo::test
