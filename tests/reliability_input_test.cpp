// Every text that reaches SQL, the desktop helpers, the player's options or a command line
// goes there as data: quotes, semicolons, "%", "&", newlines, very long texts and other
// scripts come back exactly as they went in, and change nothing else.
#include "common/Shell.h"
#include "data/CatalogueSearch.h"
#include "data/ChannelInfo.h"
#include "data/MyList.h"
#include "record/Recorder.h"
#include "support/TestSupport.h"

#include <QUrl>
#include <QUrlQuery>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

// 100,000 characters.
QString longText() {
    return QStringLiteral("x'\";%&\n Ω中").repeated(10'000);
}

// Texts that would change the meaning of SQL, a shell line, a URL or an option list if
// they were pasted into one.
QStringList hostileTexts() {
    return {
        QStringLiteral("O'Brien's \"TV\"; DROP TABLE tab_mylist; --"),
        QStringLiteral("' OR '1'='1"),
        QStringLiteral("100% & more ?a=b&c=d#frag %20 %s %n"),
        QStringLiteral("line1\nline2\r\nline3\ttab"),
        QStringLiteral("$(touch /tmp/zentuvo-pwned) `id` | rm -rf ~ ; echo > /dev/null"),
        QStringLiteral("--sout=file/ts:/tmp/elsewhere.ts :http-user-agent=x"),
        QStringLiteral("Первый канал"),
        QStringLiteral("中央电视台 综合频道"),
        QStringLiteral("قناة الجزيرة"),
        QStringLiteral("हिन्दी 😀 \u200f\u202e"),
        longText(),
    };
}

int tableCount(const QString& db) {
    return int(sqlNumber(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table'"));
}

// ---- SQL ---------------------------------------------------------------------------

TEST(InputAsData, MyListSavesAndUpdatesEveryTextExactly) {
    TestApp t;
    const auto ctx = t.app->data();
    const int tables = tableCount(t.folder.file("mylist.dat"));
    const auto texts = [](const MyListRecord& r) {
        return QStringList{r.name, r.codec, r.homePage, r.streamUrl, r.description, r.notes};
    };
    // A text with a zero character in it is stored whole too.
    const QStringList stored = hostileTexts() << QString::fromUtf8("before\0after", 12);
    for (const QString& text : stored) {
        MyListRecord r;
        r.name = r.codec = r.homePage = r.streamUrl = r.description = r.notes = text;
        ASSERT_TRUE(r.save(ctx)) << t.messages.texts().join(" | ").toStdString();
        MyListRecord back;
        back.channelID = r.channelID;
        ASSERT_TRUE(back.load(ctx));
        EXPECT_EQ(texts(back), texts(r));

        back.name = text + QStringLiteral("'; UPDATE tab_mylist SET name = 'all'; --");
        back.description = QStringLiteral("\"") + text;
        ASSERT_TRUE(back.update(ctx));
        MyListRecord again;
        again.channelID = r.channelID;
        ASSERT_TRUE(again.load(ctx));
        EXPECT_EQ(texts(again), texts(back));
    }
    EXPECT_TRUE(t.messages.shown.isEmpty());
    // No statement ran but the ones meant: the same tables, one row per save, no row
    // renamed "all".
    EXPECT_EQ(tableCount(t.folder.file("mylist.dat")), tables);
    EXPECT_EQ(myListRows(*t.app), stored.size());
    EXPECT_EQ(sqlNumber(t.folder.file("mylist.dat"),
                        "SELECT count(*) FROM tab_mylist WHERE name = 'all'"),
              0);
}

QList<FixtureChannel> hostileCatalogue() {
    return {
        {"Quote.it", "O'Neil \"TV\"; DROP TABLE tab_channels; --", "Italy", "News",
         "https://q.example/?a=1&b='2'", "100% news & more\nsecond line",
         "http://127.0.0.1:9/q.ts?x=1&y=%20", "Agent; rm -rf / & \"x\"", "https://r.example/#a"},
        {"Cyr.ru", "Первый канал", "Россия", "Новости", "", "Новости круглосуточно",
         "http://127.0.0.1:9/cyr.ts", "", ""},
        {"Han.cn", "中央电视台", "中国", "新闻", "", "综合频道", "http://127.0.0.1:9/han.ts", "",
         ""},
        {"Plain.fr", "Plain", "France", "News", "", "Nothing odd.", "http://127.0.0.1:9/p.ts", "",
         ""},
    };
}

TEST(InputAsData, CatalogueValuesComeBackExactly) {
    TestApp t(hostileCatalogue());
    const auto ctx = t.app->data();
    const auto channels = hostileCatalogue();
    for (const FixtureChannel& want : channels) {
        const int id = catalogueId(*t.app, want.code);
        ASSERT_GT(id, 0) << want.code.toStdString();
        const auto info = channelInfo(ctx, id);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ((QStringList{info->name, info->country, info->url, info->homePage,
                               info->description, info->userAgent, info->referrer}),
                  (QStringList{want.name, want.country, want.streamUrl, want.homepage,
                               want.description, want.userAgent, want.referrer}));
    }
    EXPECT_TRUE(t.messages.shown.isEmpty()) << t.messages.texts().join(" | ").toStdString();
}

TEST(InputAsData, SearchTakesWildcardsAndQuotesLiterally) {
    TestApp t(hostileCatalogue());
    const QString db = t.folder.file("ch.dat");
    auto names = [&](const QString& text) {
        const SearchOutcome out = searchCatalogue(db, text, nullptr, 1);
        EXPECT_EQ(out.error, "");
        QStringList found;
        for (const auto& hit : out.hits)
            found << hit.name;
        return found;
    };
    EXPECT_EQ(names("%"), QStringList{"O'Neil \"TV\"; DROP TABLE tab_channels; --"});
    EXPECT_EQ(names("_"), QStringList{"O'Neil \"TV\"; DROP TABLE tab_channels; --"});
    EXPECT_EQ(names("%%"), QStringList{});
    EXPECT_EQ(names("' OR '1'='1"), QStringList{});
    EXPECT_EQ(names("'neil \"tv\";"), QStringList{"O'Neil \"TV\"; DROP TABLE tab_channels; --"});
    EXPECT_EQ(names("первый"), QStringList{"Первый канал"});
    EXPECT_EQ(names("电视"), QStringList{"中央电视台"});
    EXPECT_EQ(names(longText()), QStringList{});
}

// ---- Desktop helpers ------------------------------------------------------------------

TEST(InputAsData, MailPartsSurviveAsTheyWereTyped) {
    for (const QString& text : hostileTexts()) {
        const QString mail = mailToAddress("help@example.org", text, text + "\nbody");
        const QUrl url(mail, QUrl::StrictMode);
        ASSERT_TRUE(url.isValid()) << mail.left(200).toStdString();
        EXPECT_EQ(url.path(), "help@example.org");
        const QUrlQuery query(url);
        EXPECT_EQ(query.queryItems().size(), 2) << mail.left(200).toStdString();
        EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), text);
        EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded), text + "\nbody");
        EXPECT_FALSE(mail.contains(u'\n'));
    }
}

