#include "PriceSpinEdit.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

namespace quorvel {

PriceSpinEdit::PriceSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    lineEdit()->setText(QStringLiteral("0"));
    // Eight digits must fit beside the arrows in the stored width.
    QFont narrow = font();
    narrow.setStretch(QFont::Condensed);
    narrow.setLetterSpacing(QFont::AbsoluteSpacing, -0.3);
    setFont(narrow);
}

int PriceSpinEdit::value() const {
    bool ok = false;
    const int v = text().trimmed().toInt(&ok, 10);  // accepts a sign; rejects fractions and overflow
    return ok ? v : MinValue;
}

void PriceSpinEdit::setValue(int v) {
    lineEdit()->setText(QString::number(std::clamp(v, MinValue, MaxValue)));
}

void PriceSpinEdit::stepBy(int steps) {
    const long long next = static_cast<long long>(value()) + steps;
    setValue(static_cast<int>(std::clamp<long long>(next, MinValue, MaxValue)));
    selectAll();
}

QValidator::State PriceSpinEdit::validate(QString&, int&) const {
    // Typed characters are filtered in keyPressEvent; any text may stand,
    // since text that is not a number reads as 0.
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled PriceSpinEdit::stepEnabled() const {
    const int v = value();
    StepEnabled enabled = StepNone;
    if (v < MaxValue) enabled |= StepUpEnabled;
    if (v > MinValue) enabled |= StepDownEnabled;
    return enabled;
}

void PriceSpinEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool control = typed.isEmpty() || !typed.at(0).isPrint() ||
                         (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!control) {
        const QString allowed = QStringLiteral("0123456789+-") + QLocale().decimalPoint();
        for (const QChar c : typed) {
            if (!allowed.contains(c)) {
                event->accept();  // refused, and not passed on
                return;
            }
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void PriceSpinEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    setValue(value());
}

}  // namespace quorvel
