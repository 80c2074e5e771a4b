#include "events/CIE10.h"

#include "platform/BaseDatos.h"
#include "platform/Mensajes.h"
#include "platform/SentenciaSqlite.h"

namespace {

bool Marca(const QVariant &v, QChar letra)
{
    return v.toString().trimmed().compare(QString(letra), Qt::CaseInsensitive) == 0;
}

// The rank of an age-limit unit letter: H 0, D 1, M 2, A 3; -1 for no limit.
int RangoUnidadEdad(const QString &letra)
{
    static const QString unidades = QStringLiteral("HDMA");
    if (letra.size() != 1)
        return -1;
    return int(unidades.indexOf(letra.toUpper()));
}

// An age limit "005A": the unit's rank from its last character and the number
// of its first three; a blank limit has no rank.
struct LimiteEdad {
    int rango;
    int edad;
};

LimiteEdad Limite(const QVariant &v)
{
    const QString t = v.toString().trimmed();
    return {RangoUnidadEdad(t.right(1)), t.left(3).toInt()};
}

} // namespace

Descripcion NombreCIE10(const BaseDatos &bd, Mensajes &mensajes, const QString &codigo)
{
    if (codigo.trimmed().isEmpty())
        return {Descripcion::Hallazgo::Encontrado, QString()};
    try {
        SentenciaSqlite q(bd, QStringLiteral("SELECT nombre FROM CATCIE10 WHERE Causa = ?"), {codigo});
        if (q.Paso())
            return {Descripcion::Hallazgo::Encontrado, q.Valor(0).toString()};
        mensajes.Beep();
        return {Descripcion::Hallazgo::NoEncontrado, CveInexistente()};
    } catch (const ErrorBD &) {
        return {Descripcion::Hallazgo::Error, QString()};
    }
}

VeredictoCIE10 ConsultaCIE10(const BaseDatos &bd, const QString &codigo, const PacienteCIE10 &p)
{
    QVariantList fila;
    try {
        // Both sides trimmed, as a received catalog may pad its codes with
        // blanks; the two ranges keep the search on the key's index: codes
        // that begin with the code (trailing blanks) and codes that begin
        // with a blank.
        const QString c = codigo.trimmed();
        SentenciaSqlite q(bd, QStringLiteral("SELECT lsex, linf, lsup, errad, no_aph, Actualizac FROM CATCIE10 "
                                             "WHERE ((Causa >= ? AND Causa < ?) OR Causa < '!') AND trim(Causa) = ? COLLATE NOCASE"),
                          {c, c + QLatin1Char('!'), c});
        if (!q.Paso())
            return VeredictoCIE10::NoExiste;
        for (int i = 0; i < 6; ++i)
            fila << q.Valor(i);
    } catch (const ErrorBD &) {
        return VeredictoCIE10::Error;
    }
    if (Marca(fila[5], QLatin1Char('B')))
        return VeredictoCIE10::Baja;
    if (p.sexo) {
        const QString sexo = fila[0].toString().trimmed();
        if ((sexo == QLatin1String("1") && *p.sexo == 2) || (sexo == QLatin1String("2") && *p.sexo == 1))
            return VeredictoCIE10::Sexo;
    }
    if (p.claveEdad && p.edad) {
        // The age unit's code is also its rank (0 hours .. 3 years); 9, not
        // specified, ranks above every unit.
        const int unidad = *p.claveEdad;
        const LimiteEdad inf = Limite(fila[1]);
        if (inf.rango >= 0 && (unidad < inf.rango || (unidad == inf.rango && *p.edad < inf.edad)))
            return VeredictoCIE10::Edad;
        const LimiteEdad sup = Limite(fila[2]);
        if (sup.rango >= 0 && (unidad > sup.rango || (unidad == sup.rango && *p.edad > sup.edad)))
            return VeredictoCIE10::Edad;
    }
    if (Marca(fila[4], QLatin1Char('T')))
        return VeredictoCIE10::NoAfeccionPrincipal;
    if (Marca(fila[3], QLatin1Char('T')))
        return VeredictoCIE10::Erradicada;
    return VeredictoCIE10::Aceptado;
}
