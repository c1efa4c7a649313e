#pragma once

#include <QFrame>

class QPushButton;

namespace quorvel {

// Panel1: the search form at the top of the window.
class SearchPanel : public QFrame {
    Q_OBJECT
public:
    explicit SearchPanel(QWidget* parent = nullptr);

    QPushButton* m_soso;   // quick search, disabled until the first page load
    QPushButton* m_soso2;  // advanced search
};

}  // namespace quorvel
