#pragma once

#include <QString>
#include <QStringList>

namespace zentuvo {

// Why a stream failed, from the player library's error lines (oldest first): the term key
// of a reason it recognises, or no key and the first line as it is. Both are empty without
// lines.
struct PlaybackErrorReason {
    QString termKey;
    QString text;
};

PlaybackErrorReason playbackErrorReason(const QStringList& libraryLines);

} // namespace zentuvo
