#include "data/ScheduleStore.h"

#include "data/Database.h"
#include "data/GuideStore.h"

#include <QFileInfo>

namespace zentuvo {

namespace {

void createScheduleTable(Connection& db) {
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS tab_schedule ("
                           "id INTEGER PRIMARY KEY AUTOINCREMENT, "
                           "kind INTEGER NOT NULL, number INTEGER NOT NULL, "
                           "channelName TEXT NOT NULL, title TEXT NOT NULL, "
                           "start INTEGER NOT NULL, stop INTEGER NOT NULL, "
                           "marginBefore INTEGER NOT NULL, marginAfter INTEGER NOT NULL, "
                           "state INTEGER NOT NULL, file TEXT NOT NULL, reason TEXT NOT NULL)"));
}

bool hasTable(Connection& db) {
    auto q = db.prepare(QStringLiteral(
        "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'tab_schedule'"));
    return q.next();
}

ScheduleState stateOf(qint64 stored) {
    return stored >= 0 && stored <= int(ScheduleState::Missed) ? ScheduleState(stored)
                                                               : ScheduleState::Failed;
}

} // namespace

std::vector<ScheduledRecording> scheduledRecordings(const QString& scheduleFile) {
    std::vector<ScheduledRecording> out;
    if (!QFileInfo(scheduleFile).isFile())
        return out;
    Connection db(scheduleFile, Connection::Mode::ReadOnly);
    if (!hasTable(db))
        return out;
    auto q = db.prepare(QStringLiteral("SELECT * FROM tab_schedule ORDER BY start - marginBefore, "
                                       "id"));
    while (q.next()) {
        ScheduledRecording r;
        r.id = q.integer("id");
        r.channel = guideChannel(q.integer("kind"), q.integer("number"));
        r.channelName = q.text("channelName");
        r.title = q.text("title");
        r.start = q.integer("start");
        r.stop = q.integer("stop");
        r.marginBefore = q.integer("marginBefore");
        r.marginAfter = q.integer("marginAfter");
        r.state = stateOf(q.integer("state"));
        r.file = q.text("file");
        r.reason = q.text("reason");
        out.push_back(std::move(r));
    }
    return out;
}

qint64 addScheduledRecording(const QString& scheduleFile, const ScheduledRecording& r) {
    Connection db(scheduleFile, Connection::Mode::Create);
    createScheduleTable(db);
    auto q = db.prepare(QStringLiteral(
        "INSERT INTO tab_schedule (kind, number, channelName, title, start, stop, marginBefore, "
        "marginAfter, state, file, reason) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.bind(1, guideKindCode(r.channel.kind()));
    q.bind(2, qint64(r.channel.number()));
    q.bind(3, r.channelName);
    q.bind(4, r.title);
    q.bind(5, r.start);
    q.bind(6, r.stop);
    q.bind(7, r.marginBefore);
    q.bind(8, r.marginAfter);
    q.bind(9, int(r.state));
    q.bind(10, r.file);
    q.bind(11, r.reason);
    q.run();
    return db.lastInsertId();
}

bool setScheduledState(const QString& scheduleFile, qint64 id, ScheduleState state,
                       const QString& file, const QString& reason) {
    if (!QFileInfo(scheduleFile).isFile())
        return false;
    Connection db(scheduleFile);
    if (!hasTable(db))
        return false;
    auto q = db.prepare(
        QStringLiteral("UPDATE tab_schedule SET state = ?, file = ?, reason = ? WHERE id = ?"));
    q.bind(1, int(state));
    q.bind(2, file);
    q.bind(3, reason);
    q.bind(4, id);
    q.run();
    return db.changes() > 0;
}

bool removeScheduledRecording(const QString& scheduleFile, qint64 id) {
    if (!QFileInfo(scheduleFile).isFile())
        return false;
    Connection db(scheduleFile);
    if (!hasTable(db))
        return false;
    auto q = db.prepare(QStringLiteral("DELETE FROM tab_schedule WHERE id = ?"));
    q.bind(1, id);
    q.run();
    return db.changes() > 0;
}

QString scheduleStateName(ScheduleState state) {
    switch (state) {
    case ScheduleState::Waiting:
        return QStringLiteral("waiting");
    case ScheduleState::Recording:
        return QStringLiteral("recording");
    case ScheduleState::Done:
        return QStringLiteral("done");
    case ScheduleState::Failed:
        return QStringLiteral("failed");
    case ScheduleState::Missed:
        return QStringLiteral("missed");
    }
    return {};
}

} // namespace zentuvo
