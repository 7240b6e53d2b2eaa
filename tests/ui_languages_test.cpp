// Every window in every language: no visible text stays as its English one, apart from
// names, numbers and words that are the same in the language.
#include "app/RecordingScheduler.h"
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
#include "ui/dialogs/SplashWindow.h"
#include "ui/guide/GuideWindow.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/MainWindow.h"
#include "ui/record/RecordWindow.h"
#include "ui/record/ScheduleWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QMap>
#include <QRegularExpression>

namespace zentuvo::test {
namespace {

// Texts every language keeps: names, format and brand names.
const QStringList kSameEverywhere{"OK", "Zentuvo", "URL", "Email", "Kbps", "Codec", "M3U", "Alpha"};
// Words that are the same in a language (2 Italian, 3 German, 4 French, 5 Spanish).
const QMap<QString, QList<int>> kSameWord{
    {"File", {2}},       {"Volume", {2, 4}},  {"Genre", {3, 4}},    {"Description", {4}},
    {"Options", {4}},    {"Options...", {4}}, {"Referrer", {2, 3}}, {"User agent", {2}},
    {"Version", {3, 4}}, {"Build", {3}},      {"Pause", {3, 4}},
};

using Texts = QMap<QString, QString>; // where -> text

// The visible texts of a window and of its widgets, menus and actions, by where they are.
Texts visibleTexts(QWidget* window) {
    Texts texts;
    auto add = [&](const QString& where, const QString& text) {
        if (!text.trimmed().isEmpty())
            texts.insert(where, text);
    };
    add("title", window->windowTitle());
    int n = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString at =
            QStringLiteral("%1:%2#%3").arg(w->metaObject()->className(), w->objectName()).arg(n++);
        add(at + " tip", w->toolTip());
        if (auto* l = qobject_cast<QLabel*>(w))
            add(at, l->text());
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            add(at, b->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            add(at, g->title());
        else if (auto* m = qobject_cast<QMenu*>(w))
            add(at, m->title());
        else if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i)
                add(at + QString::number(i), t->tabText(i));
        else if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) {
                // Countries and languages are data, named in their own words.
                const bool data =
                    (w->objectName().contains("Country") || w->objectName().contains("Language")) &&
                    c->itemData(i).toInt() > 0;
                if (!data)
                    add(at + QString::number(i), c->itemText(i));
            }
        else if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model())
            for (int i = 0; i < v->model()->columnCount(); ++i)
                add(at + QString::number(i), v->model()->headerData(i, Qt::Horizontal).toString());
    }
    n = 0;
    for (QAction* a : window->findChildren<QAction*>())
        if (!a->isSeparator())
            add(QStringLiteral("action:%1#%2").arg(a->objectName()).arg(n++), a->text());
    return texts;
}

// Allowed unchanged: no words (after markup and numbers), a name, a word the language shares.
bool allowed(QString text, int language) {
    static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
    static const QRegularExpression number(QStringLiteral("[0-9][0-9.-]*"));
    static const QRegularExpression noWords(QStringLiteral("^[^A-Za-z]*$"));
    text = text.remove(markup).remove(number).trimmed();
    return noWords.match(text).hasMatch() || kSameEverywhere.contains(text) ||
           kSameWord.value(text).contains(language);
}

using Open = std::function<std::unique_ptr<QWidget>(AppContext&, FakeMain&)>;

template <typename T, typename... Args> Open opens(Args... args) {
    return [=](AppContext& app, FakeMain& main) -> std::unique_ptr<QWidget> {
        return std::make_unique<T>(app, main, args...);
    };
}

TEST(Languages, EveryWindowShowsItsTextsInTheChosenLanguage) {
    TestApp t;
    const ChannelRef alpha = catalogueRef(*t.app, "Alpha.it");
    RecordingScheduler scheduler(*t.app, [](QObject*) -> ScheduledRunner* { return nullptr; });
    const QList<std::pair<const char*, Open>> windows{
        {"main",
         [](AppContext& app, FakeMain&) -> std::unique_ptr<QWidget> {
             return std::make_unique<MainWindow>(app);
         }},
        {"search", opens<SearchWindow>()},
        {"guide", opens<GuideWindow>()},
        {"editor",
         [](AppContext& app, FakeMain& main) -> std::unique_ptr<QWidget> {
             return std::make_unique<ChannelEditor>(app, main, std::make_unique<FakePlayer>());
         }},
        {"property", opens<ChannelPropertyWindow>(alpha)},
        {"options", opens<OptionsWindow>()},
        {"about", opens<AboutWindow>(QString("3.0.21 Vetinari"))},
        {"requirements", opens<RequirementsWindow>()},
        {"recorder", opens<RecordWindow>(alpha)},
        {"schedule",
         [&scheduler](AppContext& app, FakeMain& main) -> std::unique_ptr<QWidget> {
             return std::make_unique<ScheduleWindow>(app, main, scheduler);
         }},
        {"import", opens<ImportPlaylistWindow>()},
        {"export", opens<ExportPlaylistWindow>()},
        {"splash",
         [](AppContext& app, FakeMain&) -> std::unique_ptr<QWidget> {
             auto splash = std::make_unique<SplashWindow>();
             splash->setCaptions(app);
             return splash;
         }},
    };
    auto textsIn = [&](int language, const Open& open) {
        t.app->preferences().setLanguage(language);
        FakeMain main;
        std::unique_ptr<QWidget> window = open(*t.app, main);
        window->show();
        if (auto* w = dynamic_cast<MainWindow*>(window.get())) {
            EXPECT_TRUE(waitUntil(
                [w] { return !w->channels().filling() && w->channels().model()->rowCount() > 0; }));
        }
        Texts texts = visibleTexts(window.get());
        window->hide();
        return texts;
    };
    for (const auto& [name, open] : windows) {
        const Texts english = textsIn(1, open);
        EXPECT_GT(english.size(), 2) << name;
        for (int language = 2; language <= 5; ++language) {
            const Texts texts = textsIn(language, open);
            for (auto it = english.cbegin(); it != english.cend(); ++it)
                EXPECT_TRUE(texts.value(it.key()) != it.value() || allowed(it.value(), language))
                    << name << " in language " << language << ": " << it.key().toStdString()
                    << " stays \"" << it.value().toStdString() << '"';
        }
    }
    t.app->preferences().setLanguage(1);
}

TEST(Languages, GenresShowInTheChosenLanguageOrAsStored) {
    TestApp t({{"Alpha.it", "Alpha", "Italy", "News", "", "", "http://127.0.0.1:9/a.ts", "", ""},
               {"Beta.it", "Beta", "Italy", "Polka", "", "", "http://127.0.0.1:9/b.ts", "", ""}});
    for (const auto& [language, news] : {std::pair{1, "News"}, {3, "Nachrichten"}}) {
        t.app->preferences().setLanguage(language);
        MainWindow window(*t.app);
        window.show();
        ASSERT_TRUE(waitUntil([&] {
            return !window.channels().filling() && window.channels().model()->rowCount() == 2;
        }));
        QStringList genres;
        for (int r = 0; r < window.channels().model()->rowCount(); ++r)
            genres << window.channels().model()->row(r).cells[2];
        genres.sort();
        EXPECT_EQ(genres, QStringList({news, "Polka"}));
    }
}

} // namespace
} // namespace zentuvo::test
