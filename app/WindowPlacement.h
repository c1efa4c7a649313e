#pragma once

#include <QPoint>
#include <QSize>

namespace quorvel {

// Where the window opens: horizontally centred, its top where a centred
// expanded window would begin, raised by 40 pixels. Integer division
// truncates toward zero, so a screen smaller than the window gives a
// negative position, used as computed.
QPoint WindowPlacement(QSize screen, QSize outerWindow);

}  // namespace quorvel
