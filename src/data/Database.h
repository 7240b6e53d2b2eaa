#pragma once

#include <QString>
#include <QVariant>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace zentuvo {

// A failing database operation; description() is what the error messages show.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    const QString& description() const { return description_; }

private:
    QString description_;
};

class Statement;

// One connection to a database file, opened for one operation and closed when the object
// goes away. Opening never creates a missing file unless asked to.
class Connection {
public:
    enum class Mode { ReadWrite, ReadOnly, Create };
    explicit Connection(const QString& path, Mode mode = Mode::ReadWrite);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Statement prepare(const QString& sql);
    // Runs one or more statements that take no parameters.
    void exec(const QString& sql);
    qint64 lastInsertId() const;
    int changes() const;
    sqlite3* handle() const { return db_; }

    // A transaction that rolls back unless committed.
    class Transaction {
    public:
        explicit Transaction(Connection& c);
        ~Transaction();
        void commit();

    private:
        Connection& c_;
        bool done_ = false;
    };

private:
    sqlite3* db_ = nullptr;
};

// A prepared statement. Parameters are bound by position from 1; values never enter the
// statement text.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    Statement& bind(int index, const QString& value);
    Statement& bind(int index, qint64 value);
    Statement& bind(int index, int value) { return bind(index, qint64(value)); }
    Statement& bindNull(int index);
    // An empty text as NULL, any other as itself.
    Statement& bindTextOrNull(int index, const QString& value) {
        return value.isEmpty() ? bindNull(index) : bind(index, value);
    }

    // Steps to the next row; false at the end.
    bool next();
    // Runs a statement that returns no rows.
    void run();
    void reset();

    int columnIndex(const QString& name) const; // case-insensitive; -1 when absent
    bool isNull(int column) const;
    QString text(int column) const;   // "" for NULL
    qint64 integer(int column) const; // 0 for NULL
    QVariant value(int column) const; // null QVariant for NULL
    bool isNull(const QString& name) const { return isNull(require(name)); }
    QString text(const QString& name) const { return text(require(name)); }
    qint64 integer(const QString& name) const { return integer(require(name)); }
    QVariant value(const QString& name) const { return value(require(name)); }

private:
    int require(const QString& name) const;
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace zentuvo
