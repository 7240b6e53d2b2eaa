#pragma once

#include <QString>

namespace zentuvo {

// Whether the text (blanks around it aside) is an address the player library can open: a
// scheme it knows (http, https, rtmp, rtsp, mms, mmsh, udp, rtp, srt, file; any letter case)
// followed by "://" and something, or the absolute path of an existing file.
bool isStreamAddress(const QString& text);

// The schemes isStreamAddress() takes, as the user reads them: "http://, https://, …".
QString streamAddressSchemes();

} // namespace zentuvo
