#include "ResultTabBar.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

namespace quorvel {

ResultTabBar::ResultTabBar(QWidget* parent) : QTabBar(parent) {}

bool ResultTabBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_toolTips) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int index = tabAt(help->pos());
        const QString tip = index >= 0 ? m_toolTips(index) : QString();
        if (tip.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), tip, this, tabRect(index));
        return true;
    }
    return QTabBar::event(event);
}

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
