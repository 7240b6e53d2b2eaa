#pragma once

// The player library's instances and its log, shared by the players of the process. Inside
// VlcPlayer's files only.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <vlc/vlc.h>

namespace zentuvo {

// The player library's latest error messages, numbered, from every instance. The library
// logs on its own threads; a player takes the lines that came after its start when its
// input fails. Made once and never destroyed: the library may log until it is released.
class ErrorLog {
public:
    static ErrorLog& instance() {
        static auto* log = new ErrorLog;
        return *log;
    }
    quint64 mark() {
        const std::lock_guard lock(mutex_);
        return next_;
    }
    void add(const char* text) {
        const std::lock_guard lock(mutex_);
        lines_.push_back({next_++, QString::fromUtf8(text).trimmed()});
        if (lines_.size() > kKept)
            lines_.pop_front();
    }
    // The last few lines numbered from mark on.
    QStringList since(quint64 mark) {
        const std::lock_guard lock(mutex_);
        QStringList lines;
        for (const auto& [number, text] : lines_) {
            if (number >= mark)
                lines << text;
        }
        return lines.mid(std::max<qsizetype>(0, lines.size() - kPerPlayer));
    }

private:
    static constexpr size_t kKept = 64;
    static constexpr qsizetype kPerPlayer = 6;
    std::mutex mutex_;
    std::deque<std::pair<quint64, QString>> lines_;
    quint64 next_ = 0;
};

// One library instance per kind of output (headless or not, our options or the library's
// defaults), shared by the players of the process; its log goes to the ErrorLog.
std::shared_ptr<libvlc_instance_t> sharedInstance(bool headless, bool libraryDefaults);

} // namespace zentuvo
