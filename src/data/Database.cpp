#include "data/Database.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace zentuvo {

namespace {

QString errorText(sqlite3* db) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

} // namespace

Connection::Connection(const QString& path, Mode mode) {
    if (mode != Mode::Create && !QFileInfo(path).isFile())
        throw DbError(QStringLiteral("Could not find file '%1'.").arg(path));
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = errorText(db_);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(message);
    }
    // Another process (a second instance, a catalogue update) may hold the file briefly.
    sqlite3_busy_timeout(db_, 2000);
}

Connection::~Connection() {
    sqlite3_close_v2(db_);
}

Statement Connection::prepare(const QString& sql) {
    return Statement(db_, sql);
}

void Connection::exec(const QString& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString message = err ? QString::fromUtf8(err) : errorText(db_);
        sqlite3_free(err);
        throw DbError(message);
    }
}

qint64 Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

int Connection::changes() const {
    return sqlite3_changes(db_);
}

Connection::Transaction::Transaction(Connection& c) : c_(c) {
    c_.exec(QStringLiteral("BEGIN"));
}

Connection::Transaction::~Transaction() {
    if (!done_)
        sqlite3_exec(c_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Connection::Transaction::commit() {
    c_.exec(QStringLiteral("COMMIT"));
    done_ = true;
}

Statement::Statement(sqlite3* db, const QString& sql) : db_(db) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt_, nullptr) != SQLITE_OK) {
        const QString message = errorText(db_);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw DbError(message);
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

Statement& Statement::bind(int index, const QString& value) {
    const QByteArray bytes = value.toUtf8();
    if (sqlite3_bind_text(stmt_, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        throw DbError(errorText(db_));
    return *this;
}

Statement& Statement::bind(int index, qint64 value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        throw DbError(errorText(db_));
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK)
        throw DbError(errorText(db_));
    return *this;
}

bool Statement::next() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw DbError(errorText(db_));
}

void Statement::run() {
    while (next()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnIndex(const QString& name) const {
    const int count = sqlite3_column_count(stmt_);
    for (int i = 0; i < count; ++i) {
        if (name.compare(QString::fromUtf8(sqlite3_column_name(stmt_, i)), Qt::CaseInsensitive) ==
            0)
            return i;
    }
    return -1;
}

int Statement::require(const QString& name) const {
    const int i = columnIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Item cannot be found in the collection corresponding to "
                                     "the requested name or ordinal: %1")
                          .arg(name));
    return i;
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QString Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!data)
        return QString();
    return QString::fromUtf8(data, sqlite3_column_bytes(stmt_, column));
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    default:
        return QVariant(text(column));
    }
}

} // namespace zentuvo
