// The options, channel property, about and requirements windows, the home page command,
// and what every dialog shares.
#include "common/ChannelHomePage.h"
#include "data/Database.h"
#include "data/StoredValue.h"
#include "playback/FakePlayer.h"
#include "support/FakeMainWindow.h"
#include "support/TestSupport.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/dialogs/ChannelEditor.h"
#include "ui/dialogs/ChannelPropertyWindow.h"
#include "ui/dialogs/OptionsWindow.h"
#include "ui/dialogs/RequirementsWindow.h"
#include "ui/dialogs/SearchWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zentuvo::test {
namespace {

TEST(Dialogs, EveryDialogStaysAboveTheFullVideoAndClosesOnEscape) {
    TestApp t;
    for (bool fullVideo : {true, false}) {
        FakeMain main;
        main.fullVideo = fullVideo;
        std::vector<std::pair<const char*, std::unique_ptr<QDialog>>> dialogs;
        dialogs.emplace_back("editor", std::make_unique<ChannelEditor>(
                                           *t.app, main, std::make_unique<FakePlayer>()));
        dialogs.emplace_back("about", std::make_unique<AboutWindow>(*t.app, main));
        dialogs.emplace_back("properties", std::make_unique<ChannelPropertyWindow>(*t.app, main));
        dialogs.emplace_back("options", std::make_unique<OptionsWindow>(*t.app, main));
        dialogs.emplace_back("requirements", std::make_unique<RequirementsWindow>(*t.app, main));
        dialogs.emplace_back("search", std::make_unique<SearchWindow>(*t.app, main));
        for (auto& [name, dialog] : dialogs) {
            SCOPED_TRACE(std::string(name) + (fullVideo ? " over full video" : ""));
            dialog->show();
            dialog->activateWindow();
            EXPECT_EQ(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint), fullVideo);
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
            EXPECT_FALSE(dialog->isVisible());
        }
    }
}

struct OptionsTest : ::testing::Test {
    TestApp t;
    FakeMain main;
    std::unique_ptr<OptionsWindow> window;
    void open() {
        window = std::make_unique<OptionsWindow>(*t.app, main);
        window->show();
    }
    template <class W> W* get(const char* name) {
        W* w = window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QComboBox* languages() { return get<QComboBox>("cboLanguage"); }
};

TEST_F(OptionsTest, OkStoresSizeAndLanguageAndTranslatesTheMainWindow) {
    t.app->VideoSizeMode = 2;
    open();
    get<QRadioButton>("optSizeOriginal")->click();
    languages()->setCurrentIndex(languages()->findText("Deutsch"));
    get<QPushButton>("cmdOK")->click();
    EXPECT_EQ(t.app->VideoSizeMode, 1);
    EXPECT_EQ(t.app->LanguageID, 3);
    EXPECT_EQ(main.languageCalls, 1);
    EXPECT_EQ(iniValue(*t.app, "DefaultVideoSize"), "1");
    EXPECT_EQ(iniValue(*t.app, "language"), "3");
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    // A window opened afterwards comes up in the new language.
    EXPECT_NE(OptionsWindow(*t.app, main).windowTitle(), "Options");
}

TEST_F(OptionsTest, UnknownLanguageGivesLanguageOneAndNoSizeGivesFitWindow) {
    t.app->LanguageID = 99;
    t.app->VideoSizeMode = 0;
    open();
    EXPECT_EQ(languages()->currentIndex(), -1);
    get<QPushButton>("cmdOK")->click();
    EXPECT_EQ(t.app->LanguageID, 1);
    EXPECT_EQ(main.languageCalls, 0);
    EXPECT_EQ(t.app->VideoSizeMode, 2);
    EXPECT_EQ(iniValue(*t.app, "language"), "1");
    EXPECT_EQ(iniValue(*t.app, "DefaultVideoSize"), "2");
}

TEST_F(OptionsTest, RememberBoxTakesEffectAtOnceEvenWhenClosedWithoutStoring) {
    t.app->RememberCountryFlag = 1;
    t.app->LanguageID = 1;
    open();
    get<QRadioButton>("optSizeOriginal")->click();
    languages()->setCurrentIndex(languages()->findText("Deutsch"));
    get<QCheckBox>("chkRememberCountry")->click();
    EXPECT_EQ(t.app->RememberCountryFlag, 0);
    get<QPushButton>("cmdClose")->click();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(t.app->LanguageID, 1);
    EXPECT_EQ(iniValue(*t.app, "language"), "1");
    EXPECT_EQ(iniValue(*t.app, "DefaultVideoSize"), "2");
}

struct PropertyTest : ::testing::Test {
    TestApp t;
    FakeMain main;
    std::unique_ptr<ChannelPropertyWindow> window;
    void open(const QString& code) {
        main.selectedKey = code.isEmpty() ? QString() : catalogueKey(*t.app, code);
        window = std::make_unique<ChannelPropertyWindow>(*t.app, main);
        window->show();
    }
    QString text(const char* name) { return window->findChild<QLineEdit*>(name)->text(); }
    QString description() {
        return window->findChild<QPlainTextEdit*>("txtDescription")->toPlainText();
    }
    void setStored(const QString& code, const QString& column, const QString& plain) {
        Connection c(t.folder.file("ch.dat"));
        auto q =
            c.prepare(QStringLiteral("UPDATE tab_channels SET %1 = ? WHERE code = ?").arg(column));
        q.bind(1, t.app->BlowfishCipher.encrypt(plain)).bind(2, code).run();
    }
};

TEST_F(PropertyTest, ShowsNameHomePageAndDecipheredDescription) {
    open("Alpha.it");
    EXPECT_TRUE(window->isModal());
    EXPECT_EQ(text("txtName"), "Alpha");
    EXPECT_EQ(text("txtHomePage"), "https://alpha.example/");
    EXPECT_EQ(description(), "Italian news, all day.");
    window->imgButtonVisitHomePageClick();
    EXPECT_EQ(t.desktop.opened, QStringList{"https://alpha.example/"});
    window->findChild<QPushButton*>("cmdOK")->click();
    EXPECT_FALSE(window->isVisible());
    open(""); // no selected row
    EXPECT_EQ(text("txtName"), "");
    EXPECT_EQ(description(), "");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PropertyTest, NoHomePageOrBlanksOnlyAreReportedWithTheName) {
    open("Beta.it");
    EXPECT_EQ(text("txtHomePage"), "");
    EXPECT_EQ(description(), "Music videos\nand concerts.");
    window->findChild<QToolButton*>("imgButtonVisitHomePage")->click();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, "No HomePage available for channel 'beta tv'");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Information);
    EXPECT_TRUE(t.desktop.opened.isEmpty());
    // An address typed into the field is what the button opens.
    window->findChild<QLineEdit*>("txtHomePage")->setText("https://typed.example/");
    window->imgButtonVisitHomePageClick();
    EXPECT_EQ(t.desktop.opened, QStringList{"https://typed.example/"});

    setStored("Epsilon.fr", "homePage", "   ");
    open("Epsilon.fr");
    EXPECT_EQ(text("txtHomePage"), "   ");
    window->imgButtonVisitHomePageClick();
    EXPECT_EQ(t.messages.shown.last().text, "No HomePage available for channel 'Epsilon'");
}

