// The filter run: the sheet reloaded on the chosen events, the ICD-10 list's
// hand-back, and every box of a run that finds nothing or fails.
#include "AmbienteFiltro.h"
#include "queries/modVisData.h"

#include <gtest/gtest.h>

namespace {

const QString SinRegistros = "La consulta creada no encontro registros\nque cumplan las condiciones señaladas";
const QString NoHay = "No hay registros que cumplan la condición establecida, verifique por favor.....";

// Folios 1 and 3 are of unit DFQRV000015, which sorts before DFSSA000012.
TEST_F(AmbienteFiltro, CadaEventoUnaVez)
{
    const std::pair<const char *, const char *> casos[] = {
        {"E.CodSexo = 2", "1,3"}, {"D.CodDerechohabiencia <> '9'", "1"},
        {"V.CodTipoViolencia = 1", "1"}, {"P.EfectosPaciente = 3", "1"}, {"P.EfectosAgresor = 3", "2"},
        {"P.EfectosPaciente = 3\nAnd P.EfectosAgresor = 4", "1"}, {"T.CodTipoAtencion > 0", "1"},
        {"F.Diagnosticos = 'S011'", "1,2"}, {"F.Diagnosticos = 'S011'\nAnd E.Edad < 10", "2"},
        {"E.Paterno = 'o''hara'", "1"}, {"E.Paterno Like 'PE*'", "2"},
        {"CDATE(E.fechaAtencion) >= CDATE('01/05/2004')", "3"}, {"E.Edad > 10 Or F.Diagnosticos Is Null", "1,3"},
    };
    for (const auto &[criterio, folios] : casos) {
        ASSERT_TRUE(EjecutaFiltro(*prog.ctx, QString::fromUtf8(criterio), DestinoFiltro{&Reg(), {}})) << criterio;
        EXPECT_EQ(Folios(), folios) << criterio;
    }
    EXPECT_TRUE(Msj().cajas.isEmpty());
}

TEST_F(AmbienteFiltro, LaHojaQuedaEnLosEventosElegidosYGuardaElFiltro)
{
    ASSERT_TRUE(EjecutaFiltro(*prog.ctx, "  E.CodSexo = 2\nAnd E.Edad > 10  ", DestinoFiltro{&Reg(), {}}));
    EXPECT_EQ(QStringList({Hoja().Texto(22), Hoja().Titulo(), Vida().FiltroEventos}),
              QStringList({"00000001", TituloHoja + ". Registro: 1 de 2     Capturados en el día: 0", "E.CodSexo = 2 And E.Edad > 10"}));
    // A save or a delete reopens the set on the filter's own statement.
    ASSERT_TRUE(Reg().eventos.CargaEventos(Reg().eventos.ConsultaEventos));
    EXPECT_EQ(Folios(), "1,3");
}

TEST_F(AmbienteFiltro, SinEventosOConErrorLaHojaSigueIgual)
{
    const struct {
        const char *criterio;
        QList<QPair<Mensajes::Icono, QString>> cajas;
        int pitidos;
    } casos[] = {
        {"   ", {{Mensajes::Icono::Exclamacion, "No ha creado ninguna Consulta!"}}, 0},
        {"E.Edad > 100", {{Mensajes::Icono::Informacion, SinRegistros}, {Mensajes::Icono::Informacion, NoHay}}, 1},
        // A failure is not passed off as "no rows": the error box alone.
        {"E.Edad >", {{Mensajes::Icono::Ninguno, "The following Error occurred:\n\nLa instrucción no se pudo ejecutar en la Base de "
                                       "Datos (near \")\": syntax error)\nNumber: 1"}}, 1},
        {"E.Nada = 1",
         {{Mensajes::Icono::Ninguno, "The following Error occurred:\n\nEl criterio nombra un campo que no existe en "
                                     "D_EVENTO: E.Nada\nNumber: 1"}},
         1},
    };
    for (const auto &c : casos) {
        Msj().Limpia();
        EXPECT_FALSE(EjecutaFiltro(*prog.ctx, c.criterio, DestinoFiltro{&Reg(), {}}));
        QList<QPair<Mensajes::Icono, QString>> cajas;
        for (const MensajesFalsos::Caja &k : Msj().cajas) {
            cajas << qMakePair(k.icono, k.texto);
            EXPECT_EQ(k.titulo, k.icono == Mensajes::Icono::Informacion ? "Consultas" : "VELMORAN2016");
        }
        EXPECT_EQ(cajas, c.cajas) << c.criterio;
        EXPECT_EQ(QStringList({QString::number(Msj().beeps), Folios(), Vida().FiltroEventos, Reg().eventos.ConsultaEventos.sql}),
                  QStringList({QString::number(c.pitidos), "1,3,2", "", "Select * from D_Evento"})) << c.criterio;
    }
}

TEST_F(AmbienteFiltro, ListaCIE10RecibeSuSentencia)
{
    QList<ConsultaSQL> recibidas;
    const DestinoFiltro destino{nullptr, [&](const ConsultaSQL &c) { recibidas << c; }};
    EXPECT_FALSE(EjecutaFiltro(*prog.ctx, "Causa = 'ZZZZ'", destino));
    EXPECT_EQ(Msj().cajas.size(), 2);
    ASSERT_TRUE(EjecutaFiltro(*prog.ctx, "Causa Like 'S01*'\nAnd nombre Like '*PARPADO*'", destino));
    ASSERT_EQ(recibidas.size(), 1);
    EXPECT_EQ(prog.Filas(recibidas[0].sql, recibidas[0].valores),
              QStringList({"S011|HERIDA DEL PARPADO Y DE LA REGION PERIOCULAR|A|||||0"}));
    EXPECT_EQ(Vida().FiltroEventos, "");
}

} // namespace
