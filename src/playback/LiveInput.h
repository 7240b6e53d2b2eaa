#pragma once

#include <QByteArray>
#include <QStringList>
#include <QThread>
#include <QUrl>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace zentuvo {

struct LiveInputRequest {
    QUrl url;
    QByteArray userAgent; // empty: the network library's own
    QByteArray referrer;
};

// The request headers a player item's own options ask for (":http-user-agent=",
// ":http-referrer="); a "+" in the agent stands for a blank, as the player library reads it.
LiveInputRequest liveInputRequest(const QString& mrl, const QStringList& itemOptions);

// Reads a live transport stream over HTTP(S) on a thread of its own and hands it to the
// player library through its memory-input callbacks, from the first key frame on
// (TsStartGate), its clock references moved up to its pictures (TsClockShift). It holds at most
// kHighWater bytes the player has not taken: beyond that it stops reading, and the connection holds
// the sender back, as while the player is paused.
//
// The library calls open/read/seek/close on its input thread; they block until there are
// bytes, the stream ended or failed, or abort() was called, which the owner must do before it
// stops the library's player (the stop waits for the input thread).
class LiveInput {
public:
    static constexpr qsizetype kHighWater = 8 * 1024 * 1024;

    explicit LiveInput(const LiveInputRequest& request);
    ~LiveInput();
    LiveInput(const LiveInput&) = delete;
    LiveInput& operator=(const LiveInput&) = delete;

    // Makes every waiting and later call of the library return at once, and drops the
    // connection.
    void abort();
    // The first bytes were no transport stream: the address is for the library to open.
    bool notTransportStream() const;
    // Why the stream failed, in the words of the player library's log ("HTTP 404 Not Found",
    // "connection refused", ...); empty while it has not.
    QStringList errorLines() const;
    // The stream's own time handed on so far (TsClockSpan).
    qint64 receivedMs() const;

    // What the library hands the callbacks.
    void* opaque() const { return shared_.get(); }
    // libvlc_media_open_cb, libvlc_media_read_cb, libvlc_media_seek_cb, libvlc_media_close_cb.
    static int open(void* opaque, void** data, std::uint64_t* size);
    static std::ptrdiff_t read(void* opaque, unsigned char* buffer, std::size_t length);
    static int seek(void* opaque, std::uint64_t offset);
    static void close(void* opaque);

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    QThread thread_;
};

} // namespace zentuvo