TEST_F(PropertyTest, HomePageCommandOpensThePageOrSaysThereIsNone) {
    VisitChannelHomePage(*t.app, catalogueKey(*t.app, "Zeta.de"));
    EXPECT_EQ(t.desktop.opened, QStringList{"https://zeta.example/"});
    VisitChannelHomePage(*t.app, catalogueKey(*t.app, "Beta.it"));
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, t.app->Translate("_frmMain_msgNoHomePage") + " 'beta tv'");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Information);
    setStored("Delta.fr", "homePage", "  ");
    VisitChannelHomePage(*t.app, catalogueKey(*t.app, "Delta.fr"));
    EXPECT_EQ(t.messages.shown.last().text,
              t.app->Translate("_frmMain_msgNoHomePage") + " 'Delta'");
    VisitChannelHomePage(*t.app, "424242 CH_ID"); // no such channel
    EXPECT_EQ(t.messages.shown.last().text, t.app->Translate("_frmMain_msgNoHomePage") + " ''");
    EXPECT_EQ(t.desktop.opened.size(), 1);
}

TEST(AboutWindowTest, ShowsThePlayerVersionAndOnlyTheConfiguredLinks) {
    TestApp t;
    FakeMain main;
    {
        AboutWindow about(*t.app, main);
        about.show();
        EXPECT_EQ(about.findChild<QLabel*>("lblVLC")->text(), "VLC ver: 3.0.21 Vetinari");
        EXPECT_FALSE(about.findChild<QLabel*>("lblInternet")->isVisible());
    }
    setLink(*t.app, "SupportMail", "help@example.org");
    setLink(*t.app, "HomePage", "https://zentuvo.example/");
    AboutWindow about(*t.app, main);
    about.show();
    EXPECT_TRUE(about.findChild<QLabel*>("lblEmail")->text().contains("help@example.org"));
    EXPECT_TRUE(about.findChild<QLabel*>("lblEmail")->isVisible());
    about.lblEmailClick();
    about.lblInternetClick();
    EXPECT_EQ(t.desktop.opened,
              (QStringList{"mailto:help@example.org", "https://zentuvo.example/"}));
}

TEST(RequirementsWindowTest, ModelessAndReused) {
    TestApp t;
    FakeMain main;
    RequirementsWindow* first = RequirementsWindow::open(*t.app, main);
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(RequirementsWindow::open(*t.app, main), first);
    QPointer<RequirementsWindow> gone = first;
    QTest::keyClick(first, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    RequirementsWindow* second = RequirementsWindow::open(*t.app, main);
    QPointer<RequirementsWindow> alsoGone = second;
    second->findChild<QPushButton*>("cmdClose")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alsoGone.isNull());
}

} // namespace
} // namespace zentuvo::test
