#include "ui/main/WindowStyle.h"

#include <QLayout>
#include <QMouseEvent>
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

cStyle::cStyle(QObject* parent) : QObject(parent) {}

cStyle::~cStyle() {
    if (client_)
        client_->removeEventFilter(this);
}

cStyle::Batch::Batch(cStyle& style) : style_(style) {
    ++style_.batchDepth_;
}

cStyle::Batch::~Batch() {
    if (--style_.batchDepth_ > 0 || !style_.pending_)
        return;
    const Qt::WindowFlags wanted = *style_.pending_;
    style_.pending_.reset();
    if (style_.client_)
        style_.apply(wanted);
}

void cStyle::setClient(QWidget* client) {
    if (client_)
        client_->removeEventFilter(this);
    client_ = client;
    pending_.reset();
    if (client_)
        client_->installEventFilter(this);
}

WId cStyle::hWnd() const {
    return client_ ? client_->internalWinId() : 0;
}

Qt::WindowFlags cStyle::flags() const {
    if (pending_)
        return *pending_;
    return client_ ? client_->windowFlags() : Qt::WindowFlags();
}

bool cStyle::ControlBox() const {
    return client_ && client_->windowFlags().testFlag(Qt::WindowSystemMenuHint);
}

void cStyle::setControlBox(bool on) {
    setFlag(Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint, on);
}

bool cStyle::MaxButton() const {
    return client_ && client_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
}

void cStyle::setMaxButton(bool on) {
    setFlag(Qt::WindowMaximizeButtonHint, on);
}

bool cStyle::MinButton() const {
    return client_ && client_->windowFlags().testFlag(Qt::WindowMinimizeButtonHint);
}

void cStyle::setMinButton(bool on) {
    setFlag(Qt::WindowMinimizeButtonHint, on);
}

bool cStyle::Titlebar() const {
    if (!client_)
        return false;
    const Qt::WindowFlags f = client_->windowFlags();
    if (f.testFlag(Qt::FramelessWindowHint))
        return false;
    return f.testFlag(Qt::WindowTitleHint) || !f.testFlag(Qt::CustomizeWindowHint);
}

void cStyle::setTitlebar(bool on) {
    setFlag(Qt::FramelessWindowHint, !on);
}

bool cStyle::ToolWindow() const {
    return client_ && client_->windowType() == Qt::Tool;
}

void cStyle::setToolWindow(bool on) {
    if (!client_)
        return;
    write((flags() & ~Qt::WindowType_Mask) | (on ? Qt::Tool : Qt::Window));
}

bool cStyle::TopMost() const {
    return client_ && client_->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void cStyle::setTopMost(bool on) {
    setFlag(Qt::WindowStaysOnTopHint, on);
}

void cStyle::setWhatsThisButton(bool on) {
    if (client_)
        whatsThis_ = on;
}

bool cStyle::Sizable() const {
    return client_ && client_->minimumSize() != client_->maximumSize();
}

void cStyle::setSizable(bool on) {
    if (!client_ || Sizable() == on) {
        held_ = true;
        return;
    }
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
    pRedraw();
    held_ = Sizable() == on;
}

void cStyle::pRedraw() {
    if (client_)
        client_->update();
}

void cStyle::ShowSysMenu(int x, int y) {
    Q_UNUSED(x);
    Q_UNUSED(y);
}

void cStyle::setFlag(Qt::WindowFlags bits, bool on) {
    if (!client_)
        return;
    const Qt::WindowFlags now = flags();
    write(on ? now | bits : now & ~bits);
}

void cStyle::write(Qt::WindowFlags wanted) {
    wanted = normalise(wanted);
    if (batchDepth_ > 0) {
        pending_ = wanted;
        return;
    }
    apply(wanted);
}

void cStyle::apply(Qt::WindowFlags wanted) {
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
        pRedraw();
        held_ = w->windowFlags() == wanted && native->flags() == wanted;
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
    pRedraw();
    held_ = w->windowFlags() == wanted;
}

bool cStyle::eventFilter(QObject* watched, QEvent* event) {
    if (watched != client_)
        return false;
    if (event->type() == QEvent::MouseButtonPress && autoDrag_) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            if (QWindow* handle = client_->window()->windowHandle())
                handle->startSystemMove();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease && autoSysMenu_) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            const QPoint at = mouse->globalPosition().toPoint();
            ShowSysMenu(at.x(), at.y());
            return true;
        }
    }
    return false;
}

} // namespace zentuvo
