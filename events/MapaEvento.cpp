#include "events/MapaEvento.h"

#include "events/HojaDatos.h"
#include "platform/BaseDatos.h"
#include "platform/FechaTexto.h"
#include "shell/modGeneral.h"

#include <optional>
#include <sqlite3.h>

namespace {

std::vector<ColumnaEvento> Construye()
{
    using T = TipoValor;
    using L = FormatoLectura;
    return {
        {"Clues", T::Texto, 23, 0, L::TalCual, false},
        {"Folio", T::Folio, 22, 0, L::Folio, false},
        {"fechaAtencion", T::Fecha, 1, 0, L::Fecha, false},
        {"Paterno", T::Texto, 29, 0, L::TalCual, true},
        {"Materno", T::Texto, 30, 0, L::TalCual, true},
        {"Nombre", T::Texto, 31, 0, L::TalCual, true},
        {"CURP", T::Texto, 32, 0, L::TalCual, true},
        {"Afiliacion", T::Texto, 33, 34, L::Afiliacion, true},
        {"Expediente", T::Texto, 35, 0, L::TalCual, true},
        {"CodClaveEdad", T::Numero, 37, 0, L::TalCual, true},
        {"Edad", T::Numero, 36, 0, L::TalCual, true},
        {"CodSexo", T::Numero, 38, 0, L::TalCual, true},
        {"CodEmbarazada", T::NumeroONulo, 39, 0, L::TalCual, true},
        {"CodLeeEscribe", T::NumeroO2, 40, 0, L::TalCual, true},
        {"CodEscolaridad", T::NumeroONulo, 41, 0, L::TalCual, true},
        {"Calle", T::Texto, 42, 0, L::TalCual, true},
        {"EntreCalleUno", T::Texto, 43, 0, L::TalCual, true},
        {"EntreCalleDos", T::Texto, 44, 0, L::TalCual, true},
        {"Colonia", T::Texto, 45, 0, L::TalCual, true},
        {"CodEstado", T::Texto, 46, 0, L::TalCual, true},
        {"CodMunicipio", T::Texto, 47, 0, L::TalCual, true},
        {"CodLocalidad", T::Texto, 48, 0, L::TalCual, true},
        {"FechaOcurrencia", T::Fecha, 0, 0, L::Fecha, true},
        {"HoraOcurrencia", T::Hora, 49, 50, L::Hora, true},
        {"CodFestivo", T::Numero, 51, 0, L::TalCual, true},
        {"CodDiscapacidad", T::Numero, 52, 0, L::TalCual, true},
        {"CodIntencionalidad", T::Numero, 53, 0, L::TalCual, true},
        {"CodVez", T::NumeroONulo, 54, 0, L::TalCual, true},
        {"CodSitio", T::Numero, 55, 0, L::TalCual, true},
        {"CodAgente", T::Numero, 56, 0, L::TalCual, true},
        {"CodLesionadoVehiculo", T::NumeroONulo, 57, 0, L::TalCual, true},
        {"CodUsoSeguridad", T::NumeroONulo, 58, 0, L::TalCual, true},
        {"CodEquipo", T::NumeroONulo, 59, 0, L::TalCual, true},
        {"CodArea", T::Numero, 60, 0, L::TalCual, true},
        {"CodConsecuencia", T::Numero, 61, 0, L::TalCual, true},
        {"CodPrehospitalaria", T::Numero, 62, 0, L::TalCual, true},
        {"HorasTraslado", T::NumeroONulo, 63, 0, L::DosDigitos, true},
        {"MinutosTraslado", T::NumeroONulo, 64, 0, L::DosDigitos, true},
        {"CodAgresor", T::NumeroONulo, 65, 0, L::TalCual, true},
        {"EdadAgresor", T::NumeroONulo, 66, 0, L::TalCual, true},
        {"CodSexoAgresor", T::NumeroONulo, 67, 0, L::TalCual, true},
        {"CodParentescoAgresor", T::NumeroONulo, 68, 0, L::TalCual, true},
        {"HoraAtencion", T::Hora, 69, 70, L::Hora, true},
        {"CodServicio", T::Numero, 71, 0, L::TalCual, true},
        {"HorasUrgencias", T::NumeroONulo, 72, 0, L::DosDigitos, true},
        {"MinutosUrgencias", T::NumeroONulo, 73, 0, L::DosDigitos, true},
        {"CodReferido", T::Numero, 74, 0, L::TalCual, true},
        {"CodDestino", T::Numero, 75, 0, L::TalCual, true},
        {"CodAfecprin", T::Texto, 77, 0, L::TalCual, true},
        {"CodCausaExt", T::Texto, 78, 0, L::TalCual, true},
        {"CodMP", T::Numero, 79, 0, L::TalCual, true},
        {"CodResponsable", T::Numero, 80, 0, L::TalCual, true},
        {"NombreResponsable", T::Texto, 81, 0, L::TalCual, true},
        {"FechaCaptura", T::Hoy, 0, 0, L::NoSeLee, false},
        {"FechaEdicion", T::Hoy, 0, 0, L::NoSeLee, true},
    };
}

// A whole number written bare (blanks around it allowed), or no value.
std::optional<qlonglong> Entero(const QString &texto)
{
    bool ok = false;
    const qlonglong n = texto.trimmed().toLongLong(&ok);
    return ok ? std::optional<qlonglong>(n) : std::nullopt;
}

[[noreturn]] void Rechaza(const ColumnaEvento &c, const QString &texto, const QString &esperado)
{
    throw ErrorBD(SQLITE_MISMATCH,
                  QStringLiteral("El campo %1 (%2) debe contener %3; contiene \"%4\"")
                      .arg(c.campo)
                      .arg(QString::fromLatin1(c.columna), esperado, texto));
}

} // namespace

