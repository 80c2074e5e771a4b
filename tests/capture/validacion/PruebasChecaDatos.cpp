// The validation as a whole: the valid event passes, the first failing rule
// wins, and a broken query stops the save instead of letting the event through.

#include "HojaValidacion.h"

#include "events/modEvento.h"

#include <gtest/gtest.h>

namespace {

TEST(ChecaDatos, EventoValidoPasaAlAltaYAlCambio)
{
    for (bool alta : {true, false}) {
        HojaValidacion h(alta);
        EXPECT_FALSE(h.Valida()) << h.p.mensajes.Ultimo().toStdString();
        EXPECT_TRUE(h.p.mensajes.cajas.isEmpty());
        EXPECT_EQ(h.p.mensajes.beeps, 0);
        EXPECT_TRUE(h.focos.isEmpty());
        EXPECT_EQ(h.EventosGuardados(), 0);
    }
}

TEST(ChecaDatos, EventoValidadoSeGuardaTalCual)
{
    HojaValidacion h;
    ASSERT_FALSE(h.Valida());
    EXPECT_TRUE(h.almacen.AltaEvento()) << h.p.mensajes.Ultimo().toStdString();
    EXPECT_EQ(h.EventosGuardados(), 1);
}

TEST(ChecaDatos, LaPrimeraReglaQueFallaEsLaUnica)
{
    HojaValidacion h;
    h.hoja.PonTexto(81, QString());
    h.hoja.PonTexto(42, QString());
    h.hoja.PonTexto(35, QString());
    EXPECT_TRUE(h.Valida());
    ASSERT_EQ(h.p.mensajes.cajas.size(), 1);
    EXPECT_EQ(h.p.mensajes.Ultimo(), QStringLiteral("No ha capturado el Expediente, verifique por favor...."));
    EXPECT_EQ(h.focos, QStringList{FocoCampo(35)});
}

TEST(ChecaDatos, LasReescriturasQuedanCuandoFallaOtraRegla)
{
    HojaValidacion h;
    h.hoja.PonTexto(22, QStringLiteral("77"));
    h.hoja.PonTexto(49, QStringLiteral("5"));
    h.hoja.PonTexto(33, QStringLiteral("1"));
    h.hoja.PonTexto(81, QString());
    EXPECT_TRUE(h.Valida({false}));
    EXPECT_EQ(h.p.mensajes.Ultimo(),
              QStringLiteral("No ha capturado el nombre del responsable de la atención, verifique por favor...."));
    EXPECT_EQ(h.hoja.Texto(22), QStringLiteral("00000077"));
    EXPECT_EQ(h.hoja.Texto(33), QStringLiteral("9999999999"));
    EXPECT_EQ(h.hoja.Texto(34), QStringLiteral("99"));
    EXPECT_EQ(h.hoja.Texto(49), QStringLiteral("05"));
}

TEST(ChecaDatos, UnCatalogoIlegibleCuentaComoCodigoDesconocido)
{
    HojaValidacion h;
    h.p.ctx->ConexionBD.EjecutaAccion(QStringLiteral("ALTER TABLE cSexo RENAME TO cSexoViejo"));
    EXPECT_TRUE(h.Valida());
    EXPECT_EQ(h.p.mensajes.Ultimo(), QStringLiteral("El código del Sexo no se conoce, verifique por favor...."));
    EXPECT_EQ(h.focos.last(), FocoCampo(38));
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
        {"prueba de clave", "ALTER TABLE D_EVENTO RENAME TO D_EVENTO_VIEJO", true,
         "No se pudo comprobar si el Evento ya existe, el Evento no se guardó....."},
        {"lista de diagnósticos", "ALTER TABLE TMPGRIDAFEC RENAME COLUMN AFECCION TO OTRA", false,
         "No se pudo leer la lista de diagnósticos, el Evento no se guardó....."},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nombre);
        HojaValidacion h(c.alta);
        h.p.ctx->ConexionBD.EjecutaAccion(QString::fromLatin1(c.sql));
        EXPECT_TRUE(h.Valida());
        ASSERT_EQ(h.p.mensajes.cajas.size(), 1);
        EXPECT_EQ(h.p.mensajes.cajas[0].titulo, TituloHojaRegistro());
        EXPECT_EQ(h.p.mensajes.cajas[0].icono, Mensajes::Icono::Informacion);
        EXPECT_EQ(h.p.mensajes.Ultimo(), QString::fromUtf8(c.mensaje));
        EXPECT_EQ(h.p.mensajes.beeps, 1);
    }
}

} // namespace
