// The player library's instances and its log.
#include "playback/VlcInstance.h"

#include "playback/VlcPlayerImpl.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <vector>

namespace zentuvo {

namespace {

// How much of a network stream is held before the picture moves. The first picture shows
// as soon as a key frame is decoded, whatever this is; motion starts once this much is held.
// Measured on the loopback (bench/zap_bench.cpp): from a source that sends at the stream's
// own pace, motion starts about 0.6 s after the start with 600 ms against 1.1 s with the
// library's 1000 ms; when the source stalls now and then for up to a second, the first 10 s
// freeze about as little as with 800 to 1500 ms, and clearly less than with 300 ms.
constexpr int kNetworkCachingMs = 600;

// The library's log callback: keeps the error lines; with ZENTUVO_PLAYER_LOG set, prints
// every line as the library would.
void onLibraryLog(void*, int level, const libvlc_log_t*, const char* format, va_list args) {
    static const bool verbose = qEnvironmentVariableIsSet("ZENTUVO_PLAYER_LOG");
    if (level < LIBVLC_ERROR && !verbose)
        return;
    char text[512];
    va_list copy;
    va_copy(copy, args);
    std::vsnprintf(text, sizeof text, format, copy);
    va_end(copy);
    if (verbose)
        std::fprintf(stderr, "%s\n", text);
    if (level >= LIBVLC_ERROR)
        ErrorLog::instance().add(text);
}

} // namespace

std::shared_ptr<libvlc_instance_t> sharedInstance(bool headless, bool libraryDefaults) {
    static std::mutex mutex;
    static std::map<int, std::weak_ptr<libvlc_instance_t>> instances;
    const std::lock_guard lock(mutex);
    const int key = (headless ? 1 : 0) + (libraryDefaults ? 2 : 0);
    if (auto existing = instances[key].lock())
        return existing;

    std::vector<QByteArray> args;
    args.emplace_back(qEnvironmentVariableIsSet("ZENTUVO_PLAYER_LOG") ? "--verbose=2" : "--quiet");
    args.emplace_back("--ignore-config");
    if (headless) {
        args.emplace_back("--vout=dummy");
        args.emplace_back("--aout=dummy");
    }
    if (!libraryDefaults) {
        args.emplace_back("--no-video-title-show");
        args.emplace_back("--no-snapshot-preview");
        args.emplace_back("--network-caching=" + QByteArray::number(kNetworkCachingMs));
        // A live stream's rate is nudged by 0.2 % to keep its lead (DriftSteer): the pitch
        // may follow, which no one hears, but stretching the sound to keep it would delay the
        // sound against the picture by the stretcher's window (36 ms more, measured).
        args.emplace_back("--no-audio-time-stretch");
    }
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.constData());
    std::shared_ptr<libvlc_instance_t> created(libvlc_new(int(argv.size()), argv.data()),
                                               InstanceRelease());
    if (!created)
        throw PlayerError("the player library does not start");
    libvlc_log_set(created.get(), &onLibraryLog, nullptr);
    instances[key] = created;
    return created;
}

} // namespace zentuvo
