// The criteria builder and the criteria's translation into one bound condition.
#include "platform/BaseDatos.h"
#include "queries/CriteriosConsulta.h"

#include <gtest/gtest.h>

namespace {

TEST(Criterios, CondicionSeEscribePorElTipoDelCampo)
{
    const struct {
        const char *antes, *campo, *operador, *valor;
        bool conY;
        const char *despues;
    } casos[] = {
        {"  E.Edad > 10  ", "E.FechaOcurrencia", "<", "05/02/2004", true, "E.Edad > 10\nAnd CDATE(E.FechaOcurrencia) < CDATE('05/02/2004')"},
        {"", "E.Paterno", "Like", "O'HARA", true, "E.Paterno Like 'O''HARA'"},
        {"   ", "F.Diagnosticos", "=", "S011", true, "F.Diagnosticos = 'S011'"},
        {"", "P.EfectosPaciente", "<>", "", true, "P.EfectosPaciente <> "},
        {"", "D.CodDerechohabiencia", "=", "", false, "D.CodDerechohabiencia = ''"},
        {"", "Causa", "=", "S011", true, "Causa = 'S011'"},
    };
    for (const auto &c : casos) {
        const CampoConsulta *campo = BuscaCampo(QString(c.campo).contains('.') ? OrigenConsulta::Hoja : OrigenConsulta::ListaCIE10, c.campo);
        ASSERT_NE(campo, nullptr) << c.campo;
        EXPECT_EQ(AgregaCondicion(c.antes, *campo, c.operador, c.valor, c.conY), c.despues);
    }
}

// One condition with every value bound; a quoted date compared with a date
// column is bound as an ISO date.
TEST(Criterios, TraduccionDaUnaCondicionConValoresAsociados)
{
    const struct {
        const char *criterio, *sql;
        const char *valores;   // joined by '|'
        const char *uniones;
    } casos[] = {
        {"e.paterno like 'O''HA*?'", "(E.Paterno LIKE ? COLLATE NOCASE)", "O'HA%_", ""},
        {"P.EfectosPaciente = 3 And P.EfectosAgresor = 4 Or F.Diagnosticos = 'S011'",
         "(P1.CodEfectos = ? AND P2.CodEfectos = ? OR F.CodDiagnostico = ? COLLATE NOCASE)", "3|4|S011", "P1,P2,F"},
        {"(D.CodDerechohabiencia IN ('1', \"2\") Or V.CodTipoViolencia Is Null) And T.CodTipoAtencion <> 1",
         "(( D.CodDerechohabiencia IN ( ? COLLATE NOCASE , ? COLLATE NOCASE ) OR V.CodTipoViolencia IS NULL ) AND T.CodTipoAtencion <> ?)",
         "1|2|1", "D,V,T"},
        {"Val(E.CURP) Between 1 And 2.5 And UCase(P.CodEfectos) = 1",
         "(VAL ( E.CURP ) BETWEEN ? AND ? AND UCASE ( P.CodEfectos ) = ?)", "1|2.5|1", "P"},
        {"Edad > 3", "(E.Edad > ?)", "3", ""},
        {"E.fechaAtencion >= '01/06/2026'", "(E.fechaAtencion >= ?)", "2026-06-01", ""},
        {"'15/06/2026' = E.FechaOcurrencia", "(? = E.FechaOcurrencia)", "2026-06-15", ""},
        {"CDATE(F.fechaAtencion) <> '1/6/2026'", "(F.fechaAtencion <> ?)", "2026-06-01", "F"},
        {"E.fechaAtencion Between '01/06/2026' And '30/06/2026'", "(E.fechaAtencion BETWEEN ? AND ?)", "2026-06-01|2026-06-30", ""},
        {"E.Paterno = '01/06/2026'", "(E.Paterno = ? COLLATE NOCASE)", "01/06/2026", ""},
        // A day number beside a date is that day (and its time), as dates are stored.
        {"E.fechaAtencion > 45000", "(E.fechaAtencion > ?)", "2023-03-15", ""},
        {"45000.5 <= CDate(E.FechaOcurrencia)", "(? <= E.FechaOcurrencia)", "2023-03-15 12:00:00", ""},
        {"E.fechaAtencion Not Between -1 And 45000", "(E.fechaAtencion NOT BETWEEN ? AND ?)", "1899-12-29|2023-03-15", ""},
        {"F.fechaAtencion Not In (45000, '16/03/2023')", "(F.fechaAtencion NOT IN ( ? , ? ))", "2023-03-15|2023-03-16", "F"},
        {"CDate(45000) = CDate('15/03/2023')", "(CDATE ( ? ) = ?)", "45000|2023-03-15", ""},
        {"CDate(E.Edad) >= 45000", "(CDATE ( E.Edad ) >= ?)", "2023-03-15", ""},
        {"E.Edad > 45000 And Year(E.fechaAtencion) = 2023", "(E.Edad > ? AND YEAR ( E.fechaAtencion ) = ?)", "45000|2023", ""},
        // Beside a date as the grammar groups it: parentheses, signs and
        // functions of numbers give the day; an IIf with a date gives a date.
        {"E.fechaAtencion > (45000)", "(E.fechaAtencion > ?)", "2023-03-15", ""},
        {"(E.fechaAtencion) > Abs(-45000)", "(( E.fechaAtencion ) > ?)", "2023-03-15", ""},
        {"E.fechaAtencion In ((45000), 45001)", "(E.fechaAtencion IN ( ? , ? ))", "2023-03-15|2023-03-16", ""},
        {"IIf(E.Edad > 1, F.fechaAtencion, 45000) > '01/01/2004'", "(iif ( E.Edad > ? , F.fechaAtencion , ? ) > ?)",
         "1|2023-03-15|2004-01-01", "F"},
        {"Left(IIf(E.Edad > 1, E.fechaAtencion, Null), 2) = '15'",
         "(\"LEFT\" ( strftime('%d/%m/%Y', iif ( E.Edad > ? , E.fechaAtencion , NULL )) , ? ) = ? COLLATE NOCASE)", "1|2|15", ""},
        {"E.Edad > 99999999999999999999", "(E.Edad > ?)", "1e+20", ""},
        {"E.Paterno Like ('PE*') Or E.Edad Not Null", "(E.Paterno LIKE ? COLLATE NOCASE OR E.Edad NOT NULL)", "PE%", ""},
        {"CDate(E.FechaOcurrencia) Is Not -(-45000)", "(E.FechaOcurrencia IS NOT ?)", "2023-03-15", ""},
        // Commas count for the innermost parenthesis.
        {"IIf(E.Edad In (1, 2), Mid(E.Nombre, 1, 2), Left(E.Nombre, 1)) = 'A'",
         "(iif ( E.Edad IN ( ? , ? ) , MID ( E.Nombre , ? , ? ) , \"LEFT\" ( E.Nombre , ? ) ) = ? COLLATE NOCASE)", "1|2|1|2|1|A", ""},
    };
    for (const auto &c : casos) {
        const CondicionSQL r = TraduceCriterio(QString::fromUtf8(c.criterio), OrigenConsulta::Hoja);
        QStringList valores;
        for (const QVariant &v : r.valores)
            valores << v.toString();
        EXPECT_EQ(QStringList({r.sql, valores.join('|'), r.uniones.join(',')}), QStringList({c.sql, c.valores, c.uniones}));
    }
    EXPECT_EQ(TraduceCriterio("E.Edad > 1", OrigenConsulta::Hoja, "E.Edad", true).orden, "E.Edad DESC");
}

// A pattern beside a date column is matched against the date as the user
// reads it, dd/mm/yyyy; one that no such date can match is refused.
TEST(Criterios, LikeSobreUnaFechaLeeElDiaPrimero)
{
    const struct {
        const char *criterio, *sql, *valores;
    } casos[] = {
        {"E.fechaAtencion LIKE '15/06/%'", "(strftime('%d/%m/%Y', E.fechaAtencion) LIKE ?)", "15/06/%"},
        {"E.FechaOcurrencia Not Like '1?/06/*'", "(strftime('%d/%m/%Y', E.FechaOcurrencia) NOT LIKE ?)", "1_/06/%"},
        {"CDATE(E.fechaAtencion) Like CDATE('__/06/2026')", "(strftime('%d/%m/%Y', E.fechaAtencion) LIKE ?)", "__/06/2026"},
        {"Not F.fechaAtencion Like '%/2026' And E.FechaCaptura Like '01/%'",
         "(NOT strftime('%d/%m/%Y', F.fechaAtencion) LIKE ? AND strftime('%d/%m/%Y', E.FechaCaptura) LIKE ?)", "%/2026|01/%"},
        // Beside another column, or compared as a whole, nothing changes.
        {"E.Paterno Like '1*' And E.fechaAtencion >= '01/06/2026'", "(E.Paterno LIKE ? COLLATE NOCASE AND E.fechaAtencion >= ?)",
         "1%|2026-06-01"},
    };
    for (const auto &c : casos) {
        const CondicionSQL r = TraduceCriterio(QString::fromUtf8(c.criterio), OrigenConsulta::Hoja);
        QStringList valores;
        for (const QVariant &v : r.valores)
            valores << v.toString();
        EXPECT_EQ(QStringList({r.sql, valores.join('|')}), QStringList({c.sql, c.valores})) << c.criterio;
    }
    for (const char *patron : {"2026-06-1%", "15/JUN/%"}) {
        try {
            TraduceCriterio(QStringLiteral("E.FechaOcurrencia Like '%1'").arg(patron), OrigenConsulta::Hoja);
            ADD_FAILURE() << patron;
        } catch (const ErrorBD &e) {
            EXPECT_EQ(e.Descripcion(), QStringLiteral("El patrón '%1' no puede coincidir con una fecha dd/mm/aaaa").arg(patron));
        }
    }
}

// Nothing can be appended to the condition or smuggled into it.
TEST(Criterios, RechazaLoQueNoEsUnaCondicion)
{
    const std::pair<const char *, const char *> casos[] = {
        {"E.Paterno = 'O'HARA'", "Falta la comilla que cierra el valor '"},
        {"E.Edad > 1) Or (1 = 1", "El criterio cierra un paréntesis que no abrió"},
        {"(E.Edad > 1", "El criterio abre un paréntesis que no cierra"},
        {"E.Edad > 1; DROP TABLE D_EVENTO", "El criterio tiene un carácter que no puede llevar: ;"},
        {"E.fechaAtencion > #01/01/2004#", "El criterio tiene un carácter que no puede llevar: #"},
        {"E.Folio IN (SELECT Folio FROM D_EVENTO)", "El criterio nombra un campo que no existe en D_EVENTO: SELECT"},
        {"E.fechaAtencion = 01.02.2004", "El criterio tiene un valor sin comillas: 01.02.2004"},
        {"sqlite_version() = 1", "El criterio usa una función desconocida: sqlite_version"},
        {"CDATE(E.fechaAtencion) = CDATE('31/02/2004')", "El valor '31/02/2004' no es una fecha dd/mm/aaaa"},
        // What the dialect would refuse is said in Spanish before SQLite sees it.
        {"Left(E.Nombre)='M'", "El criterio da 1 argumento a la función Left, que lleva 2"},
        {"mid(E.Nombre) = 'a'", "El criterio da 1 argumento a la función mid, que lleva 2 o 3"},
        {"IIf(E.Edad > 1, Left(E.Nombre, 1)) = 'a'", "El criterio da 2 argumentos a la función IIf, que lleva 3"},
        {"Trim(E.Nombre, 'x') = 'a'", "El criterio da 2 argumentos a la función Trim, que lleva 1"},
        {"UCase() = 'A'", "El criterio da 0 argumentos a la función UCase, que lleva 1"},
        {"E.Edad Mod 2 = 1", "El criterio usa un operador que no se acepta: Mod"},
        {"E.Edad > 1 Xor E.Edad < 5", "El criterio usa un operador que no se acepta: Xor"},
        // What SQLite's grammar refuses, in the user's words.
        {"E.Edad > 10 AND", "El criterio termina sin completar la condición: E.Edad > 10 AND"},
        {"E.Edad Between 1 Or 2", "El criterio termina sin completar la condición: E.Edad Between 1 Or 2"},
        {"Not", "El criterio termina sin completar la condición: Not"},
        {"= 5", "El criterio no se entiende a partir de \"=\": = 5"},
        {"E.Edad 10", "El criterio no se entiende a partir de \"10\": E.Edad 10"},
        {"E.Paterno = 'A' 'B'", "El criterio no se entiende a partir de \"'B'\": E.Paterno = 'A' 'B'"},
        {"E.Edad In 5", "El criterio no se entiende a partir de \"5\": E.Edad In 5"},
        {"Left(E.Nombre, 1) = 'A' Or Or E.Edad > 1",
         "El criterio no se entiende a partir de \"Or\": Left(E.Nombre, 1) = 'A' Or Or E.Edad > 1"},
        // A date beside a sum, or beside a number that is no day.
        {"E.fechaAtencion > 45000 * 2", "El criterio compara una fecha con una cuenta, que no se puede hacer con fechas: E.fechaAtencion > 45000 * 2"},
        {"-45000 + 1 < E.fechaAtencion", "El criterio compara una fecha con una cuenta, que no se puede hacer con fechas: -45000 + 1 < E.fechaAtencion"},
        {"E.fechaAtencion = -3000000", "El criterio compara una fecha con -3000000, que no es un día del calendario: E.fechaAtencion = -3000000"},
        {"E.fechaAtencion > '45000'", "El valor '45000' no es una fecha dd/mm/aaaa"},
        {"E.fechaAtencion = Trim(' 15/13/2023')", "El valor '15/13/2023' no es una fecha dd/mm/aaaa"},
        {"E.fechaAtencion > -(E.Edad)",
         "El criterio compara una fecha con -(E.Edad), que no es una fecha; escriba CDate(-(E.Edad)) para leerlo como fecha: E.fechaAtencion > -(E.Edad)"},
        {"IIf(E.Edad > 1, E.fechaAtencion, E.Edad) > 45000",
         "El criterio compara una fecha con E.Edad, que no es una fecha; escriba CDate(E.Edad) para leerlo como fecha: IIf(E.Edad > 1, E.fechaAtencion, E.Edad) > 45000"},
        {"CLng(E.fechaAtencion + 1) > 2",
         "El criterio hace una cuenta con la fecha E.fechaAtencion; use CLng(E.fechaAtencion) para contar sus días: CLng(E.fechaAtencion + 1) > 2"},
        {"E.fechaAtencion + 1 > 45000", "El criterio hace una cuenta con la fecha E.fechaAtencion; use CLng(E.fechaAtencion) para contar sus días: E.fechaAtencion + 1 > 45000"},
        {"E.Edad > 1 Or 3 < E.Folio * CDate(F.fechaAtencion)",
         "El criterio hace una cuenta con la fecha CDate(F.fechaAtencion); use CLng(CDate(F.fechaAtencion)) para contar sus días: E.Edad > 1 Or 3 < E.Folio * CDate(F.fechaAtencion)"},
    };
    for (const auto &[criterio, mensaje] : casos) {
        try {
            TraduceCriterio(QString::fromUtf8(criterio), OrigenConsulta::Hoja);
            ADD_FAILURE() << criterio;
        } catch (const ErrorBD &e) {
            EXPECT_EQ(e.Descripcion(), QString::fromUtf8(mensaje)) << criterio;
        }
    }
}

} // namespace
