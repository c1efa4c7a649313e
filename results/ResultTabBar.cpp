#include "ResultTabBar.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace quorvel {

ResultTabBar::ResultTabBar(QWidget* parent) : QTabBar(parent) {}

void ResultTabBar::wheelEvent(QWheelEvent* event) {
    // Scrolling over the tabs must not switch result pages under the user.
    event->ignore();
}

void ResultTabBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        const int index = tabAt(event->position().toPoint());
        if (index >= 0) {
            emit middleClicked(index);
            event->accept();
            return;
        }
    }
    QTabBar::mouseReleaseEvent(event);
}

}  // namespace quorvel
