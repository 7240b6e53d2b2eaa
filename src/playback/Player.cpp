#include "playback/Player.h"

namespace zentuvo {

Player::Player(QObject* parent) : QObject(parent) {
    // The players of the player library announce their state through queued calls.
    qRegisterMetaType<PlayerState>();
}

} // namespace zentuvo
