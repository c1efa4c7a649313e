#pragma once

#include <QAbstractSpinBox>

#include "QueryFormat.h"

namespace quorvel {

// The price fields. Unlike QSpinBox, the value is the text as typed: it is
// clamped to the range only when focus leaves or the program sets it, so a
// value typed above the maximum and followed by Enter is used as typed.
class PriceSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    static constexpr int MinValue = MinPrice;
    static constexpr int MaxValue = MaxPrice;

    explicit PriceSpinEdit(QWidget* parent = nullptr);

    // The text read as a decimal integer; text that is not one reads as MinValue.
    int value() const;
    // Clamped to MinValue ... MaxValue.
    void setValue(int value);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace quorvel
