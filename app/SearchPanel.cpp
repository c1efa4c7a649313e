#include "SearchPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "PriceSpinEdit.h"
#include "QueryFormat.h"
#include "Vocabulary.h"

namespace quorvel {

SearchPanel::SearchPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::Box | QFrame::Plain);  // a flat one-pixel bevel
    setFrameShadow(QFrame::Plain);
    QPalette edge = palette();
    edge.setColor(QPalette::WindowText, edge.color(QPalette::Mid));
    setPalette(edge);
    // Lists drop down as scrolling lists of the given height in every style.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; } QCheckBox { spacing: 2px; }"));

    Label1 = label("Label1", QStringLiteral("关键字"), {7, 10, 36, 13});
    Label2 = label("Label2", QStringLiteral("价格区间"), {357, 10, 48, 13});
    Label3 = label("Label3", QStringLiteral("所在地"), {7, 34, 36, 13});
    Label5 = label("Label5", QStringLiteral("排序方式"), {197, 34, 48, 13});
    Label4 = label("Label4", QStringLiteral("信用范围"), {357, 34, 48, 13});

    m_keyword = new QLineEdit(QString::fromUtf8(DefaultKeyword.data(), static_cast<qsizetype>(DefaultKeyword.size())), this);
    m_keyword->setObjectName(QStringLiteral("m_keyword"));
    m_keyword->setGeometry(47, 7, 133, 21);

    m_cid = list("m_cid", CategoryTable(), {181, 7, 170, 21}, 20, 0);

    m_sp = new PriceSpinEdit(this);
    m_sp->setObjectName(QStringLiteral("m_sp"));
    m_sp->setGeometry(408, 7, 67, 22);
    m_sp->setValue(PriceSpinEdit::MinValue);
    m_ep = new PriceSpinEdit(this);
    m_ep->setObjectName(QStringLiteral("m_ep"));
    m_ep->setGeometry(477, 7, 67, 22);
    m_ep->setValue(PriceSpinEdit::MaxValue);

    m_loc = list("m_loc", LocationTable(), {47, 31, 72, 21}, 20, 0);
    m_co = check("m_co", ServiceFilter::CashOnDelivery, {122, 31, 67, 22});
    m_sort = list("m_sort", SortTable(), {251, 31, 100, 21}, 8, 0);
    m_sc = list("m_sc", CreditTable(), {408, 31, 67, 21}, 20, 0);
    m_ec = list("m_ec", CreditTable(), {477, 31, 67, 21}, 20, HighestCreditRow);
    m_rd = check("m_rd", ServiceFilter::AsDescribed, {548, 6, 67, 14});
    m_gu = check("m_gu", ServiceFilter::Guarantee, {621, 6, 67, 14});
    m_sr = check("m_sr", ServiceFilter::SevenDayReturn, {548, 23, 67, 14});
    m_or = check("m_or", ServiceFilter::ThirtyDayRepair, {621, 23, 67, 14});
    m_oi = check("m_oi", ServiceFilter::Overseas, {548, 40, 67, 14});
    m_mall = check("m_mall", ServiceFilter::Mall, {621, 40, 67, 14});

    m_soso = new QPushButton(QStringLiteral("快速搜索"), this);
    m_soso->setObjectName(QStringLiteral("m_soso"));
    m_soso->setGeometry(694, 6, 67, 24);
    m_soso->setEnabled(false);
    m_soso2 = new QPushButton(QStringLiteral("高级搜索"), this);
    m_soso2->setObjectName(QStringLiteral("m_soso2"));
    m_soso2->setGeometry(694, 30, 67, 24);
    // Enter on a focused button presses that button, as on any form.
    m_soso->setAutoDefault(true);
    m_soso2->setAutoDefault(true);

    const QList<QWidget*> order = tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

QList<QWidget*> SearchPanel::tabOrder() const {
    return {m_keyword, m_cid, m_sp, m_ep, m_loc, m_co, m_sort, m_sc, m_ec,
            m_rd, m_gu, m_sr, m_or, m_oi, m_mall, m_soso, m_soso2};
}

QLabel* SearchPanel::label(const char* name, const QString& caption, QRect geometry) {
    auto* l = new QLabel(caption, this);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    return l;
}

QComboBox* SearchPanel::list(const char* name, const VocabularyTable& table, QRect geometry, int visible,
                             int selected) {
    auto* box = new QComboBox(this);  // not editable: pick only, always a valid selection
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    for (const auto& row : table.rows()) {
        box->addItem(QString::fromUtf8(row.display.data(), static_cast<qsizetype>(row.display.size())));
    }
    box->setMaxVisibleItems(visible);
    box->setCurrentIndex(selected);
    return box;
}

QCheckBox* SearchPanel::check(const char* name, ServiceFilter filter, QRect geometry) {
    // The caption is the filter's own, from the vocabulary the page uses too.
    const std::string_view caption = ServiceFilterTable()[static_cast<std::size_t>(filter)].caption;
    auto* box = new QCheckBox(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    return box;
}

QCheckBox* SearchPanel::checkFor(ServiceFilter filter) const {
    switch (filter) {
    case ServiceFilter::Overseas: return m_oi;
    case ServiceFilter::CashOnDelivery: return m_co;
    case ServiceFilter::AsDescribed: return m_rd;
    case ServiceFilter::SevenDayReturn: return m_sr;
    case ServiceFilter::Mall: return m_mall;
    case ServiceFilter::ThirtyDayRepair: return m_or;
    case ServiceFilter::Guarantee: return m_gu;
    }
    return nullptr;
}

SearchSettings SearchPanel::readSettings() const {
    SearchSettings s;
    s.keywordText = m_keyword->text().toStdString();
    s.categoryIndex = m_cid->currentIndex();
    s.categoryText = m_cid->currentText().toStdString();
    s.priceFrom = m_sp->value();
    s.priceTo = m_ep->value();
    s.locationIndex = m_loc->currentIndex();
    s.locationText = m_loc->currentText().toStdString();
    s.sortIndex = m_sort->currentIndex();
    s.creditFrom = m_sc->currentIndex();
    s.creditTo = m_ec->currentIndex();
    for (const auto& row : ServiceFilterTable()) s.filter(row.filter) = checkFor(row.filter)->isChecked();
    return s;
}

void SearchPanel::writePriceRange(int from, int to) {
    m_sp->setValue(from);
    m_ep->setValue(to);
}

void SearchPanel::writeCreditRange(int fromIndex, int toIndex) {
    m_sc->setCurrentIndex(fromIndex);
    m_ec->setCurrentIndex(toIndex);
}

}  // namespace quorvel
