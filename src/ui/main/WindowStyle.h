#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <optional>

namespace zentuvo {

// Changes the frame of a top-level window at run time: title bar, system menu, minimize and
// maximize buttons, sizing, the tool-window look, the context-help button and staying on
// top. It can also let the user drag the window by its client area.
//
// Every change keeps the window where it was: its place, size and state survive the
// re-creation of the frame that a change of window flags brings. Without a client every
// setter does nothing and every getter reads false (hWnd reads 0).
//
// What the window system has no use for on this platform (the context-help button, the
// system menu on a right click) is kept as a stored value and changes nothing else.
class cStyle : public QObject {
    Q_OBJECT
public:
    explicit cStyle(QObject* parent = nullptr);
    ~cStyle() override;

    // Left button down on the client's own area moves the window (through the window
    // system's move).
    bool AutoDrag() const { return autoDrag_; }
    void setAutoDrag(bool on) { autoDrag_ = on; }
    // Right button up on the client's own area opens the system menu.
    bool AutoSysMenu() const { return autoSysMenu_; }
    void setAutoSysMenu(bool on) { autoSysMenu_ = on; }

    QWidget* Client() const { return client_; }
    void setClient(QWidget* client);

    bool ControlBox() const;
    void setControlBox(bool on);
    bool MaxButton() const;
    void setMaxButton(bool on);
    bool MinButton() const;
    void setMinButton(bool on);
    // A sizable window can be resized by the user; a fixed one keeps its present size.
    bool Sizable() const;
    void setSizable(bool on);
    bool Titlebar() const;
    void setTitlebar(bool on);
    bool ToolWindow() const;
    void setToolWindow(bool on);
    bool TopMost() const;
    void setTopMost(bool on);
    bool WhatsThisButton() const { return client_ && whatsThis_; }
    void setWhatsThisButton(bool on);

    // The client's native window, 0 without a client or before it has one.
    WId hWnd() const;
    // Has the client draw itself again after a change of its frame.
    void pRedraw();
    // Opens the system menu at a screen position. The window system here offers no way to
    // open it for a window, so this does nothing.
    void ShowSysMenu(int x, int y);

    // Whether the window's flags read back as the last change wrote them. The window
    // system may refuse a combination (the minimize and maximize buttons bring the system
    // menu with them).
    bool lastChangeHeld() const { return held_; }

    // Gathers the flag changes made while it lives and applies them in one go when it ends,
    // so that the frame is re-created only once.
    class Batch {
    public:
        explicit Batch(cStyle& style);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        cStyle& style_;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The flags as they are, or as a running batch will make them.
    Qt::WindowFlags flags() const;
    void setFlag(Qt::WindowFlags bits, bool on);
    void write(Qt::WindowFlags wanted);
    void apply(Qt::WindowFlags wanted);

    QPointer<QWidget> client_;
    bool autoDrag_ = false;
    bool autoSysMenu_ = false;
    bool whatsThis_ = false;
    bool held_ = true;
    int batchDepth_ = 0;
    std::optional<Qt::WindowFlags> pending_;
    // The limits a window had before it was made fixed, given back when it is sizable again.
    QSize sizableMin_;
    QSize sizableMax_;
};

} // namespace zentuvo
