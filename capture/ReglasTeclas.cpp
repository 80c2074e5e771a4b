#include "capture/ReglasTeclas.h"

#include "lookups/Descripciones.h"
#include "shell/modGeneral.h"


namespace {

const QString Digitos = QStringLiteral("0123456789");
const QString Letras = QStringLiteral("ABCDEFGHIJKLMNÑOPQRSTUVWXYZ");

} // namespace

bool EscolaridadReducida(const QString &edad, const QString &unidad, const QString &leeEscribe)
{
    return (unidad == QLatin1String("3") && ValorEntero(edad.trimmed()) < 12) || leeEscribe == QLatin1String("2");
}

QString TeclasCampo(int indice, const QString &edad, const QString &unidad, const QString &leeEscribe,
                    const QString &intencionalidad, bool *espacio)
{
    if (espacio)
        *espacio = false;
    switch (indice) {
    case 22: case 33: case 34: case 36: case 46: case 47: case 48: case 49: case 50: case 55: case 56:
    case 60: case 61: case 63: case 64: case 66: case 69: case 70: case 72: case 73: case 75:
        return Digitos;
    case 23: case 32:
        return Digitos + Letras;
    case 29: case 30: case 31: case 81:
        if (espacio)
            *espacio = true;
        return Letras + QStringLiteral("./");
    case 35: case 42: case 43: case 44: case 45:
        if (espacio)
            *espacio = true;
        return Digitos + Letras + QStringLiteral("./-");
    case 37: return QStringLiteral("01239");
    case 38: case 39: case 40: case 52: case 65: case 67: return QStringLiteral("129");
    case 51: case 54: case 62: case 79: return QStringLiteral("12");
    case 53: return QStringLiteral("12345");
    case 57: case 58: case 80: return QStringLiteral("1239");
    case 59: return QStringLiteral("12349");
    case 71: return QStringLiteral("123459");
    case 74: return QStringLiteral("12345679");
    case 41:
        return EscolaridadReducida(edad, unidad, leeEscribe) ? QStringLiteral("1569") : QStringLiteral("1234569");
    case 68:
        if (intencionalidad == QLatin1String("2"))
            return QStringLiteral("1234569");
        if (intencionalidad == QLatin1String("3"))
            return QStringLiteral("78");
        return QString();
    case 76: case 77: case 78:
        return QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    default:
        return QString();
    }
}

bool CaracterPermitido(QChar c, const QString &permitidos, bool espacio)
{
    if (c == QLatin1Char(' '))
        return espacio;
    if (c == QLatin1Char('\b'))
        return true;
    return permitidos.contains(c.toUpper());
}

bool CodigosCampo(int indice, const QString &edad, const QString &unidad, const QString &leeEscribe,
                  const QString &intencionalidad, CodigosCatalogo *codigos)
{
    if (CatalogoDeCampo(indice).isEmpty())
        return false;
    CodigosCatalogo c;
    if (indice == 41 && EscolaridadReducida(edad, unidad, leeEscribe)) {
        c = {CodigosCatalogo::Modo::Solo, {1, 5, 6, 9}};
    } else if (indice == 68) {
        if (intencionalidad == QLatin1String("2"))
            c = {CodigosCatalogo::Modo::Excepto, {7, 8}};
        else if (intencionalidad == QLatin1String("3"))
            c = {CodigosCatalogo::Modo::Solo, {7, 8}};
        else
            return false;
    }
    if (codigos)
        *codigos = c;
    return true;
}
