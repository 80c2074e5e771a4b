#include "platform/Ajustes.h"

namespace {
const QString Seccion = QStringLiteral("ParamInicio");
}

Ajustes::Ajustes() : s_(std::make_unique<QSettings>(QStringLiteral("VELMORAN"), QStringLiteral("VELMORAN"))) {}

Ajustes::Ajustes(const QString &archivoIni) : s_(std::make_unique<QSettings>(archivoIni, QSettings::IniFormat)) {}

QString Ajustes::Lee(const QString &clave) const
{
    const QVariant v = s_->value(Seccion + QLatin1Char('/') + clave);
    return v.isValid() ? v.toString() : QString();
}

bool Ajustes::Escribe(const QString &clave, const QString &valor)
{
    s_->setValue(Seccion + QLatin1Char('/') + clave, valor);
    s_->sync();
    return s_->status() == QSettings::NoError;
}
