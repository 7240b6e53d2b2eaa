// The My List editor: modes, validation, saving through the database, the test player, the
// bit-rate filter and the submission mail. A save that fails is in reliability_files_test.cpp.
#include "data/MyList.h"
#include "playback/FakePlayer.h"
#include "support/FakeMainWindow.h"
#include "support/TestSupport.h"
#include "ui/dialogs/ChannelEditor.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace zentuvo::test {
namespace {

struct EditorTest : ::testing::Test {
    TestApp t;
    FakeMain main;
    FakePlayer* player = nullptr;
    std::unique_ptr<ChannelEditor> editor;

    void open(qint32 editingId = 0) {
        t.app->ViewFilter.EditingModeMyListID = editingId;
        auto fake = std::make_unique<FakePlayer>();
        player = fake.get();
        editor = std::make_unique<ChannelEditor>(*t.app, main, std::move(fake));
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
    cMyList row(qint32 id) {
        cMyList r;
        r.channelID = id;
        r.Load(t.app->data());
        return r;
    }
    QString lastMessage() { return t.messages.shown.isEmpty() ? "" : t.messages.shown.last().text; }
};

TEST_F(EditorTest, ANewChannelOpensEmptyAndValidateChecksInOrderCopyingAsItGoes) {
    t.app->CurrentMyList.Name = "left over";
    open();
    EXPECT_TRUE(editor->isModal());
    EXPECT_EQ(countries()->currentIndex(), -1);
    EXPECT_EQ(countries()->count(), 4);
    EXPECT_EQ(countries()->itemText(0), "Austria"); // by name
    EXPECT_EQ(t.app->CurrentMyList.Name, "");
    field("txtChannelName")->setText("   ");
    EXPECT_FALSE(editor->Validate());
    EXPECT_EQ(lastMessage(), "Please choose a name!");

    field("txtChannelName")->setText(" Name");
    field("txtHomePage")->setText("http://home.example/");
    EXPECT_FALSE(editor->Validate());
    EXPECT_EQ(lastMessage(), "Please select country!");
    EXPECT_EQ(t.app->CurrentMyList.Name, " Name");
    EXPECT_EQ(t.app->CurrentMyList.HomePage, ""); // not reached

    selectCountry("France");
    field("txtKbps")->setText("128");
    field("txtStreamURL")->setText("  ");
    EXPECT_FALSE(editor->Validate());
    EXPECT_EQ(lastMessage(), "Please insert stream url!");
    EXPECT_EQ(t.app->CurrentMyList.countryID, countryId(*t.app, "France"));
    EXPECT_EQ(t.app->CurrentMyList.HomePage, "http://home.example/");
    EXPECT_EQ(t.app->CurrentMyList.Kbps, 128);

    field("txtStreamURL")->setText("http://s.example/live");
    EXPECT_TRUE(editor->Validate());
    EXPECT_EQ(t.app->CurrentMyList.streamUrl, "http://s.example/live");
    EXPECT_EQ(t.messages.shown.size(), 3);

    field("txtKbps")->setText("99999999999"); // as a paste would put it
    EXPECT_FALSE(editor->Validate());
    EXPECT_TRUE(lastMessage().startsWith("Error in Validate: "));
    EXPECT_EQ(t.messages.shown.last().icon, MsgIcon::Critical);
    EXPECT_EQ(myListRows(*t.app), 0); // validation writes nothing
}

TEST_F(EditorTest, SavingANewChannelStoresItAsTypedAndRefillsMyList) {
    open();
    fill(" Rock'n'Roll TV", "Germany", "http://s.example/it's?a=1&b=2");
    field("txtHomePage")->setText("http://o'neil.example/");
    field<QPlainTextEdit>("txtDescription")->setPlainText("Line 'one'\nLine two");
    ok();
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(main.myListRefills, 1);
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(t.app->CurrentMyList.channelID, 0); // emptied on close
    const cMyList r = row(t.app->ViewFilter.EditingModeMyListID);
    EXPECT_EQ(r.Name, " Rock'n'Roll TV");
    EXPECT_EQ(r.countryID, countryId(*t.app, "Germany"));
    EXPECT_EQ(r.streamUrl, "http://s.example/it's?a=1&b=2");
    EXPECT_EQ(r.HomePage, "http://o'neil.example/");
    EXPECT_EQ(r.Kbps, 0); // an empty bit rate
    EXPECT_EQ(r.Description, "Line 'one'\nLine two");
    EXPECT_EQ(myListRows(*t.app), 1);
}

TEST_F(EditorTest, ModifyModeShowsTheRecordAndUpdatesIt) {
    cMyList r;
    r.countryID = countryId(*t.app, "France");
    r.Name = "  Old name";
    r.streamUrl = "http://old.example/";
    r.Description = "Two\nlines";
    r.Notes = "kept";
    ASSERT_TRUE(r.Save(t.app->data()));
    open(r.channelID);
    EXPECT_EQ(countries()->currentText(), "France");
    EXPECT_EQ(field("txtChannelName")->text(), "  Old name");
    EXPECT_EQ(field("txtKbps")->text(), "0");
    EXPECT_EQ(field<QPlainTextEdit>("txtDescription")->toPlainText(), "Two\nlines");

    field("txtChannelName")->setText("New 'name'");
    field("txtKbps")->setText("256");
    selectCountry("Austria");
    ok();
    EXPECT_EQ(main.myListRefills, 1);
    EXPECT_EQ(myListRows(*t.app), 1);
    EXPECT_EQ(t.app->ViewFilter.EditingModeMyListID, r.channelID);
    const cMyList after = row(r.channelID);
    EXPECT_EQ(after.Name, "New 'name'");
    EXPECT_EQ(after.Kbps, 256);
    EXPECT_EQ(after.countryID, countryId(*t.app, "Austria"));
    EXPECT_EQ(after.Notes, "kept"); // fields the editor does not show stay

    // A record whose country is unknown asks for one.
    r.countryID = 999;
    ASSERT_TRUE(r.Update(t.app->data()));
    open(r.channelID);
    EXPECT_EQ(countries()->currentIndex(), -1);
    ok();
    EXPECT_EQ(lastMessage(), "Please select country!");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(main.myListRefills, 1);
}

TEST_F(EditorTest, BitRateTakesDigitsAndBackspaceOnly) {
    open();
    QLineEdit* kbps = field("txtKbps");
    kbps->setFocus();
    QTest::keyClicks(kbps, "12a.-3 x9");
    EXPECT_EQ(kbps->text(), "1239");
    QTest::keyClick(kbps, Qt::Key_Backspace);
    EXPECT_EQ(kbps->text(), "123");
    QTest::keyClick(kbps, Qt::Key_Left); // keys that type nothing pass
    QTest::keyClick(kbps, Qt::Key_Delete);
    EXPECT_EQ(kbps->text(), "12");
    QGuiApplication::clipboard()->setText("77");
    QTest::keyClick(kbps, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(kbps->text(), "12");
}

TEST_F(EditorTest, TestPlaysTheTypedAddressAndTheStatusLineFollows) {
    open();
    editor->TestURL();
    EXPECT_EQ(lastMessage(), "Insert stream URL to test");
    EXPECT_TRUE(player->items.isEmpty());

    field("txtStreamURL")->setText(" http://s.example/a ");
    field<QToolButton>("imgButtonTest")->click();
    field<QToolButton>("imgButtonTest")->click();
    ASSERT_EQ(player->items.size(), 2); // each test adds an item
    EXPECT_EQ(player->items[0].mrl, " http://s.example/a ");
    // The player library drops a user agent written with "+" for blanks.
    EXPECT_EQ(player->items[0].options,
              QStringList{QString(t.app->PlayerUserAgentOption).replace(u'+', u' ')});
    EXPECT_EQ(player->playingItem, 1);
    QLabel* status = field<QLabel>("lblStreamingInfo");
    editor->TimerStatusTick();
    EXPECT_EQ(status->text(), "- Preview - Playing");
    // The timer refreshes the line every second by itself.
    player->setState(Player::Buffering);
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->text() == "- Preview - Buffering"; }, 2500));

