#include "WindowPlacement.h"

namespace quorvel {

QPoint WindowPlacement(QSize screen, QSize outerWindow) {
    // C++ integer division truncates toward zero, as required.
    const int left = (screen.width() - outerWindow.width()) / 2;
    const int top = (screen.height() - outerWindow.height()) / 2 - 40;
    return {left, top};
}

}  // namespace quorvel
