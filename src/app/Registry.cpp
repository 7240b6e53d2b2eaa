#include "app/Registry.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace zentuvo {

QString MemoryRegistryStore::keyId(RegRoot root, const QString& keyPath) {
    return QString::number(int(root)) + u':' + keyPath.toLower();
}

void MemoryRegistryStore::set(RegRoot root, const QString& keyPath, const QString& name,
                              const RegValue& value) {
    keys_[keyId(root, keyPath)].insert(name.toLower(), value);
}

void MemoryRegistryStore::addKey(RegRoot root, const QString& keyPath) {
    keys_[keyId(root, keyPath)];
}

int MemoryRegistryStore::openKey(RegRoot root, const QString& keyPath) {
    return keys_.contains(keyId(root, keyPath)) ? kRegSuccess : kRegNotFound;
}

int MemoryRegistryStore::queryValue(RegRoot root, const QString& keyPath, const QString& name,
                                    RegValue& out) {
    auto key = keys_.constFind(keyId(root, keyPath));
    if (key == keys_.cend())
        return kRegNotFound;
    auto value = key->constFind(name.toLower());
    if (value == key->cend())
        return kRegNotFound;
    out = *value;
    return kRegSuccess;
}

SystemRegistryStore::SystemRegistryStore(std::function<bool()> playerUsable)
    : playerUsable_(std::move(playerUsable)) {}

QString SystemRegistryStore::installDir() {
    if (!probed_) {
        probed_ = true;
        const QString vlc = QStandardPaths::findExecutable(QStringLiteral("vlc"));
        if (!vlc.isEmpty() && (!playerUsable_ || playerUsable_()))
            installDir_ = QFileInfo(vlc).absolutePath();
    }
    return installDir_;
}

int SystemRegistryStore::openKey(RegRoot root, const QString& keyPath) {
    if (root == RegRoot::LocalMachine &&
        keyPath.compare(kPlayerKeyPath, Qt::CaseInsensitive) == 0 && !installDir().isEmpty())
        return kRegSuccess;
    return kRegNotFound;
}

int SystemRegistryStore::queryValue(RegRoot root, const QString& keyPath, const QString& name,
                                    RegValue& out) {
    if (openKey(root, keyPath) != kRegSuccess ||
        name.compare(QStringLiteral("InstallDir"), Qt::CaseInsensitive) != 0)
        return kRegNotFound;
    out = RegValue{RegValue::String, installDir(), 0};
    return kRegSuccess;
}

QVariant GetRegValue(RegistryStore& store, RegRoot root, const QString& keyPath,
                     const QString& name, int* lastResult) {
    int result = store.openKey(root, keyPath);
    if (lastResult)
        *lastResult = result;
    if (result != kRegSuccess)
        return QString();
    RegValue value;
    result = store.queryValue(root, keyPath, name, value);
    if (lastResult)
        *lastResult = result;
    if (result != kRegSuccess)
        return QString();
    switch (value.type) {
    case RegValue::String: {
        const qsizetype zero = value.text.indexOf(QChar(0));
        return zero < 0 ? value.text : value.text.left(zero);
    }
    case RegValue::Dword:
        return QVariant(qlonglong(qint32(value.number)));
    default:
        return QString();
    }
}

} // namespace zentuvo
