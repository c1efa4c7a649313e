#pragma once

#include <QTabBar>

namespace quorvel {

// QTabBar without the wheel switching tabs, reporting middle clicks.
class ResultTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit ResultTabBar(QWidget* parent = nullptr);

signals:
    void middleClicked(int index);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace quorvel
