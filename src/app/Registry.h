#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

namespace zentuvo {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// A typed value of the settings registry.
struct RegValue {
    enum Type { None = 0, String = 1, ExpandString = 2, Binary = 3, Dword = 4 };
    Type type = None;
    QString text;       // String and ExpandString, as stored (may hold a zero character)
    quint32 number = 0; // Dword
};

// Result codes of registry calls.
inline constexpr int kRegSuccess = 0;
inline constexpr int kRegNotFound = 2;

// Where registry values are read from.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    virtual int openKey(RegRoot root, const QString& keyPath) = 0; // 0 when the key exists
    // Reads one value of an existing key; kRegNotFound when it does not exist.
    virtual int queryValue(RegRoot root, const QString& keyPath, const QString& name,
                           RegValue& out) = 0;
};

// Values kept in memory, for tests and portable setups.
class MemoryRegistryStore : public RegistryStore {
public:
    void set(RegRoot root, const QString& keyPath, const QString& name, const RegValue& value);
    void addKey(RegRoot root, const QString& keyPath);
    int openKey(RegRoot root, const QString& keyPath) override;
    int queryValue(RegRoot root, const QString& keyPath, const QString& name,
                   RegValue& out) override;

private:
    static QString keyId(RegRoot root, const QString& keyPath);
    QHash<QString, QHash<QString, RegValue>> keys_;
};

// The store of this system: it knows one value, LocalMachine "Software\VideoLAN\VLC"
// "InstallDir", the folder of the `vlc` program found on PATH, given only when the player
// library can also start (its plugins are installed). Every other key is missing.
class SystemRegistryStore : public RegistryStore {
public:
    explicit SystemRegistryStore(std::function<bool()> playerUsable);
    int openKey(RegRoot root, const QString& keyPath) override;
    int queryValue(RegRoot root, const QString& keyPath, const QString& name,
                   RegValue& out) override;

private:
    QString installDir();
    std::function<bool()> playerUsable_;
    bool probed_ = false;
    QString installDir_;
};

inline const QString kPlayerKeyPath = QStringLiteral("Software\\VideoLAN\\VLC");

// Reads one value: a text for string values (up to its first zero character), a number
// for 32-bit values, and the empty text for whatever cannot be read. The result code of
// the last call is left in lastResult when given.
QVariant GetRegValue(RegistryStore& store, RegRoot root, const QString& keyPath,
                     const QString& name, int* lastResult = nullptr);

} // namespace zentuvo
