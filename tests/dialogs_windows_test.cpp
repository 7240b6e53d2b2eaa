// The options, channel property, about, splash and requirements windows, and the home
// page command.
#include "app/Settings.h"
#include "common/ChannelHomePage.h"
#include "data/ChannelKey.h"
#include "data/StoredValue.h"
#include "dialogs_support.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/dialogs/ChannelPropertyWindow.h"
#include "ui/dialogs/OptionsWindow.h"
#include "ui/dialogs/RequirementsWindow.h"
#include "ui/dialogs/SplashWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

namespace zentuvo::test {
namespace {

QString rememberCountryRow(const AppState& app) {
    Connection c(app.ChannelConnectionString);
    auto q = c.prepare("SELECT options FROM tab_options WHERE code = 'RememberCountry'");
    return q.next() ? q.text(0) : QStringLiteral("<none>");
}

// --- options -------------------------------------------------------------------------

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

TEST_F(OptionsTest, OpensWithTheCurrentSettings) {
    t.app->RememberCountryFlag = 1;
    t.app->VideoSizeMode = 1;
    t.app->LanguageID = 2;
    open();
    EXPECT_TRUE(window->isModal());
    EXPECT_EQ(window->windowTitle(), t.app->Translate("_frmOptions_caption"));
    EXPECT_EQ(get<QPushButton>("cmdOK")->text(), t.app->Translate("_frmOptions_cmdOK"));
    EXPECT_EQ(get<QLabel>("lblRememberDefaultSize")->text(),
              t.app->Translate("_frmOptions_lblRememberDefaultSize"));
    EXPECT_TRUE(get<QCheckBox>("chkRememberCountry")->isChecked());
    EXPECT_TRUE(get<QRadioButton>("optSizeOriginal")->isChecked());
    EXPECT_FALSE(get<QRadioButton>("optSizeFitWindow")->isChecked());
    EXPECT_EQ(languages()->currentText(), "Italiano");
    QStringList names;
    for (int i = 0; i < languages()->count(); ++i)
        names << languages()->itemText(i);
    EXPECT_EQ(names, (QStringList{"Deutsch", "English", "Español", "Français", "Italiano"}));
}

TEST_F(OptionsTest, NoSizeModeLeavesBothSizesUnselected) {
    t.app->VideoSizeMode = 0;
    t.app->RememberCountryFlag = 0;
    open();
    EXPECT_FALSE(get<QRadioButton>("optSizeOriginal")->isChecked());
    EXPECT_FALSE(get<QRadioButton>("optSizeFitWindow")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("chkRememberCountry")->isChecked());
}

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
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    // A window opened afterwards comes up in the new language.
    OptionsWindow again(*t.app, main);
    EXPECT_EQ(again.windowTitle(), t.app->Translate("_frmOptions_caption"));
    EXPECT_NE(again.windowTitle(), "Options");
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
    // At shutdown the flag goes to the options row.
    SetRememberCountry(*t.app);
    EXPECT_EQ(rememberCountryRow(*t.app), "0");
    EXPECT_EQ(ReadRememberCountry(*t.app), 0);
}

TEST_F(OptionsTest, EscapeClosesWithoutStoring) {
    open();
    languages()->setCurrentIndex(languages()->findText("Deutsch"));
    QTest::keyClick(languages(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(t.app->LanguageID, 1);
    EXPECT_EQ(main.languageCalls, 0);
}

// --- channel properties and the home page command ------------------------------------

struct PropertyTest : ::testing::Test {
    TestApp t;
    FakeMain main;
    std::unique_ptr<ChannelPropertyWindow> window;
    void open(const QString& code) {
        main.selectedKey =
            code.isEmpty() ? QString() : ChannelKey::catalogue(catalogueId(*t.app, code));
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
    EXPECT_EQ(window->windowTitle(), t.app->Translate("_frmChProperty_caption"));
    EXPECT_EQ(window->findChild<QToolButton*>("imgButtonVisitHomePage")->toolTip(),
              t.app->Translate("_frmChProperty_imgButtonVisitHomePage"));
    EXPECT_EQ(text("txtName"), "Alpha");
    EXPECT_EQ(text("txtHomePage"), "https://alpha.example/");
    EXPECT_EQ(description(), "Italian news, all day.");
    window->imgButtonVisitHomePageClick();
    EXPECT_EQ(t.desktop.opened, QStringList{"https://alpha.example/"});
}

TEST_F(PropertyTest, NoHomePageIsReportedWithTheName) {
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
}

TEST_F(PropertyTest, BlanksOnlyCountAsNoHomePage) {
    setStored("Epsilon.fr", "homePage", "   ");
    open("Epsilon.fr");
    EXPECT_EQ(text("txtHomePage"), "   ");
    window->imgButtonVisitHomePageClick();
    EXPECT_EQ(t.messages.shown.last().text, "No HomePage available for channel 'Epsilon'");
}

TEST_F(PropertyTest, NoSelectedRowLeavesTheFieldsEmpty) {
    open("");
    EXPECT_EQ(text("txtName"), "");
    EXPECT_EQ(description(), "");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PropertyTest, EscapeAndOkClose) {
    open("Alpha.it");
    QTest::keyClick(window->findChild<QLineEdit*>("txtName"), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    open("Alpha.it");
    window->findChild<QPushButton*>("cmdOK")->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PropertyTest, HomePageCommandOpensThePageOrSaysThereIsNone) {
    VisitChannelHomePage(*t.app, ChannelKey::catalogue(catalogueId(*t.app, "Zeta.de")));
    EXPECT_EQ(t.desktop.opened, QStringList{"https://zeta.example/"});
    VisitChannelHomePage(*t.app, ChannelKey::catalogue(catalogueId(*t.app, "Beta.it")));
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, t.app->Translate("_frmMain_msgNoHomePage") + " 'beta tv'");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Information);
    setStored("Delta.fr", "homePage", "  ");
    VisitChannelHomePage(*t.app, ChannelKey::catalogue(catalogueId(*t.app, "Delta.fr")));
    EXPECT_EQ(t.messages.shown.last().text,
              t.app->Translate("_frmMain_msgNoHomePage") + " 'Delta'");
    VisitChannelHomePage(*t.app, "424242 CH_ID"); // no such channel
    EXPECT_EQ(t.messages.shown.last().text, t.app->Translate("_frmMain_msgNoHomePage") + " ''");
    EXPECT_EQ(t.desktop.opened.size(), 1);
}

// --- about, splash, requirements -----------------------------------------------------

TEST(AboutWindowTest, ShowsVersionBuildAndPlayerVersion) {
    TestApp t;
    FakeMain main;
    AboutWindow about(*t.app, main);
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.windowTitle(), t.app->Translate("_frmAbout_caption"));
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version 6.1");
    EXPECT_EQ(about.findChild<QLabel*>("lblBuild")->text(), "Build 14-264");
    EXPECT_EQ(about.findChild<QLabel*>("lblVLC")->text(), "VLC ver: 3.0.21 Vetinari");
}

TEST(AboutWindowTest, LinksOpenTheConfiguredAddresses) {
    TestApp t;
    FakeMain main;
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

TEST(AboutWindowTest, UnconfiguredLinksAreNotShown) {
    TestApp t;
    FakeMain main;
    AboutWindow about(*t.app, main);
    about.show();
    EXPECT_FALSE(about.findChild<QLabel*>("lblEmail")->isVisible());
    EXPECT_FALSE(about.findChild<QLabel*>("lblInternet")->isVisible());
}

TEST(AboutWindowTest, PictureClickAndEscapeClose) {
    TestApp t;
    FakeMain main;
    {
        AboutWindow about(*t.app, main);
        about.show();
        QTest::mouseClick(about.findChild<QWidget*>("pic"), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
    }
    {
        AboutWindow about(*t.app, main);
        about.show();
        QTest::mouseClick(about.findChild<QLabel*>("picWelcome"), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
    }
    AboutWindow about(*t.app, main);
    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindowTest, OpensAboveTheFullVideo) {
    TestApp t;
    FakeMain main;
    main.fullVideo = true;
    AboutWindow about(*t.app, main);
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(SplashWindowTest, FramelessCentredWithVersionAndBuild) {
    SplashWindow splash;
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.findChild<QLabel*>("lblVersion")->text(), "Version 6.1");
    EXPECT_EQ(splash.findChild<QLabel*>("lblBuild")->text(), "Build 14-264");
    splash.showCentred();
    EXPECT_TRUE(splash.isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((splash.frameGeometry().center() - screen.center()).manhattanLength(), 2);
    splash.close();
}

TEST(RequirementsWindowTest, TranslatedTextAndModelessReuse) {
    TestApp t;
    FakeMain main;
    main.fullVideo = true;
    RequirementsWindow* first = RequirementsWindow::open(*t.app, main);
    EXPECT_FALSE(first->isModal());
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(first->windowTitle(), t.app->Translate("_frmRequire_caption"));
    EXPECT_EQ(first->findChild<QLabel*>("lblRequirements")->text(),
              t.app->Translate("_frmRequire_msg_1"));
    EXPECT_EQ(first->findChild<QPushButton*>("cmdClose")->text(),
              t.app->Translate("_frmRequire_cmdClose"));
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
