#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace zentuvo {

// Holds the busy pointer and the drawing lock of a list while a refill waits for its rows;
// both go when it ends, however it ends.
class RefillLock {
public:
    explicit RefillLock(QWidget* list) : list_(list) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        list_->setUpdatesEnabled(false);
    }
    ~RefillLock() {
        if (list_)
            list_->setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    RefillLock(const RefillLock&) = delete;
    RefillLock& operator=(const RefillLock&) = delete;

private:
    QPointer<QWidget> list_;
};

} // namespace zentuvo
