// The validation as a whole: the first failing rule wins, rewrites stay when
// another rule fails, and a broken query stops the save instead of letting
// the event through.

#include "HojaValidacion.h"

namespace {

Cambio Sql(const char *sql)
{
    return [=](HojaValidacion &h) { h.prog.Ejecuta(QString::fromLatin1(sql)); };
}

const CasoFalla Fallan[] = {
    {"LaPrimeraReglaQueFallaEsLaUnica", Pon({{81, ""}, {42, ""}, {35, ""}}), "No ha capturado el Expediente, verifique por favor....", true, 0, "35", {}, Cajas(1)},
    {"LasReescriturasQuedanCuandoFallaOtraRegla", Pon({{22, "77"}, {49, "5"}, {33, "1"}, {81, ""}}),
     "No ha capturado el nombre del responsable de la atención, verifique por favor....", true, 1, "81", {false},
     Lee({{22, "00000077"}, {33, "9999999999"}, {34, "99"}, {49, "05"}})},
    {"UnCatalogoIlegibleCuentaComoCodigoDesconocido", Sql("ALTER TABLE cSexo RENAME TO cSexoViejo"), "El código del Sexo no se conoce, verifique por favor....", true, 0, "38"},
};

INSTANTIATE_TEST_SUITE_P(ChecaDatos, Falla, ::testing::ValuesIn(Fallan), NombreCaso<CasoFalla>);

// A query that cannot run stops the save and says why.
TEST(ChecaDatos, UnErrorDeConsultaDetieneElGuardado)
{
    const struct {
        const char *sql;
        bool alta;
        const char *mensaje;
    } casos[] = {
        {"ALTER TABLE D_EVENTO RENAME TO D_EVENTO_VIEJO", true, "No se pudo comprobar si el Evento ya existe, el Evento no se guardó....."},
        {"ALTER TABLE TMPGRIDAFEC RENAME COLUMN AFECCION TO OTRA", false, "No se pudo leer la lista de diagnósticos, el Evento no se guardó....."},
    };
    for (const auto &c : casos) {
        HojaValidacion h(c.alta);
        Sql(c.sql)(h);
        EXPECT_TRUE(h.Valida());
        ASSERT_EQ(h.Msj().cajas.size(), 1);
        const MensajesFalsos::Caja &caja = h.Msj().cajas[0];
        EXPECT_EQ(QStringList({caja.texto, caja.titulo, QString::number(int(caja.icono)), QString::number(h.Msj().beeps)}),
                  QStringList({QString::fromUtf8(c.mensaje), TituloHojaRegistro(), QString::number(int(Mensajes::Icono::Informacion)), "1"}));
    }
}

} // namespace
