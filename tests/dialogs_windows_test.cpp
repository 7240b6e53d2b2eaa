// The options, channel property, about and requirements windows, the home page command,
// and what every dialog shares.
#include "app/ChannelHomePage.h"
#include "data/Database.h"
#include "data/StoredValue.h"
#include "support/FakeMainWindow.h"
#include "support/FakePlayer.h"
#include "support/TestWidgets.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/dialogs/ChannelEditor.h"
#include "ui/dialogs/ChannelPropertyWindow.h"
#include "ui/dialogs/ExportPlaylistWindow.h"
#include "ui/dialogs/ImportPlaylistWindow.h"
#include "ui/dialogs/OptionsWindow.h"
#include "ui/dialogs/RequirementsWindow.h"
#include "ui/dialogs/SearchWindow.h"

namespace zentuvo::test {
namespace {

struct Dialogs : ::testing::Test {
    TestApp t;
    FakeMain main;
};

TEST_F(Dialogs, EveryDialogStaysAboveTheFullVideoAndClosesOnEscape) {
    for (bool fullVideo : {true, false}) {
        main.fullVideo = fullVideo;
        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.push_back(
            std::make_unique<ChannelEditor>(*t.app, main, std::make_unique<FakePlayer>()));
        dialogs.push_back(std::make_unique<AboutWindow>(*t.app, main, "3.0.21 Vetinari"));
        dialogs.push_back(std::make_unique<ChannelPropertyWindow>(*t.app, main, ChannelRef()));
        dialogs.push_back(std::make_unique<OptionsWindow>(*t.app, main));
        dialogs.push_back(std::make_unique<RequirementsWindow>(*t.app, main));
        dialogs.push_back(std::make_unique<SearchWindow>(*t.app, main));
        dialogs.push_back(std::make_unique<ImportPlaylistWindow>(*t.app, main));
        dialogs.push_back(std::make_unique<ExportPlaylistWindow>(*t.app, main));
        for (auto& dialog : dialogs) {
            SCOPED_TRACE(dialog->metaObject()->className() +
                         std::string(fullVideo ? " over full video" : ""));
            dialog->show();
            dialog->activateWindow();
            EXPECT_EQ(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint), fullVideo);
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
            EXPECT_FALSE(dialog->isVisible());
        }
    }
}

TEST_F(Dialogs, OptionsOkStoresSizeAndLanguageCloseOnlyTheRememberBox) {
    for (const char* button : {"cmdClose", "cmdOK"}) {
        SCOPED_TRACE(button);
        OptionsWindow window(*t.app, main);
        window.show();
        window.findChild<QRadioButton*>("optSizeOriginal")->click();
        auto* languages = window.findChild<QComboBox*>("cboLanguage");
        languages->setCurrentIndex(languages->findText("Deutsch"));
        window.findChild<QCheckBox*>("chkRememberCountry")->click();
        EXPECT_EQ(t.app->preferences().rememberCountry(), 0); // at once
        t.app->preferences().setRememberCountry(1);
        window.findChild<QPushButton*>(button)->click();
    }
    EXPECT_EQ(main.languageCalls, 1);
    EXPECT_EQ(iniValue(*t.app, "DefaultVideoSize"), "1");
    EXPECT_EQ(iniValue(*t.app, "language"), "3");
    // A window opened afterwards comes up in the new language.
    EXPECT_NE(OptionsWindow(*t.app, main).windowTitle(), "Options");
    // An unknown language gives language one, no size mode gives fit window.
    t.app->preferences().setLanguage(99);
    t.app->preferences().setVideoSizeMode(0);
    OptionsWindow window(*t.app, main);
    EXPECT_EQ(window.findChild<QComboBox*>("cboLanguage")->currentIndex(), -1);
    window.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_EQ(t.app->preferences().language(), 1);
    EXPECT_EQ(iniValue(*t.app, "DefaultVideoSize"), "2");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(Dialogs, HomePageFromThePropertyWindowOrTheCommandOrSaysThereIsNone) {
    const auto noHomePage = [&](const QString& name) {
        return t.app->translate("_frmMain_msgNoHomePage") + " '" + name + "'";
    };
    ChannelPropertyWindow window(*t.app, main, catalogueRef(*t.app, "Beta.it"));
    window.show();
    auto* name = window.findChild<QLineEdit*>("txtName");
    EXPECT_EQ(name->text(), "beta tv");
    // The name is shown, not edited: typing leaves it as it is.
    EXPECT_TRUE(name->isReadOnly());
    name->setFocus();
    QTest::keyClicks(name, "x");
    EXPECT_EQ(name->text(), "beta tv");
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("txtDescription")->toPlainText(),
              "Music videos\nand concerts.");
    window.findChild<QToolButton*>("imgButtonVisitHomePage")->click();
    EXPECT_EQ(t.messages.texts(), QStringList{"No HomePage available for channel 'beta tv'"});
    // An address typed into the field is what the button opens.
    window.findChild<QLineEdit*>("txtHomePage")->setText("https://typed.example/");
    window.onVisitHomePageClicked();
    EXPECT_EQ(t.desktop.opened, QStringList{"https://typed.example/"});

    visitChannelHomePage(*t.app, catalogueRef(*t.app, "Zeta.de"));
    EXPECT_EQ(t.desktop.opened.last(), "https://zeta.example/");
    {
        Connection c(t.folder.file("ch.dat"));
        c.prepare("UPDATE tab_channels SET homePage = ? WHERE code = 'Delta.fr'")
            .bind(1, t.app->cipher().encrypt("  "))
            .run();
    }
    for (const auto& [channel, name] : {std::pair{catalogueRef(*t.app, "Delta.fr"), "Delta"},
                                        {ChannelRef::catalogue(424242), ""}}) { // no such channel
        t.messages.clear();
        visitChannelHomePage(*t.app, channel);
        EXPECT_EQ(t.messages.texts(), QStringList{noHomePage(name)});
    }
    EXPECT_EQ(t.desktop.opened.size(), 2);
}

TEST_F(Dialogs, AboutShowsOnlyTheConfiguredLinksRequirementsIsOneModelessWindow) {
    {
        AboutWindow about(*t.app, main, "3.0.21 Vetinari");
        about.show();
        EXPECT_FALSE(about.findChild<QLabel*>("lblInternet")->isVisible());
    }
    setLink(*t.app, "SupportMail", "help@example.org");
    setLink(*t.app, "HomePage", "https://zentuvo.example/");
    AboutWindow about(*t.app, main, "3.0.21 Vetinari");
    about.show();
    EXPECT_TRUE(about.findChild<QLabel*>("lblEmail")->isVisible());
    about.onEmailClicked();
    about.onInternetClicked();
    EXPECT_EQ(t.desktop.opened,
              (QStringList{"mailto:help@example.org", "https://zentuvo.example/"}));
    // Its Close button, in the user's language, closes it.
    auto* close = about.findChild<QPushButton*>("cmdClose");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "Close");
    EXPECT_TRUE(close->isVisible());
    close->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Rejected);
    t.app->preferences().setLanguage(2);
    AboutWindow italian(*t.app, main, "3.0.21 Vetinari");
    EXPECT_EQ(italian.findChild<QPushButton*>("cmdClose")->text(), "Chiudi");

    RequirementsWindow* first = RequirementsWindow::open(*t.app, main);
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(RequirementsWindow::open(*t.app, main), first);
    QPointer<RequirementsWindow> gone = first;
    QTest::keyClick(first, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

} // namespace
} // namespace zentuvo::test
