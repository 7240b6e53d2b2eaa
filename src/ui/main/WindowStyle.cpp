#include "ui/main/WindowStyle.h"

#include <QLayout>
#include <QWindow>

namespace zentuvo {

namespace {

// The frame parts that a window shows unless it asks for fewer.
constexpr Qt::WindowFlags kFrameHints = Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                        Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;

// Brings a wanted set of flags into the form that the toolkit keeps as it is: a window with
// a frame has a title and names its frame parts one by one only when it leaves some out; a
// frameless window names none (the toolkit would otherwise give a frame back to a window
// that keeps its minimize or maximize button).
Qt::WindowFlags normalise(Qt::WindowFlags flags) {
    if (flags.testFlag(Qt::FramelessWindowHint))
        return flags & ~Qt::CustomizeWindowHint;
    flags |= Qt::WindowTitleHint;
    if ((flags & kFrameHints) == kFrameHints)
        flags &= ~Qt::CustomizeWindowHint;
    else
        flags |= Qt::CustomizeWindowHint;
    return flags;
}

} // namespace

WindowStyle::WindowStyle(QObject* parent) : QObject(parent) {}

WindowStyle::Batch::Batch(WindowStyle& style) : style_(style) {
    ++style_.batchDepth_;
}

WindowStyle::Batch::~Batch() {
    if (--style_.batchDepth_ > 0 || !style_.pending_)
        return;
    const Qt::WindowFlags wanted = *style_.pending_;
    style_.pending_.reset();
    if (style_.client_)
        style_.apply(wanted);
}

void WindowStyle::setClient(QWidget* client) {
    client_ = client;
    pending_.reset();
}

Qt::WindowFlags WindowStyle::flags() const {
    if (pending_)
        return *pending_;
    return client_ ? client_->windowFlags() : Qt::WindowFlags();
}

bool WindowStyle::hasTitlebar() const {
    if (!client_)
        return false;
    const Qt::WindowFlags f = client_->windowFlags();
    if (f.testFlag(Qt::FramelessWindowHint))
        return false;
    return f.testFlag(Qt::WindowTitleHint) || !f.testFlag(Qt::CustomizeWindowHint);
}

void WindowStyle::setTitlebar(bool on) {
    setFlag(Qt::FramelessWindowHint, !on);
}

bool WindowStyle::isTopMost() const {
    return client_ && client_->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void WindowStyle::setTopMost(bool on) {
    setFlag(Qt::WindowStaysOnTopHint, on);
}

bool WindowStyle::isSizable() const {
    return client_ && client_->minimumSize() != client_->maximumSize();
}

void WindowStyle::setSizable(bool on) {
    if (!client_ || isSizable() == on)
        return;
    QWidget* w = client_;
    if (!on) {
        sizableMin_ = w->minimumSize();
        sizableMax_ = w->maximumSize();
        w->setFixedSize(w->size());
    } else {
        // A window with a layout takes its minimum from the layout again.
        w->setMinimumSize(w->layout() || !sizableMin_.isValid() ? QSize(0, 0) : sizableMin_);
        w->setMaximumSize(sizableMax_.isValid() ? sizableMax_
                                                : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        if (QLayout* layout = w->layout()) {
            layout->invalidate();
            layout->activate();
        }
    }
    redraw();
}

void WindowStyle::redraw() {
    if (client_)
        client_->update();
}

void WindowStyle::setFlag(Qt::WindowFlags bits, bool on) {
    if (!client_)
        return;
    const Qt::WindowFlags now = flags();
    write(on ? now | bits : now & ~bits);
}

void WindowStyle::write(Qt::WindowFlags wanted) {
    wanted = normalise(wanted);
    if (batchDepth_ > 0) {
        pending_ = wanted;
        return;
    }
    apply(wanted);
}

void WindowStyle::apply(Qt::WindowFlags wanted) {
    QWidget* w = client_;
    QWindow* native = w->windowHandle();
    if (native && native->handle()) {
        // A window that exists on screen takes the new flags in place. Setting them through
        // the widget would destroy and re-create the window with all its child windows,
        // and a player drawing into one of them would lose its picture.
        if (w->windowFlags() != wanted || native->flags() != wanted) {
            w->overrideWindowFlags(wanted);
            native->setFlags(wanted);
        }
        redraw();
        return;
    }
    if (w->windowFlags() != wanted) {
        // Not on screen yet: the flags take effect when it is shown. Keep its place.
        const QRect geometry = w->geometry();
        const bool moved = w->testAttribute(Qt::WA_Moved);
        w->setWindowFlags(wanted);
        if (moved)
            w->setGeometry(geometry);
        else
            w->resize(geometry.size());
    }
    redraw();
}

} // namespace zentuvo
