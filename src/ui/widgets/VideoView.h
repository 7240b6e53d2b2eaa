#pragma once

#include "playback/Player.h"

#include <QPointer>
#include <QWidget>

namespace zentuvo {

// The surface a player draws its video on. On xcb the widget has a native window of its own
// and hands its id to the player; on any other platform nothing is embedded and the widget
// only shows its idle look.
class VideoView : public QWidget {
    Q_OBJECT

public:
    explicit VideoView(QWidget* parent = nullptr);
    ~VideoView() override;

    // The player whose video shows here (none with nullptr).
    void setPlayer(Player* player);
    Player* player() const { return player_; }

    // Whether video can be embedded into our windows on this platform.
    static bool canEmbed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Hands the current native window to the player.
    void passWindow();
    bool idle() const;

    QPointer<Player> player_;
    quintptr passed_ = 0;
};

} // namespace zentuvo
