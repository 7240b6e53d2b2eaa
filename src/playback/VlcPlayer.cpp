// Everything that talks to libVLC lives in this file.
#include "playback/VlcRuntime.h"

#include <vlc/vlc.h>

namespace zentuvo {

bool playerLibraryUsable() {
    const char* args[] = {"--quiet", "--no-video-title-show"};
    libvlc_instance_t* instance = libvlc_new(2, args);
    if (!instance)
        return false;
    libvlc_release(instance);
    return true;
}

QString playerLibraryVersion() {
    return QString::fromUtf8(libvlc_get_version());
}

} // namespace zentuvo
