// The import and export playlist windows over a fixture folder.
#include "data/Playlist.h"
#include "support/FakeMainWindow.h"
#include "support/TestWidgets.h"
#include "ui/dialogs/ExportPlaylistWindow.h"
#include "ui/dialogs/ImportPlaylistWindow.h"

#include <QProgressBar>

namespace zentuvo::test {
namespace {

// A playlist of n entries, the first named with a group.
QByteArray playlistOf(int n) {
    QByteArray out("#EXTM3U\r\n#EXTINF:-1 group-title=\"News\",First, with a comma\r\n"
                   "http://127.0.0.1:9/0\r\n");
    for (int i = 1; i < n; ++i)
        out += QStringLiteral("#EXTINF:-1,E%1\r\nhttp://127.0.0.1:9/%1\r\n").arg(i).toUtf8();
    return out;
}

bool finish(ImportPlaylistWindow& window) {
    return waitUntil([&] { return !window.isRunning(); }, 60000);
}

TEST(ImportPlaylist, FileImportCountsRefillsAndNamesTheGroupAfterTheFile) {
    TestApp t;
    FakeMain main;
    const QString file = t.folder.file("provider list.m3u8");
    writeFile(file,
              playlistOf(3) + "#EXTINF:-1,No address\r\n#EXTINF:-1,Again\r\nhttp://127.0.0.1:9/1");
    ImportPlaylistWindow window(*t.app, main);
    window.setFileChooser([&](const QString&) { return file; });
    window.show();
    window.findChild<QPushButton*>("cmdBrowse")->click();
    EXPECT_EQ(window.findChild<QLineEdit*>("txtGroup")->text(), "provider list");
    window.findChild<QPushButton*>("cmdImport")->click();
    ASSERT_TRUE(finish(window));
    EXPECT_EQ(main.myListRefills, 1);
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, "Channels added to My List: 3\nSkipped (already in My "
                                        "List or repeated): 1\nUnreadable entries: 1\nFirst "
                                        "unreadable lines: 8");
    EXPECT_EQ(sqlText(t.app->paths().myList, "SELECT groupName FROM tab_mylist WHERE name = ?",
                      "First, with a comma"),
              "News");
    EXPECT_EQ(
        sqlText(t.app->paths().myList, "SELECT groupName FROM tab_mylist WHERE name = ?", "E2"),
        "provider list");
}

TEST(ImportPlaylist, CancelAndUnreadableFileLeaveMyListAsItWas) {
    TestApp t;
    FakeMain main;
    addMyList(*t.app, "Before", "http://127.0.0.1:9/before");
    const QString file = t.folder.file("big.m3u");
    writeFile(file, playlistOf(200000));
    ImportPlaylistWindow window(*t.app, main);
    window.show();
    window.setSource(file);
    window.onImportClicked();
    ASSERT_TRUE(window.isRunning());
    window.findChild<QPushButton*>("cmdCancel")->click();
    ASSERT_TRUE(finish(window));
    EXPECT_TRUE(t.messages.saw("Import cancelled: My List is unchanged."));
    EXPECT_EQ(myListRows(*t.app), 1);
    EXPECT_EQ(main.myListRefills, 0);
    EXPECT_TRUE(window.isVisible()); // the user may try again

    t.messages.clear();
    window.setSource(t.folder.file("missing.m3u"));
    window.onImportClicked();
    ASSERT_TRUE(finish(window));
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("The playlist file cannot be read: "));
    EXPECT_EQ(myListRows(*t.app), 1);
}

TEST(ExportPlaylist, WritesTheChosenGroupThatReadsBack) {
    TestApp t;
    FakeMain main;
    const QString in = t.folder.file("in.m3u");
    writeFile(in, playlistOf(3));
    {
        ImportPlaylistWindow window(*t.app, main);
        window.setSource(in);
        window.onImportClicked();
        ASSERT_TRUE(finish(window));
    }
    ExportPlaylistWindow window(*t.app, main);
    auto* what = window.findChild<QComboBox*>("cboWhat");
    // All of My List, the groups "in" and "News", the favourites.
    ASSERT_EQ(what->count(), 4);
    EXPECT_EQ(what->itemText(2), "My List: group \"News\"");
    const QString out = t.folder.file("out.m3u");
    window.setChoice(2);
    window.setFile(out);
    window.show();
    window.findChild<QPushButton*>("cmdExport")->click();
    ASSERT_TRUE(waitUntil([&] { return !window.isRunning(); }));
    EXPECT_TRUE(t.messages.saw(QString("1 channels written to %1.").arg(out)));
    const PlaylistRead back = readPlaylist(readFile(out));
    ASSERT_EQ(back.entries.size(), 1u);
    EXPECT_EQ(back.entries[0].name, "First, with a comma");
    EXPECT_EQ(back.entries[0].group, "News");
}

} // namespace
} // namespace zentuvo::test