TEST(InputAsData, AConfiguredAddressCannotAddRecipientsOrCutTheMail) {
    const QString mail =
        mailToAddress("help@example.org?bcc=spy@example.net&subject=x#", "Hello", "Body");
    const QUrlQuery query{QUrl(mail)};
    EXPECT_EQ(query.queryItems().size(), 2) << mail.toStdString();
    EXPECT_FALSE(query.hasQueryItem("bcc"));
    EXPECT_EQ(query.queryItemValue("subject"), "Hello");
    EXPECT_EQ(QUrl(mail).path(QUrl::FullyDecoded),
              "help@example.org?bcc=spy@example.net&subject=x#");
    // Ordinary addresses and lists stay readable.
    EXPECT_EQ(mailToAddress("a.b+c@example.org,d@example.org", "", ""),
              "mailto:a.b+c@example.org,d@example.org");
}

// ---- Player options and command lines ---------------------------------------------------

TEST(InputAsData, AnAddressThatLooksLikeAnOptionIsNotTakenForOne) {
    const QStringList args = RecorderCommand::arguments("--sout=file/ts:/tmp/elsewhere.ts",
                                                        "/tmp/out.ts", {":http-user-agent=x"});
    EXPECT_TRUE(args.contains("./--sout=file/ts:/tmp/elsewhere.ts"));
    for (const QString& arg : args)
        EXPECT_FALSE(arg.startsWith("--sout=")) << arg.toStdString();
    // Ordinary addresses are untouched.
    EXPECT_TRUE(RecorderCommand::arguments("http://h/-x", "/tmp/o.ts", {}).contains("http://h/-x"));
}

// The arguments go to the program as a list (no shell in between).
TEST(InputAsData, TheRecordingPlayerReceivesEveryTextAsOneArgumentIntact) {
    for (const QString& text : hostileTexts()) {
        ChannelInfo channel;
        channel.userAgent = "UA " + text;
        channel.referrer = "https://r.example/" + text;
        const QStringList options = RecorderCommand::itemOptions(channel, {});
        EXPECT_EQ(options, (QStringList{":http-user-agent=" + channel.userAgent,
                                        ":http-referrer=" + channel.referrer}));
        const QStringList args = RecorderCommand::arguments(
            "http://127.0.0.1:9/" + text, "/tmp/a b/" + text.left(50) + ".ts", options);
        EXPECT_EQ(args.count("--sout"), 1);
        EXPECT_TRUE(args.contains("http://127.0.0.1:9/" + text));
        for (const QString& option : options)
            EXPECT_TRUE(args.contains(option));
    }
}

} // namespace
