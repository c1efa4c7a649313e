#include "PageResultConverter.h"

#include <cmath>
#include <limits>

#include <QRegularExpression>

namespace quorvel {

std::optional<int> PageResultConverter::fromNumber(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    double rounded = std::round(value);  // halves away from zero ...
    if (std::fabs(value - std::trunc(value)) == 0.5) {
        rounded = 2.0 * std::round(value / 2.0);  // ... except exact halves, which go to the even neighbour
    }
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

std::optional<int> PageResultConverter::fromText(const QString& text) {
    // A plain decimal number: no hex, no "Infinity", no empty text.
    static const QRegularExpression decimal(
        QStringLiteral(R"(^\s*[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?\s*$)"));
    if (!decimal.match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok) return std::nullopt;
    return fromNumber(value);
}

std::optional<int> PageResultConverter::fromReport(const QVariant& report) {
    const QVariantMap map = report.toMap();
    if (map.value(QStringLiteral("outcome")).toString() != QLatin1String("value")) return std::nullopt;
    const QString type = map.value(QStringLiteral("type")).toString();
    if (type == QLatin1String("undefined")) return 0;
    if (type == QLatin1String("number")) {
        const QVariant number = map.value(QStringLiteral("number"));
        if (!number.isValid() || map.value(QStringLiteral("finite")).toBool() == false) return std::nullopt;
        return fromNumber(number.toDouble());
    }
    if (type == QLatin1String("string")) return fromText(map.value(QStringLiteral("text")).toString());
    return std::nullopt;  // null, boolean, object, function, symbol, bigint
}

}  // namespace quorvel