    field<QToolButton>("imgButtonStop")->click();
    EXPECT_EQ(player->stopCalls, 1);
    player->broken = true; // a player that does not answer leaves the prefix alone
    editor->TimerStatusTick();
    EXPECT_EQ(status->text(), "- Preview - ");
    EXPECT_EQ(t.messages.shown.size(), 1);
}

TEST_F(EditorTest, HomePageButtonOpensTheTypedAddress) {
    open();
    editor->VisitHomePage();
    EXPECT_EQ(lastMessage(), "Digit homepage!");
    field("txtHomePage")->setText("https://home.example/page");
    field<QToolButton>("imgButtonVisitHomePage")->click();
    EXPECT_EQ(t.desktop.opened, QStringList{"https://home.example/page"});
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
    EXPECT_EQ(lastMessage(), t.app->Translate("_frmChAdd_msgSubmitUs"));
    EXPECT_EQ(t.messages.shown.last().defaultAnswer, MsgAnswer::No);
    EXPECT_TRUE(t.desktop.opened.isEmpty());

    t.messages.answerNext(MsgAnswer::Yes);
    field<QPushButton>("cmdSubmit")->click();
    ASSERT_EQ(t.desktop.opened.size(), 1);
    const QString mail = t.desktop.opened[0];
    EXPECT_EQ(mail, "mailto:channels@example.org?subject=Zentuvo-Channel-submission&body="
                    "ChannelName%3AA%26B%20TV%0A%0A"
                    "StreamURL%3Ahttp%3A%2F%2Fs.example%2Flive%3Fid%3D1%26q%3D50%25%23top%0A%0A"
                    "Description%3AFirst%20line%0A%0ASecond%20%26%20last%3F%0A%0A");
    // A mail program reads back every field whole.
    const QUrlQuery query{QUrl(mail)};
    EXPECT_EQ(query.queryItems().size(), 2);
    EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded),
              "ChannelName:A&B TV\n\nStreamURL:http://s.example/live?id=1&q=50%#top\n\n"
              "Description:First line\n\nSecond & last?\n\n");
    EXPECT_EQ(myListRows(*t.app), 0); // nothing validated or saved
    // Every kind of line break becomes a double one.
    EXPECT_EQ(channelSubmissionBody("N", "U", "a\r\nb\rc\nd"),
              "ChannelName:N\n\nStreamURL:U\n\nDescription:a\n\nb\n\nc\n\nd\n\n");
}

} // namespace
} // namespace zentuvo::test
