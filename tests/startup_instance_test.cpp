// One running program: a later start hands over its command line; handed playlists open the
// import window filled in, one at a time.
#include "startup/SingleInstance.h"
#include "ui/dialogs/ImportPlaylistWindow.h"
#include "ui_support.h"

#include <QLocalServer>
#include <atomic>
#include <thread>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

// A later start on its own thread (handOver blocks while this one answers); true when the
// running program took the arguments.
bool startAgain(const QString& name, const QStringList& arguments) {
    std::atomic_bool done{false};
    bool taken = false;
    std::thread later([&] {
        taken = SingleInstance(name).handOver(arguments, 3000);
        done = true;
    });
    waitUntil([&] { return done.load(); }, 10000);
    later.join();
    return taken;
}

} // namespace

TEST(SingleInstance, ALaterStartHandsOverItsArgumentsAndEnds) {
    QTemporaryDir dir;
    const QString name = dir.filePath("socket");
    EXPECT_FALSE(SingleInstance(name).handOver({"/tmp/a.m3u"}, 500)); // nobody runs

    // A socket left by a program that ended is taken over; a live one is not.
    writeFile(name, "");
    SingleInstance running(name);
    ASSERT_TRUE(running.listen());
    EXPECT_FALSE(SingleInstance(name).listen());

    QSignalSpy received(&running, &SingleInstance::argumentsReceived);
    const QList<QStringList> handed = {
        {"/tmp/list.m3u", "http://127.0.0.1:8080/tv.m3u8"}, {}, {QString(5000, u'é')}};
    for (const QStringList& arguments : handed) {
        EXPECT_TRUE(startAgain(name, arguments));
        ASSERT_TRUE(waitUntil([&] { return !received.isEmpty(); }));
        EXPECT_EQ(received.takeFirst().at(0).toStringList(), arguments);
    }
    EXPECT_NE(SingleInstance::serverName("/a"), SingleInstance::serverName("/b"));
    EXPECT_EQ(SingleInstance::serverName("/a/"), SingleInstance::serverName("/a"));
}

TEST(SingleInstance, CommandLineSources) {
    EXPECT_EQ(commandLineSources({"list.m3u", "../up/tv.m3u8", "file:///srv/a%20b.m3u", "",
                                  "--verbose", "https://127.0.0.1/x.m3u", "/abs/film.mkv"},
                                 "/home/u"),
              QStringList({"/home/u/list.m3u", "/home/up/tv.m3u8", "/srv/a b.m3u",
                           "https://127.0.0.1/x.m3u", "/abs/film.mkv"}));
    const std::pair<const char*, bool> kinds[] = {
        {"/a/b.M3U", true},           {"/a/b.m3u8", true},
        {"HTTP://127.0.0.1/x", true}, {"https://127.0.0.1/list", true},
        {"/a/film.mkv", false},       {"/a/m3u", false}};
    for (const auto& [source, playlist] : kinds)
        EXPECT_EQ(isPlaylistSource(source), playlist) << source;
}

class HandedPlaylistTest : public WiredWindowTest {};

TEST_F(HandedPlaylistTest, OpensTheImportWindowFilledInOneAtATime) {
    const auto importWindow = [&] { return window->findChild<ImportPlaylistWindow*>(); };
    const auto source = [&] { return importWindow()->findChild<QLineEdit*>("txtSource")->text(); };
    controller->importPlaylist("/tmp/one.m3u");
    controller->importPlaylist("http://127.0.0.1:9/two.m3u8");
    ASSERT_TRUE(importWindow());
    EXPECT_TRUE(importWindow()->isVisible());
    EXPECT_EQ(source(), "/tmp/one.m3u");
    EXPECT_EQ(window->findChildren<ImportPlaylistWindow*>().size(), 1);
    importWindow()->reject();
    ASSERT_TRUE(waitUntil([&] {
        return window->findChildren<ImportPlaylistWindow*>().size() == 1 &&
               source() == "http://127.0.0.1:9/two.m3u8";
    }));
    importWindow()->reject();
    EXPECT_TRUE(waitUntil([&] { return !importWindow(); }));
}
