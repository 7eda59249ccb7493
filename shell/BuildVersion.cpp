#include "BuildVersion.h"

#include "CalvaroVersion.h"
#include "ProgramVersion.h"

QString NormaliseBuildVersion(const QString& raw) {
    return QString::fromStdString(NormaliseVersion(raw.toStdString()));
}

QString GetBuildVersion() {
    return NormaliseBuildVersion(QStringLiteral(CALVARO_PROJECT_VERSION));
}
