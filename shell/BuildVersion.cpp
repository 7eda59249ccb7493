#include "BuildVersion.h"

#include "CalvaroVersion.h"

#include <QStringList>

QString NormaliseBuildVersion(const QString& raw) {
    static const QString kNone = QStringLiteral("0.0.0.0");
    const QString trimmed = raw.trimmed();
    if (trimmed.isEmpty()) return kNone;
    QStringList parts = trimmed.split(QLatin1Char('.'));
    if (parts.size() > 4) parts = parts.mid(0, 4);
    QStringList numbers;
    for (const QString& part : parts) {
        bool ok = false;
        // Each part is a 16-bit number in the program file's version block.
        const uint number = part.toUInt(&ok);
        if (!ok || number > 65535) return kNone;
        numbers << QString::number(number);
    }
    while (numbers.size() < 4)
        numbers << QStringLiteral("0");
    return numbers.join(QLatin1Char('.'));
}

QString GetBuildVersion() {
    return NormaliseBuildVersion(QStringLiteral(CALVARO_PROJECT_VERSION));
}
