#pragma once

#include <optional>

#include <QString>
#include <QVariant>

namespace quorvel {

// Turns what the results page answered into a tab index by the rules the
// program relies on: numbers round half to even, numeric text is read as its
// number, undefined is 0; null, booleans, objects, NaN, infinities and values
// outside a 32-bit signed integer fail (nullopt).
class PageResultConverter {
public:
    // report is the map the call wrapper returns: {outcome, type, number?, text?}.
    static std::optional<int> fromReport(const QVariant& report);
    static std::optional<int> fromNumber(double value);
    static std::optional<int> fromText(const QString& text);
};

}  // namespace quorvel
