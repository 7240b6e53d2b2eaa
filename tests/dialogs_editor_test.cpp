// The My List editor: modes, validation, saving through the database (group and headers
// included), the test player with the typed headers, the bit-rate filter and the submission
// mail. A save that fails is in reliability_files_test.cpp.
#include "data/MyList.h"
#include "support/FakeMainWindow.h"
#include "support/FakePlayer.h"
#include "support/TestWidgets.h"
#include "ui/dialogs/ChannelEditor.h"

#include <QClipboard>
#include <QGuiApplication>

namespace zentuvo::test {
namespace {

struct EditorTest : ::testing::Test {
    TestApp t;
    FakeMain main;
    FakePlayer* player = nullptr;
    std::unique_ptr<ChannelEditor> editor;

    void open(qint32 editingId = 0) {
        auto fake = std::make_unique<FakePlayer>();
        player = fake.get();
        editor = std::make_unique<ChannelEditor>(*t.app, main, std::move(fake), editingId);
        editor->show();
    }
    template <class W = QLineEdit> W* field(const char* name) {
        W* w = editor->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QComboBox* countries() { return field<QComboBox>("cboCountry"); }
    void selectCountry(const QString& name) {
        countries()->setCurrentIndex(countries()->findText(name));
        ASSERT_GE(countries()->currentIndex(), 0);
    }
    void fill(const QString& name, const QString& country, const QString& url) {
        field("txtChannelName")->setText(name);
        if (!country.isEmpty())
            selectCountry(country);
        field("txtStreamURL")->setText(url);
    }
    void ok() { field<QPushButton>("cmdOK")->click(); }
    // The My List row with this number, as the record reads it.
    MyListRecord row(qint32 id) {
        MyListRecord r;
        r.channelID = id;
        r.load(t.app->data());
        return r;
    }
    QString lastMessage() { return t.messages.shown.isEmpty() ? "" : t.messages.shown.last().text; }
};

TEST_F(EditorTest, ValidateChecksInOrderCopyingAsItGoes) {
    open();
    EXPECT_EQ(countries()->currentIndex(), -1);
    EXPECT_EQ(countries()->itemText(0), "Austria"); // by name
    EXPECT_EQ(editor->record().name, "");
    // The field, the text typed or chosen, the message ("" once it validates).
    const std::tuple<const char*, const char*, const char*> steps[] = {
        {"txtChannelName", "   ", "Please choose a name!"},
        {"txtChannelName", " Name", "Please select country!"},
        {"cboCountry", "France", "Please insert stream url!"},
        {"txtStreamURL", "not a url",
         "Please insert a valid stream url! (http://, https://, rtmp://, rtsp://, mms://, "
         "mmsh://, udp://, rtp://, srt://, file:// or the full path of a file)"},
        {"txtStreamURL", "http:/s.example/live", "Please insert a valid stream url! ("},
        {"txtStreamURL", "http://s.example/live", ""},
        {"txtKbps", "99999999999", "Error in Validate: "}, // as a paste would put it
    };
    field("txtHomePage")->setText("http://home.example/");
    for (const auto& [name, text, message] : steps) {
        SCOPED_TRACE(name);
        if (QString(name) == "cboCountry")
            selectCountry(text);
        else
            field(name)->setText(text);
        t.messages.clear();
        EXPECT_EQ(editor->validate(), *message == 0);
        EXPECT_TRUE(lastMessage().startsWith(message));
        if (QString(text) == " Name") {
            EXPECT_EQ(editor->record().homePage, ""); // not reached
        }
    }
    EXPECT_EQ(t.messages.shown.last().icon, MsgIcon::Critical);
    EXPECT_EQ(editor->record().name, " Name");
    EXPECT_EQ(editor->record().countryID, countryId(*t.app, "France"));
    EXPECT_EQ(editor->record().homePage, "http://home.example/");
    EXPECT_EQ(editor->record().streamUrl, "http://s.example/live");
    EXPECT_EQ(myListRows(*t.app), 0); // validation writes nothing
}

TEST_F(EditorTest, SavingANewChannelStoresItAsTypedAndModifyModeUpdatesIt) {
    open();
    fill(" Rock'n'Roll TV", "Germany", "http://s.example/it's?a=1&b=2");
    field<QPlainTextEdit>("txtDescription")->setPlainText("Line 'one'\nLine two");
    ok();
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(main.myListRefills, 1);
    EXPECT_FALSE(editor->isVisible());
    const qint32 id = editor->record().channelID; // the saved record comes out
    EXPECT_EQ(editor->myListNumber(), id);
    MyListRecord r = row(id);
    EXPECT_EQ(r.name, " Rock'n'Roll TV");
    EXPECT_EQ(r.countryID, countryId(*t.app, "Germany"));
    EXPECT_EQ(r.streamUrl, "http://s.example/it's?a=1&b=2");
    EXPECT_EQ(r.kbps, 0); // an empty bit rate
    EXPECT_EQ(r.description, "Line 'one'\nLine two");

    r.notes = "kept";
    ASSERT_TRUE(r.update(t.app->data()));
    open(id);
    EXPECT_EQ(countries()->currentText(), "Germany");
    EXPECT_EQ(field("txtKbps")->text(), "0");
    EXPECT_EQ(field<QPlainTextEdit>("txtDescription")->toPlainText(), "Line 'one'\nLine two");
    field("txtChannelName")->setText("New 'name'");
    field("txtKbps")->setText("256");
    selectCountry("Austria");
    ok();
    EXPECT_EQ(main.myListRefills, 2);
    EXPECT_EQ(myListRows(*t.app), 1);
    const MyListRecord after = row(id);
    EXPECT_EQ(after.name, "New 'name'");
    EXPECT_EQ(after.kbps, 256);
    EXPECT_EQ(after.countryID, countryId(*t.app, "Austria"));
    EXPECT_EQ(after.notes, "kept"); // fields the editor does not show stay

    // A record whose country is unknown asks for one.
    r.countryID = 999;
    ASSERT_TRUE(r.update(t.app->data()));
    open(id);
    EXPECT_EQ(countries()->currentIndex(), -1);
    ok();
    EXPECT_EQ(lastMessage(), "Please select country!");
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(EditorTest, GroupUserAgentAndReferrerRoundTripOtherPlaylistFieldsStay) {
    addMyList(*t.app, "x", "http://127.0.0.1:9/x", 1, "News");
    addMyList(*t.app, "y", "http://127.0.0.1:9/y", 1, "music");
    open();
    auto* groups = field<QComboBox>("cboGroup");
    ASSERT_TRUE(waitUntil([&] { return groups->count() == 2; })); // read on a worker thread
    EXPECT_EQ(groups->itemText(0), "music");
    EXPECT_EQ(groups->currentText(), "");
    fill("Chan", "France", "http://127.0.0.1:9/c");
    groups->setCurrentText(" Films "); // a new group, typed in
    field("txtUserAgent")->setText(" Agent/1.0 (X11) ");
    field("txtReferrer")->setText("http://ref.example/");
    ok();
    const qint32 id = editor->record().channelID;
    MyListRecord r = row(id);
    EXPECT_EQ(r.groupName, "Films");
    EXPECT_EQ(r.userAgent, "Agent/1.0 (X11)");
    EXPECT_EQ(r.referrer, "http://ref.example/");

    r.tvgId = "guide.1";
    r.logo = "http://127.0.0.1:9/logo.png";
    ASSERT_TRUE(r.update(t.app->data()));
    open(id);
    ASSERT_TRUE(waitUntil([&] { return field<QComboBox>("cboGroup")->count() == 3; }));
    EXPECT_EQ(field<QComboBox>("cboGroup")->currentText(), "Films"); // kept when they arrive
    EXPECT_EQ(field("txtUserAgent")->text(), "Agent/1.0 (X11)");
    EXPECT_EQ(field("txtReferrer")->text(), "http://ref.example/");
    field<QComboBox>("cboGroup")->setCurrentIndex(field<QComboBox>("cboGroup")->findText("News"));
    field("txtUserAgent")->clear();
    ok();
    const MyListRecord after = row(id);
    EXPECT_EQ(after.groupName, "News");
    EXPECT_EQ(after.userAgent, "");
    EXPECT_EQ(after.referrer, "http://ref.example/");
    EXPECT_EQ(after.tvgId, "guide.1");
    EXPECT_EQ(after.logo, "http://127.0.0.1:9/logo.png");
}

TEST_F(EditorTest, BitRateTakesDigitsAndBackspaceOnly) {
    open();
    QLineEdit* kbps = field("txtKbps");
    kbps->setFocus();
    QTest::keyClicks(kbps, "12a.-3 x9");
    EXPECT_EQ(kbps->text(), "1239");
    QTest::keyClick(kbps, Qt::Key_Backspace);
    QTest::keyClick(kbps, Qt::Key_Left); // keys that type nothing pass
    QTest::keyClick(kbps, Qt::Key_Delete);
    EXPECT_EQ(kbps->text(), "12");
    QGuiApplication::clipboard()->setText("77");
    QTest::keyClick(kbps, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(kbps->text(), "12");
}

TEST_F(EditorTest, TestPlaysTheTypedAddressHomePageOpensTheTypedPage) {
    open();
    editor->onTestClicked();
    editor->onVisitHomePageClicked();
    EXPECT_EQ(t.messages.texts(), QStringList({"Insert stream URL to test", "Digit homepage!"}));
    EXPECT_TRUE(player->items.isEmpty());
    field("txtHomePage")->setText("https://home.example/page");
    field<QToolButton>("imgButtonVisitHomePage")->click();
    EXPECT_EQ(t.desktop.opened, QStringList{"https://home.example/page"});

    field("txtStreamURL")->setText(" http://s.example/a ");
    field<QToolButton>("imgButtonTest")->click();
    field<QToolButton>("imgButtonTest")->click();
    ASSERT_EQ(player->items.size(), 2); // each test adds an item
    EXPECT_EQ(player->items[0].mrl, " http://s.example/a ");
    EXPECT_EQ(player->playingItem, 1);
    // The typed headers go with it; the program's user agent (with blanks, as the player
    // library drops one written with "+") where none is typed.
    const QString program =
        QString(t.app->preferences().playerUserAgentOption()).replace(u'+', u' ');
    EXPECT_EQ(player->items[0].options, QStringList{program});
    for (const auto& [userAgent, referrer, options] :
         {std::tuple{" Agent/2 ", "", QStringList{":http-user-agent=Agent/2"}},
          {"", "http://ref.example/", {program, ":http-referrer=http://ref.example/"}},
          {"A",
           " http://r.example/ ",
           {":http-user-agent=A", ":http-referrer=http://r.example/"}}}) {
        field("txtUserAgent")->setText(userAgent);
        field("txtReferrer")->setText(referrer);
        field<QToolButton>("imgButtonTest")->click();
        EXPECT_EQ(player->current()->options, options) << userAgent;
    }
    QLabel* status = field<QLabel>("lblStreamingInfo");
    // The timer refreshes the line every second by itself.
    player->setState(PlayerState::Buffering);
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->text() == "- Preview - Buffering"; }, 2500));
    field<QToolButton>("imgButtonStop")->click();
    EXPECT_EQ(player->stopCalls, 1);
    player->broken = true; // a player that does not answer leaves the prefix alone
    editor->updateStatus();
    EXPECT_EQ(status->text(), "- Preview - ");
    EXPECT_EQ(t.messages.shown.size(), 2);
}

TEST_F(EditorTest, SubmissionAsksFirstAndEncodesEveryFieldWithDoubledLineBreaks) {
    open();
    fill("A&B TV", "", "http://s.example/live?id=1&q=50%#top");
    field<QPlainTextEdit>("txtDescription")->setPlainText("First line\nSecond & last?");
    // Without a configured address it says so and asks nothing.
    field<QPushButton>("cmdSubmit")->click();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(lastMessage().contains("SubmitMail"));
    EXPECT_NE(t.messages.shown.last().buttons, MsgButtons::YesNo);

    setLink(*t.app, "SubmitMail", "channels@example.org");
    t.messages.answerNext(MsgAnswer::No);
    field<QPushButton>("cmdSubmit")->click();
    EXPECT_EQ(t.messages.shown.last().defaultAnswer, MsgAnswer::No);
    EXPECT_TRUE(t.desktop.opened.isEmpty());

    t.messages.answerNext(MsgAnswer::Yes);
    field<QPushButton>("cmdSubmit")->click();
    ASSERT_EQ(t.desktop.opened.size(), 1);
    EXPECT_EQ(t.desktop.opened[0],
              "mailto:channels@example.org?subject=Zentuvo-Channel-submission&body="
              "ChannelName%3AA%26B%20TV%0A%0A"
              "StreamURL%3Ahttp%3A%2F%2Fs.example%2Flive%3Fid%3D1%26q%3D50%25%23top%0A%0A"
              "Description%3AFirst%20line%0A%0ASecond%20%26%20last%3F%0A%0A");
    EXPECT_EQ(myListRows(*t.app), 0); // nothing validated or saved
    // Every kind of line break becomes a double one.
    EXPECT_EQ(channelSubmissionBody("N", "U", "a\r\nb\rc\nd"),
              "ChannelName:N\n\nStreamURL:U\n\nDescription:a\n\nb\n\nc\n\nd\n\n");
}

} // namespace
} // namespace zentuvo::test
