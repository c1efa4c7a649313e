#include "SearchPanel.h"

#include <QPushButton>

namespace quorvel {

SearchPanel::SearchPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setFrameShape(QFrame::StyledPanel);
    m_soso = new QPushButton(QStringLiteral("快速搜索"), this);
    m_soso->setObjectName(QStringLiteral("m_soso"));
    m_soso->setGeometry(694, 6, 67, 24);
    m_soso->setEnabled(false);
    m_soso2 = new QPushButton(QStringLiteral("高级搜索"), this);
    m_soso2->setObjectName(QStringLiteral("m_soso2"));
    m_soso2->setGeometry(694, 30, 67, 24);
}

}  // namespace quorvel
