#include "data/GuideWriter.h"

#include "data/Database.h"
#include "data/GuideStore.h"

#include <optional>

namespace zentuvo {

namespace {

// Rows are handed to the writer in batches of this many; add() waits while as many batches
// as kQueued are waiting.
constexpr qsizetype kBatch = 512;
constexpr size_t kQueued = 8;

} // namespace

GuideRowWriter::GuideRowWriter(Connection& db, qint64 source)
    : db_(db), source_(source), thread_([this] { run(); }) {}

GuideRowWriter::~GuideRowWriter() {
    finish();
}

void GuideRowWriter::add(GuideRow row) {
    pending_.push_back(std::move(row));
    if (qsizetype(pending_.size()) >= kBatch)
        hand();
}

void GuideRowWriter::hand() {
    if (pending_.empty())
        return;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queue_.size() < kQueued; });
        queue_.push_back(std::move(pending_));
    }
    pending_ = {};
    pending_.reserve(size_t(kBatch));
    changed_.notify_all();
}

QString GuideRowWriter::finish() {
    hand();
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
    return error_;
}

void GuideRowWriter::run() {
    auto insert = [this]() -> std::optional<Statement> {
        try {
            return db_.prepare(QStringLiteral(
                "INSERT INTO guide_programme (sourceID, kind, number, guideId, start, stop, "
                "title, subTitle, episode, category, description) "
                "VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
        } catch (const DbError& e) {
            error_ = e.description();
            return std::nullopt;
        }
    }();
    for (;;) {
        std::vector<GuideRow> batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || closing_; });
            if (queue_.empty())
                return;
            batch = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        for (const GuideRow& row : batch) {
            if (!error_.isEmpty())
                break; // what is still read is dropped: the import fails with the error
            try {
                qint64 first = 0;
                for (const ChannelRef channel : row.channels) {
                    insert->bind(1, source_).bind(2, guideKindCode(channel.kind()));
                    insert->bind(3, qint64(channel.number())).bind(4, row.guideId);
                    insert->bind(5, row.start).bind(6, row.stop);
                    insert->bindTextOrNull(7, row.title);
                    insert->bindTextOrNull(8, row.subTitle);
                    insert->bindTextOrNull(9, row.episode);
                    insert->bindTextOrNull(10, row.category);
                    insert->bindTextOrNull(11, row.description);
                    insert->run();
                    insert->reset();
                    if (first == 0)
                        first = db_.lastInsertId();
                }
                if (first != 0)
                    timelines_[row.guideId].push_back(
                        {row.start, row.stop, first, qint64(row.channels.size())});
            } catch (const DbError& e) {
                error_ = e.description();
            }
        }
    }
}

} // namespace zentuvo
