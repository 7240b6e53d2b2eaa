#include "support/TestSupport.h"

#include "app/IniFile.h"
#include "app/Settings.h"
#include "data/Catalogue.h"
#include "data/ChannelRef.h"
#include "data/Csv.h"
#include "data/Database.h"
#include "data/MyList.h"
#include "data/Schema.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <stdexcept>
#include <zlib.h>

namespace zentuvo::test {

MsgAnswer FakeMessages::show(const MessageRequest& request) {
    shown << request;
    if (!answers.empty()) {
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return request.defaultAnswer;
}

QStringList FakeMessages::texts() const {
    QStringList out;
    for (const auto& r : shown)
        out << r.text;
    return out;
}

QList<FixtureChannel> defaultChannels() {
    return {
        {"Alpha.it", "Alpha", "Italy", "News", "https://alpha.example/", "Italian news, all day.",
         "http://127.0.0.1:9/alpha.ts", "", ""},
        {"Beta.it", "beta tv", "Italy", "Music", "", "Music videos\nand concerts.",
         "http://127.0.0.1:9/beta.ts", "", ""},
        {"Gamma.it", "Gamma", "Italy", "News", "", "No address.", "", "", ""},
        {"Delta.fr", "Delta", "France", "Sports", "https://delta.example/", "Sport en direct.",
         "http://127.0.0.1:9/delta.ts", "DeltaAgent/1.0", "https://delta.example/"},
        {"Epsilon.fr", "Epsilon", "France", "News", "", "Nouvelles.",
         "http://127.0.0.1:9/epsilon.ts", "", ""},
        {"Zeta.de", "Zeta", "Germany", "Music", "https://zeta.example/", "Musik, rund um die Uhr.",
         "http://127.0.0.1:9/zeta.ts", "", ""},
        {"Eta.at", "Eta", "Austria", "News", "", "Kein Strom.", "", "", ""},
    };
}

namespace {

// The channels as the catalogue's source table.
QString channelsCsv(const QList<FixtureChannel>& channels) {
    QString csv = csvLine({"id", "name", "country", "genre", "homepage", "description",
                           "stream_url", "user_agent", "referrer"});
    for (const auto& c : channels)
        csv += csvLine({c.code, c.name, c.country, c.genre, c.homepage, c.description, c.streamUrl,
                        c.userAgent, c.referrer});
    return csv;
}

// A built program folder for these channels (data folder, catalogue, empty My List and
// settings file), made once per test program in a folder that lives as long as the process.
QString builtFixture(const QList<FixtureChannel>& channels) {
    static QTemporaryDir cache;
    static QHash<QString, QString> folders; // the channels' table -> its folder
    const QString key = channelsCsv(channels);
    if (const auto found = folders.constFind(key); found != folders.cend())
        return *found;
    if (!cache.isValid())
        throw std::runtime_error("no temporary folder for the fixture catalogues");
    const QString folder = cache.filePath(QString::number(folders.size()));
    QDir().mkpath(folder);
    FixtureFolder::writeData(folder + "/data", channels);
    const auto r = buildCatalogue(folder + "/data", folder + "/ch.dat");
    if (!r.ok)
        throw std::runtime_error(r.error.toStdString());
    QString error;
    if (!createMyListDatabase(folder + "/mylist.dat", &error))
        throw std::runtime_error(error.toStdString());
    if (!writeDefaultSettingsFile(folder + "/" + kIniName))
        throw std::runtime_error("the fixture settings file cannot be written");
    folders.insert(key, folder);
    return folder;
}

// Copies a folder's files into another, each copy writable by its owner.
void copyFolder(const QString& from, const QString& to, const QString& leaveOut) {
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = source.relativeFilePath(file);
        if (relative == leaveOut)
            continue;
        const QString target = to + "/" + relative;
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::copy(file, target))
            throw std::runtime_error("cannot copy the fixture file " + relative.toStdString());
        QFile(target).setPermissions(QFile(target).permissions() | QFile::WriteOwner);
    }
}

} // namespace

