#pragma once

#include <QFrame>

#include "SearchForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quorvel {

class PriceSpinEdit;
class VocabularyTable;

// Panel1: the search form at the top of the window. Its lists are filled from
// the search vocabulary; a list's selected index is the vocabulary row.
class SearchPanel : public QFrame, public SearchForm {
    Q_OBJECT
public:
    explicit SearchPanel(QWidget* parent = nullptr);

    SearchSettings readSettings() const override;
    void writePriceRange(int from, int to) override;
    void writeCreditRange(int fromIndex, int toIndex) override;

    // The controls in tab order.
    QList<QWidget*> tabOrder() const;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* m_keyword;
    QComboBox* m_cid;
    PriceSpinEdit* m_sp;
    PriceSpinEdit* m_ep;
    QComboBox* m_loc;
    QCheckBox* m_co;
    QComboBox* m_sort;
    QComboBox* m_sc;
    QComboBox* m_ec;
    QCheckBox* m_rd;
    QCheckBox* m_gu;
    QCheckBox* m_sr;
    QCheckBox* m_or;
    QCheckBox* m_oi;
    QCheckBox* m_mall;
    QPushButton* m_soso;   // quick search, disabled until the first page load
    QPushButton* m_soso2;  // advanced search

private:
    QLabel* label(const char* name, const QString& caption, QRect geometry);
    QComboBox* list(const char* name, const VocabularyTable& table, QRect geometry, int visible, int selected);
    QCheckBox* check(const char* name, ServiceFilter filter, QRect geometry);
    QCheckBox* checkFor(ServiceFilter filter) const;
};

}  // namespace quorvel
