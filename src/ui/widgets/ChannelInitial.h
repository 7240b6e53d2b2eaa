#pragma once

#include <QChar>
#include <QColor>
#include <QPixmap>
#include <QString>

class QPainter;
class QRect;

namespace zentuvo {

// What stands in for a channel's logo while it has none: a rounded square in a colour of its
// own with the first letter of its name. Letter and colour depend on the name alone, so a
// channel looks the same in every list and every session.

// The first letter or digit of name, in capitals; '?' when it has none.
QChar channelInitial(const QString& name);
// The square's colour: a hue from a hash of the name (letter case aside), mid saturation and
// value so that a white letter reads on it.
QColor initialColour(const QString& name);
// Paints the square with the letter into rect.
void paintChannelInitial(QPainter& painter, const QRect& rect, const QString& name);
// The square as a picture side pixels wide at the device pixel ratio given.
QPixmap channelInitialPixmap(const QString& name, int side, qreal pixelRatio = 1.0);

} // namespace zentuvo