void FixtureFolder::writeData(const QString& dataDir, const QList<FixtureChannel>& channels) {
    QDir(dataDir).mkpath(QStringLiteral("catalogue"));
    QDir(dataDir).mkpath(QStringLiteral("terms"));
    QStringList countries, genres;
    for (const auto& c : channels) {
        countries << c.country;
        genres << c.genre;
    }
    countries.removeDuplicates();
    genres.removeDuplicates();
    writeFile(dataDir + "/catalogue/channels.csv", channelsCsv(channels).toUtf8());
    // Codes as playlists give them (tvg-country), for the countries the fixtures use.
    const QHash<QString, QString> codes{
        {"Italy", "IT"}, {"France", "FR"}, {"Germany", "DE"}, {"Austria", "AT"}};
    QString countryCsv = csvLine({"code", "name"});
    for (const auto& c : countries)
        countryCsv += csvLine({codes.value(c), c});
    writeFile(dataDir + "/catalogue/countries.csv", countryCsv.toUtf8());
    QString genreCsv = csvLine({"name"});
    for (const auto& g : genres)
        genreCsv += csvLine({g});
    writeFile(dataDir + "/catalogue/genres.csv", genreCsv.toUtf8());
    for (const char* name : {"languages.csv", "terms.csv"}) {
        const QString to = dataDir + "/terms/" + name;
        QFile::remove(to);
        QFile::copy(projectDataDir() + "/terms/" + name, to);
    }
}

FixtureFolder::FixtureFolder(const QList<FixtureChannel>& channels, bool withIni) {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder for a fixture");
    copyFolder(builtFixture(channels), dir_.path(), withIni ? QString() : kIniName);
}

TestApp::TestApp(const QList<FixtureChannel>& channels) : folder(channels) {
    app = std::make_unique<AppContext>(messages, desktop);
    if (!readSettings(*app, folder.path()))
        throw std::runtime_error("fixture settings do not read");
    app->preferences().setPlayerUserAgentOption(buildPlayerUserAgentOption());
    app->preferences().setRecordFolder(chooseRecordFolder(folder.path()));
}

void execSql(const QString& dbFile, const QString& sql) {
    Connection db(dbFile);
    db.exec(sql);
}

namespace {

Statement query(Connection& db, const QString& sql, const QString& arg) {
    auto q = db.prepare(sql);
    if (sql.contains(u'?'))
        q.bind(1, arg);
    return q;
}

} // namespace

qint64 sqlNumber(const QString& dbFile, const QString& sql, const QString& arg) {
    Connection db(dbFile);
    auto q = query(db, sql, arg);
    return q.next() ? q.integer(0) : -1;
}

QString sqlText(const QString& dbFile, const QString& sql, const QString& arg) {
    Connection db(dbFile);
    auto q = query(db, sql, arg);
    return q.next() ? q.text(0) : QString();
}

int catalogueId(const AppContext& app, const QString& code) {
    return int(sqlNumber(app.paths().catalogue,
                         QStringLiteral("SELECT channelID FROM tab_channels WHERE code = ?"),
                         code));
}

ChannelRef catalogueRef(const AppContext& app, const QString& code) {
    return ChannelRef::catalogue(catalogueId(app, code));
}

int countryId(const AppContext& app, const QString& name) {
    return int(sqlNumber(app.paths().catalogue,
                         QStringLiteral("SELECT countryID FROM tab_country WHERE countryName = ?"),
                         name));
}

ChannelRef addMyList(AppContext& app, const QString& name, const QString& url, int countryID,
                     const QString& group) {
    MyListRecord rec;
    rec.name = name;
    rec.streamUrl = url;
    rec.countryID = countryID;
    rec.groupName = group;
    EXPECT_TRUE(rec.save(app.data()));
    return ChannelRef::myList(rec.channelID);
}

int myListRows(const AppContext& app) {
    return int(sqlNumber(app.paths().myList, QStringLiteral("SELECT count(*) FROM tab_mylist")));
}

void setLink(const AppContext& app, const QString& key, const QString& value) {
    IniFile(app.paths().settingsFile).write(QStringLiteral("links"), key, value);
}

QString iniValue(const AppContext& app, const QString& key) {
    return IniFile(app.paths().settingsFile)
        .read(QStringLiteral("preferences"), key)
        .value_or(QString());
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

bool processAlive(qint64 pid) {
    if (pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray gzipped(const QByteArray& bytes) {
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&s, uLong(bytes.size()))), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    s.avail_in = uInt(bytes.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
    out.resize(qsizetype(s.total_out));
    deflateEnd(&s);
    return out;
}

QString runCatalogueTool(const QStringList& args, int* status, const QString& locale) {
    QProcess p;
    if (!locale.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), locale);
        p.setProcessEnvironment(environment);
    }
    p.start(QStringLiteral(ZENTUVO_BUILD_DIR "/zentuvo-catalogue"), args);
    const bool ended = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    *status = ended ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

QString projectDataDir() {
    return QStringLiteral(ZENTUVO_SOURCE_DATA_DIR);
}

} // namespace zentuvo::test
