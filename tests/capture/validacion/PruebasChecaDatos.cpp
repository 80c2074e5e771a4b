// The validation as a whole: the valid event passes, the first failing rule
// wins, and a broken query stops the save instead of letting the event through.

#include "HojaValidacion.h"

#include "events/modEvento.h"

#include <gtest/gtest.h>

namespace {

TEST(ChecaDatos, LaPrimeraReglaQueFallaEsLaUnica)
{
    HojaValidacion h;
    h.hoja.PonTexto(81, QString());
    h.hoja.PonTexto(42, QString());
    h.hoja.PonTexto(35, QString());
    EXPECT_TRUE(h.Valida());
    ASSERT_EQ(h.prog.mensajes.cajas.size(), 1);
    EXPECT_EQ(h.prog.mensajes.Ultimo(), "No ha capturado el Expediente, verifique por favor....");
    EXPECT_EQ(h.focos, QStringList{"35"});
}

TEST(ChecaDatos, LasReescriturasQuedanCuandoFallaOtraRegla)
{
    HojaValidacion h;
    h.hoja.PonTexto(22, "77");
    h.hoja.PonTexto(49, "5");
    h.hoja.PonTexto(33, "1");
    h.hoja.PonTexto(81, QString());
    EXPECT_TRUE(h.Valida({false}));
    EXPECT_EQ(h.prog.mensajes.Ultimo(),
              "No ha capturado el nombre del responsable de la atención, verifique por favor....");
    EXPECT_EQ(h.hoja.Texto(22), "00000077");
    EXPECT_EQ(h.hoja.Texto(33), "9999999999");
    EXPECT_EQ(h.hoja.Texto(34), "99");
    EXPECT_EQ(h.hoja.Texto(49), "05");
}

TEST(ChecaDatos, UnCatalogoIlegibleCuentaComoCodigoDesconocido)
{
    HojaValidacion h;
    h.prog.Ejecuta("ALTER TABLE cSexo RENAME TO cSexoViejo");
    EXPECT_TRUE(h.Valida());
    EXPECT_EQ(h.prog.mensajes.Ultimo(), "El código del Sexo no se conoce, verifique por favor....");
    EXPECT_EQ(h.focos.last(), "38");
}

// A query that cannot run stops the save and says why.
TEST(ChecaDatos, UnErrorDeConsultaDetieneElGuardado)
{
    struct Caso {
        const char *nombre;
        const char *sql;
        bool alta;
        const char *mensaje;
    };
    const Caso casos[] = {
        {"prueba de clave", "ALTER TABLE D_EVENTO RENAME TO D_EVENTO_VIEJO", true, "No se pudo comprobar si el Evento ya existe, el Evento no se guardó....."},
        {"lista de diagnósticos", "ALTER TABLE TMPGRIDAFEC RENAME COLUMN AFECCION TO OTRA", false, "No se pudo leer la lista de diagnósticos, el Evento no se guardó....."},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nombre);
        HojaValidacion h(c.alta);
        h.prog.Ejecuta(QString::fromLatin1(c.sql));
        EXPECT_TRUE(h.Valida());
        ASSERT_EQ(h.prog.mensajes.cajas.size(), 1);
        EXPECT_EQ(h.prog.mensajes.cajas[0].titulo, TituloHojaRegistro());
        EXPECT_EQ(h.prog.mensajes.cajas[0].icono, Mensajes::Icono::Informacion);
        EXPECT_EQ(h.prog.mensajes.Ultimo(), QString::fromUtf8(c.mensaje));
        EXPECT_EQ(h.prog.mensajes.beeps, 1);
    }
}

} // namespace
