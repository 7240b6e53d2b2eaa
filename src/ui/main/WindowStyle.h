#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <optional>

namespace zentuvo {

// Changes the frame of a top-level window at run time: its title bar, staying on top and
// whether the user can resize it.
//
// Every change keeps the window where it was: its place, size and state survive the
// re-creation of the frame that a change of window flags brings. Without a client every
// setter does nothing and every getter reads false.
class WindowStyle : public QObject {
    Q_OBJECT
public:
    explicit WindowStyle(QObject* parent = nullptr);

    void setClient(QWidget* client);

    // A sizable window can be resized by the user; a fixed one keeps its present size.
    bool isSizable() const;
    void setSizable(bool on);
    bool hasTitlebar() const;
    void setTitlebar(bool on);
    bool isTopMost() const;
    void setTopMost(bool on);

    // Gathers the flag changes made while it lives and applies them in one go when it ends,
    // so that the frame is re-created only once.
    class Batch {
    public:
        explicit Batch(WindowStyle& style);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        WindowStyle& style_;
    };

private:
    // The flags as they are, or as a running batch will make them.
    Qt::WindowFlags flags() const;
    void setFlag(Qt::WindowFlags bits, bool on);
    void write(Qt::WindowFlags wanted);
    void apply(Qt::WindowFlags wanted);
    // Has the client draw itself again after a change of its frame.
    void redraw();

    QPointer<QWidget> client_;
    int batchDepth_ = 0;
    std::optional<Qt::WindowFlags> pending_;
    // The limits a window had before it was made fixed, given back when it is sizable again.
    QSize sizableMin_;
    QSize sizableMax_;
};

} // namespace zentuvo
