// The record store's ICD-10 checks of the sheet's diagnosis fields and the
// diagnosis work table TMPGRIDAFEC.
#include "events/modEvento.h"

#include "platform/SentenciaSqlite.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

#include <sqlite3.h>

namespace {

std::optional<int> Entero16(const QString &texto)
{
    bool ok = false;
    const short n = texto.trimmed().toShort(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

} // namespace

// ---------------------------------------------------------------------------
// ICD-10

Descripcion modEvento::NombreCIE10(const QString &codigo) const
{
    return ::NombreCIE10(ctx_.ConexionBD, ctx_.mensajes, codigo);
}

VeredictoCIE10 modEvento::ConsultaCIE10(const QString &codigo) const
{
    return ::ConsultaCIE10(ctx_.ConexionBD, codigo,
                           {Entero16(hoja_.Texto(38)), Entero16(hoja_.Texto(37)), Entero16(hoja_.Texto(36))});
}

bool modEvento::ValidaDiagnostico(const QString &codigoDado, int campo)
{
    const QString titulo = TituloHojaRegistro();
    const QString codigo = codigoDado.trimmed();
    auto rechaza = [&](const QString &texto, const QString &t) {
        ctx_.mensajes.Muestra(texto, Mensajes::Icono::Informacion, t);
        return false;
    };
    if (codigo.isEmpty()) {
        const QString t = titulo + QStringLiteral(" - 11");
        if (campo == 77)
            return rechaza(QStringLiteral("No ha capturado la Reselección de la Afección Principal, verifique por favor....."), t);
        if (campo == 78)
            return rechaza(QStringLiteral("No ha capturado El Diagnóstico Externa, verifique por favor....."), t);
        return rechaza(QStringLiteral("No ha capturado el Diagnóstico, verifique por favor....."), t);
    }
    if (codigo.size() < 4)
        return rechaza(QStringLiteral("El Diagnostico debe ser de 4 dígitos, verifique por favor....."), titulo);

    // A letter names a chapter; a code beginning with anything else (a digit)
    // is left to the catalog, which says whether it exists.
    const QChar letra = codigo.at(0).toUpper();
    const bool capitulo = letra >= QLatin1Char('A') && letra <= QLatin1Char('Z');
    if (capitulo && campo == 78 && !QStringLiteral("VWXY").contains(letra))
        return rechaza(QStringLiteral("El Diagnóstico debe pertenecer al capítulo XX; verifique por favor....."),
                       titulo);
    if (capitulo && campo != 78 && !QStringLiteral("FOST").contains(letra))
        return rechaza(QStringLiteral("El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos "
                                      "de obstetricia; verifique por favor....."),
                       titulo);

    const QString diag = QStringLiteral("El Diagnóstico ") + codigo;
    switch (ConsultaCIE10(codigo)) {
    case VeredictoCIE10::Aceptado:
        break;
    case VeredictoCIE10::Sexo:
        return rechaza(diag + QStringLiteral(" no es valida para el sexo del paciente, verifique por favor....."), titulo);
    case VeredictoCIE10::Edad:
        return rechaza(diag + QStringLiteral(" no es valida para la edad, verifique por favor....."), titulo);
    case VeredictoCIE10::Erradicada:
        if (!ctx_.mensajes.Pregunta(QStringLiteral("Se trata de una Causa erradicada,\n¿Desea continuar?"),
                                    Mensajes::Icono::Pregunta, titulo))
            return false;
        break;
    case VeredictoCIE10::NoAfeccionPrincipal:
        if (campo == 77)
            return rechaza(QStringLiteral("No se acepta El Diagnóstico ") + codigo
                               + QStringLiteral(" como afección principal, verifique por favor....."),
                           titulo);
        break;
    case VeredictoCIE10::NoExiste:
        return rechaza(QLatin1Char(' ') + diag + QStringLiteral(" no existe en la lista detallada, verifique por favor....."),
                       titulo);
    case VeredictoCIE10::Baja:
        return rechaza(QLatin1Char(' ') + diag + QStringLiteral(" es una categoría dada de baja, verifique por favor....."),
                       titulo);
    case VeredictoCIE10::Error:
        return rechaza(QStringLiteral("No se pudo consultar el Catálogo de Diagnósticos CIE-10, verifique por favor....."),
                       titulo);
    }
    if (campo != 78 && letra == QLatin1Char('O') && hoja_.Texto(39).trimmed() != QLatin1String("1"))
        return rechaza(QLatin1Char(' ') + diag
                           + QStringLiteral(" no puede ser registrado si la paciente no esta embarazada, verifique por favor....."),
                       titulo);
    return true;
}

// ---------------------------------------------------------------------------
// Diagnosis work table

void modEvento::AseguraTmpGridAfec() const
{
    // In the working database, so that closing and opening the connection
    // again (compaction, backup) keeps the list of a capture in progress.
    Accion(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS main.TMPGRIDAFEC (NUMAFEC INTEGER, AFECCION TEXT(4) COLLATE NOCASE)"));
    const quint64 apertura = ctx_.ConexionBD.Apertura();
    if (apertura == hoja_.AperturaAfecciones)
        return;
    // Another opening may stand on another file, or on what a crash left:
    // the list the sheet shows is the one the user works on.
    const QList<FilaAfeccion> filas = hoja_.Afecciones();
    const bool enTransaccion = !sqlite3_get_autocommit(ctx_.ConexionBD.Manejador());
    if (FilasTmp() != filas) {
        std::optional<Transaccion> t;
        if (!enTransaccion)
            t.emplace(ctx_.ConexionBD, Transaccion::Alcance::Trabajo);
        Accion(QStringLiteral("DELETE FROM TMPGRIDAFEC"));
        for (const FilaAfeccion &f : filas)
            Accion(QStringLiteral("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) VALUES (?, ?)"), {f.numafec, f.afeccion});
        if (t)
            t->Confirma();
    }
    // Inside a caller's transaction a rollback may undo this: checked again next time.
    if (!enTransaccion)
        hoja_.AperturaAfecciones = apertura;
}

bool modEvento::RefrescaGridAfecciones()
{
    // The event's diagnoses, in the order stored.
    QString sql = QStringLiteral("SELECT Orden, CodDiagnostico FROM D_Diagnosticos WHERE CLUES = ? AND Folio = ?");
    QVariantList v{hoja_.Texto(23), ValorEntero(hoja_.Texto(22))};
    if (!hoja_.FechaEnBlanco(1)) {
        sql += QStringLiteral(" AND fechaAtencion = ?");
        v << FechaSQL(hoja_.Fecha(1));
    }
    sql += QStringLiteral(" ORDER BY Orden");
    const auto muestra = [this](const QList<FilaAfeccion> &filas) {
        hoja_.PonAfecciones(filas);
        hoja_.PonTexto(76, filas.isEmpty() ? QString() : filas.first().afeccion);
    };
    const bool editado = hoja_.GridAfeccionesEditado;
    try {
        // An event read while browsing or filtering never waits for another
        // program's lock: its list is then read straight, below.
        std::optional<SinEspera> sinEspera;
        if (!editado)
            sinEspera.emplace();
        AseguraTmpGridAfec();
        QList<FilaAfeccion> filas = FilasTmp();
        // A table that already holds the stored list (the event just saved
        // from it) is not written again.
        if (!editado) {
            if (QList<FilaAfeccion> guardadas = LeeFilas(sql, v); filas != guardadas) {
                // Rows go in by Orden, so that list order is the stored order.
                Transaccion t(ctx_.ConexionBD, Transaccion::Alcance::Trabajo);
                Accion(QStringLiteral("DELETE FROM TMPGRIDAFEC"));
                Accion(QStringLiteral("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) ") + sql, v);
                t.Confirma();
                filas = std::move(guardadas);
            }
        }
        muestra(filas);
        return true;
    } catch (const ErrorBD &) {
        ctx_.mensajes.Beep();
    }
    // The work table could not be written (another program holds the
    // database's lock): the list still shows the event's own diagnoses, read
    // straight, and the work table is written from it before its next use,
    // so that a save never takes the former event's list.
    if (editado)
        return false;
    try {
        muestra(LeeFilas(sql, v));
        hoja_.AperturaAfecciones = 0;
    } catch (const ErrorBD &) {
    }
    return false;
}

QList<FilaAfeccion> modEvento::LeeFilas(const QString &sql, const QVariantList &valores) const
{
    QList<FilaAfeccion> filas;
    SentenciaSqlite q(ctx_.ConexionBD, sql, valores);
    while (q.Paso())
        filas.append({q.Valor(0).toInt(), q.Texto(1)});
    return filas;
}

QList<FilaAfeccion> modEvento::FilasTmp() const
{
    return LeeFilas(QStringLiteral("SELECT NUMAFEC, AFECCION FROM TMPGRIDAFEC ORDER BY rowid"));
}

std::optional<QList<FilaAfeccion>> modEvento::LeeAfecciones() const
{
    try {
        {
            const SinEspera sinEspera;
            AseguraTmpGridAfec();
        }
        return FilasTmp();
    } catch (const ErrorBD &e) {
        // Another program's lock keeps the work table from taking the
        // sheet's list now: that list is what the table will hold at its
        // next use (a save writes it under its own wait for the lock).
        if (e.Ocupada() && hoja_.AperturaAfecciones != ctx_.ConexionBD.Apertura())
            return hoja_.Afecciones();
        return std::nullopt;
    }
}

bool modEvento::AgregaAfeccion(const QString &codigo)
{
    try {
        AseguraTmpGridAfec();
        Accion(QStringLiteral("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) "
                              "SELECT CASE WHEN max(NUMAFEC) > 0 THEN max(NUMAFEC) + 1 ELSE 1 END, ? FROM TMPGRIDAFEC"),
               {codigo.trimmed()});
        return true;
    } catch (const ErrorBD &) {
        return false;
    }
}

bool modEvento::ModificaAfeccion(int numafec, const QString &codigo)
{
    try {
        AseguraTmpGridAfec();
        return Accion(QStringLiteral("UPDATE TMPGRIDAFEC SET AFECCION = ? WHERE NUMAFEC = ?"),
                      {codigo.trimmed(), numafec})
               > 0;
    } catch (const ErrorBD &) {
        return false;
    }
}

bool modEvento::BorraAfeccion(int numafec)
{
    try {
        AseguraTmpGridAfec();
        return Accion(QStringLiteral("DELETE FROM TMPGRIDAFEC WHERE NUMAFEC = ?"), {numafec}) > 0;
    } catch (const ErrorBD &) {
        return false;
    }
}

bool modEvento::PonAfeccionesTmp(const QStringList &codigos)
{
    try {
        AseguraTmpGridAfec();
        Transaccion t(ctx_.ConexionBD, Transaccion::Alcance::Trabajo);
        Accion(QStringLiteral("DELETE FROM TMPGRIDAFEC"));
        for (int i = 0; i < codigos.size(); ++i)
            Accion(QStringLiteral("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) VALUES (?, ?)"),
                   {i + 1, codigos[i].trimmed()});
        t.Confirma();
        return true;
    } catch (const ErrorBD &) {
        return false;
    }
}