const std::vector<ColumnaEvento> &ColumnasEvento()
{
    static const std::vector<ColumnaEvento> columnas = Construye();
    return columnas;
}

QString ListaColumnasEvento()
{
    static const QString lista = [] {
        QStringList nombres;
        for (const ColumnaEvento &c : ColumnasEvento())
            nombres << QString::fromLatin1(c.columna);
        return nombres.join(QLatin1Char(','));
    }();
    return lista;
}

QVariant ValorColumna(const ColumnaEvento &c, const HojaDatos &hoja, const QDate &hoy)
{
    switch (c.tipo) {
    case TipoValor::Texto:
        return hoja.Texto(c.campo) + (c.campo2 ? hoja.Texto(c.campo2) : QString());
    case TipoValor::Numero:
    case TipoValor::NumeroONulo:
    case TipoValor::NumeroO2: {
        const QString t = hoja.Texto(c.campo);
        if (t.trimmed().isEmpty()) {
            if (c.tipo == TipoValor::NumeroONulo)
                return QVariant(QMetaType::fromType<qlonglong>());
            if (c.tipo == TipoValor::NumeroO2)
                return qlonglong(2);
        }
        const std::optional<qlonglong> n = Entero(t);
        if (!n)
            Rechaza(c, t, QStringLiteral("un número"));
        return *n;
    }
    case TipoValor::Folio:
        return qlonglong(ValorEntero(hoja.Texto(c.campo)));
    case TipoValor::Fecha: {
        const QString t = hoja.Fecha(c.campo);
        const QDate d = FechaDeTexto(t);
        if (!d.isValid())
            throw ErrorBD(SQLITE_MISMATCH,
                          QStringLiteral("La fecha %1 (%2) no es una fecha válida (dd/mm/aaaa): \"%3\"")
                              .arg(c.campo == 0 ? QStringLiteral("de ocurrencia") : QStringLiteral("de atención"),
                                   QString::fromLatin1(c.columna), t));
        return d.toString(Qt::ISODate);
    }
    case TipoValor::Hora:
        return hoja.Texto(c.campo) + QLatin1Char(':') + hoja.Texto(c.campo2);
    case TipoValor::Hoy:
        return hoy.toString(Qt::ISODate);
    }
    return QVariant();
}

QVariantList ValoresEvento(const HojaDatos &hoja, const QDate &hoy, bool actualizacion, QStringList *columnas)
{
    QVariantList valores;
    for (const ColumnaEvento &c : ColumnasEvento()) {
        if (actualizacion && !c.enActualizacion)
            continue;
        valores << ValorColumna(c, hoja, hoy);
        if (columnas)
            *columnas << QString::fromLatin1(c.columna);
    }
    return valores;
}

QVariant CodigoElemento(const QString &textoElemento, bool esTexto)
{
    const QString codigo = textoElemento.left(2).trimmed();
    if (esTexto)
        return codigo;
    return qlonglong(ValorEntero(codigo));
}

QString FormatoFolio(qint64 folio)
{
    return QStringLiteral("%1").arg(folio, 8, 10, QLatin1Char('0'));
}

QString FormatoDosDigitos(const QString &valor)
{
    const std::optional<qlonglong> n = Entero(valor);
    if (!n)
        return valor.trimmed().isEmpty() ? QString() : valor;
    return QStringLiteral("%1").arg(*n, 2, 10, QLatin1Char('0'));
}
