#pragma once

#include <functional>

#include <QTabBar>

namespace quorvel {

// QTabBar without the wheel switching tabs, reporting middle clicks, with
// tooltips made when asked for (what they say changes as results arrive).
class ResultTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit ResultTabBar(QWidget* parent = nullptr);

    using ToolTips = std::function<QString(int index)>;
    void setToolTips(ToolTips toolTips) { m_toolTips = std::move(toolTips); }

signals:
    void middleClicked(int index);

protected:
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ToolTips m_toolTips;
};

}  // namespace quorvel
