#pragma once

#include <QString>

namespace zentuvo {

class Connection;

// The user's own copy of an installed catalogue, and the versions that tell when the
// installed one has changed.

// The option row (tab_options) holding a catalogue's version.
inline const QString kCatalogueVersionOption = QStringLiteral("catalogueVersion");

// The version of the catalogue built from a data folder: a hash of its source files (and
// of the replication count), so the same data gives the same version. "" when a file
// cannot be read.
QString sourceVersion(const QString& dataDir, int replicate = 1);
// Stores the version in the option row of an open catalogue. Throws DbError.
void storeCatalogueVersion(Connection& db, const QString& version);

// The version of a catalogue file: its option row, or, for a catalogue without one, its
// size and modification time. Throws DbError when the file cannot be read.
QString catalogueVersion(const QString& path);

// Puts a copy of the installed catalogue at userFile. When userFile exists, the copy keeps
// its favourite marks (matched by channel code) and its option rows, the version apart,
// which becomes the installed catalogue's. The copy is made and checked beside userFile
// ("<userFile>.new") and then renamed over it in one step, so a failure leaves userFile as
// it was. installedFile is only read. "" when done, else what went wrong.
QString refreshCatalogueCopy(const QString& installedFile, const QString& userFile);

} // namespace zentuvo
