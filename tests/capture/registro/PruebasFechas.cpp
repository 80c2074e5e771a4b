// The two date boxes: weekday, statistical month and the checks on leaving them.
#include "AmbienteRegistro.h"

#include <QLocale>

namespace {

const QString TituloHoja = QStringLiteral("Hoja de Registro de Atención por Violencia y/o Lesion");
const QString NoValida = QStringLiteral("La Fecha no es valida, verifique por favor....");
const QString FueraDelAno = QStringLiteral("La Fecha de Atención debe ser del año estadistico en curso....");
const QString Futura = QStringLiteral("La Fecha de Atención no puede ser mayor a la Fecha Actual, verifique por favor....");
const QString OcurrenciaPosterior =
    QStringLiteral("La Fecha de Ocurrencia no puede ser mayor a la Fecha de Atención, verifique por favor....");

class Fechas : public AmbienteRegistro {
protected:
    Fechas()
    {
        Vida().Abre();
        Vida().BotonPulsado(5);   // adding: both date frames open
        focosFecha.clear();
    }
};

TEST_F(Fechas, DiaDeLaSemanaEnMayusculasSeaCualSeaElIdioma)
{
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QStringList esperados = {"LUNES", "MARTES", "MIÉRCOLES", "JUEVES", "VIERNES", "SÁBADO", "DOMINGO"};
    for (int d = 0; d < 7; ++d)
        EXPECT_EQ(DiaSemana(QDate(2004, 6, 14).addDays(d)), esperados[d]);
    QLocale::setDefault(antes);
}

TEST_F(Fechas, AlCambiarLaCajaSuEtiquetaQuedaEnBlancoHastaSalir)
{
    Hoja().PonFecha(1, QStringLiteral("15/06/2004"));
    Hoja().PonFecha(0, QStringLiteral("14/06/2004"));
    EXPECT_EQ(Hoja().Etiqueta(0), QString());   // the changed box's own label
    Hoja().PonFecha(1, QStringLiteral("16/06/2004"));
    EXPECT_EQ(Hoja().Etiqueta(0), QStringLiteral("LUNES"));
    EXPECT_EQ(Hoja().Etiqueta(1), QString());

    EXPECT_TRUE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(Hoja().Etiqueta(1), QStringLiteral("JUNIO"));
    Hoja().PonFecha(1, QString());
    EXPECT_EQ(Hoja().Etiqueta(1), QString());
    EXPECT_TRUE(Msj().cajas.isEmpty());
}

// The statistical year 2004 runs from 26/12/2003 to 25/12/2004; "today" is the fixed clock.
TEST_F(Fechas, ComprobacionesAlSalirDeLaFechaDeAtencion)
{
    struct Caso {
        QDate hoy;
        QString fecha;
        QString mensaje;   // empty: accepted
        QString mes;
    };
    const QDate lejos(2026, 12, 6);
    const Caso casos[] = {
        {lejos, QStringLiteral("26/12/2003"), QString(), QStringLiteral("ENERO")},
        {lejos, QStringLiteral("25/12/2004"), QString(), QStringLiteral("DICIEMBRE")},
        {lejos, QStringLiteral("26/06/2004"), QString(), QStringLiteral("JULIO")},
        {lejos, QStringLiteral("25/12/2003"), FueraDelAno, QString()},
        {lejos, QStringLiteral("26/12/2004"), FueraDelAno, QString()},
        {QDate(2004, 6, 15), QStringLiteral("15/06/2004"), QString(), QStringLiteral("JUNIO")},
        {QDate(2004, 6, 15), QStringLiteral("16/06/2004"), Futura, QString()},
        {lejos, QStringLiteral("31/02/2004"), NoValida, QString()},
        {lejos, QStringLiteral("15/06/2027"), NoValida, QString()},
        {lejos, QStringLiteral("12/0_/____"), NoValida, QString()},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.fecha.toStdString());
        prog.reloj.Fija(QDateTime(c.hoy, QTime(9, 0)));
        Msj().Limpia();
        focosFecha.clear();
        Hoja().PonFecha(1, c.fecha);
        const bool acepta = Reg().fechas.SaleFecha(1);
        EXPECT_EQ(acepta, c.mensaje.isEmpty());
        EXPECT_EQ(Msj().Ultimo(), c.mensaje);
        EXPECT_EQ(Hoja().Etiqueta(1), c.mes);
        if (!acepta) {
            EXPECT_EQ(Msj().cajas.last().titulo, TituloHoja);
            EXPECT_EQ(Msj().cajas.last().icono, Mensajes::Icono::Informacion);
            EXPECT_EQ(focosFecha, QList<int>({1}));
        }
    }
}

TEST_F(Fechas, UnaFechaImposibleAvisaDosVeces)
{
    Hoja().PonFecha(1, QStringLiteral("29/02/2003"));
    EXPECT_FALSE(Reg().fechas.SaleFecha(1));
    ASSERT_EQ(Msj().cajas.size(), 2);
    EXPECT_EQ(Msj().cajas[0].texto, QStringLiteral("Fecha invalida, verifique por favor....."));
    EXPECT_EQ(Msj().cajas[1].texto, NoValida);
    EXPECT_EQ(Msj().beeps, 1);
}

TEST_F(Fechas, LaOcurrenciaNoPuedeSerPosteriorALaAtencion)
{
    Hoja().PonFecha(0, QStringLiteral("16/06/2004"));
    EXPECT_TRUE(Reg().fechas.SaleFecha(0));   // leaving the occurrence never compares
    EXPECT_EQ(Hoja().Etiqueta(0), QStringLiteral("MIÉRCOLES"));
    Hoja().PonFecha(1, QStringLiteral("15/06/2004"));
    EXPECT_FALSE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(Msj().Ultimo(), OcurrenciaPosterior);
    EXPECT_EQ(focosFecha, QList<int>({0}));
    EXPECT_EQ(Hoja().Etiqueta(1), QString());

    Hoja().PonFecha(0, QStringLiteral("15/06/2004"));   // the same day passes
    Msj().Limpia();
    EXPECT_TRUE(Reg().fechas.SaleFecha(1));
    EXPECT_TRUE(Msj().cajas.isEmpty());
    EXPECT_EQ(Hoja().Etiqueta(0), QStringLiteral("MARTES"));
    EXPECT_EQ(Hoja().Etiqueta(1), QStringLiteral("JUNIO"));
}

TEST_F(Fechas, UnaCajaVaciaNoDiceNadaYVaciaSuEtiqueta)
{
    Hoja().PonEtiqueta(0, QStringLiteral("LUNES"));
    EXPECT_TRUE(Reg().fechas.SaleFecha(0));
    EXPECT_TRUE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(Hoja().Etiqueta(0), QString());
    EXPECT_TRUE(Msj().cajas.isEmpty());
}

TEST_F(Fechas, UnaClaveQueYaExisteSeAvisaYElMesQuedaVacio)
{
    Inserta(QStringLiteral("DFQRV000015"), 5, QStringLiteral("2004-06-15"));
    Hoja().PonTexto(23, QStringLiteral("DFQRV000015"));
    Hoja().PonTexto(22, QStringLiteral("00000005"));
    Hoja().PonFecha(1, QStringLiteral("15/06/2004"));
    focos.clear();
    EXPECT_TRUE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(Msj().Ultimo(), QStringLiteral("Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\n"
                                             "verifique por favor....."));
    EXPECT_EQ(Msj().cajas.last().titulo, TituloHoja);
    EXPECT_EQ(focos, QList<int>({22}));
    EXPECT_EQ(Hoja().Etiqueta(1), QString());

    // An incomplete Folio or date of care, or editing rather than adding, is not tested.
    Msj().Limpia();
    Hoja().PonTexto(22, QStringLiteral("5"));
    EXPECT_TRUE(Reg().fechas.SaleFecha(1));
    EXPECT_TRUE(Msj().cajas.isEmpty());
    Hoja().PonTexto(22, QStringLiteral("00000005"));
    for (const char *incompleta : {"__/__/____", "15/06/____", "15/06/2"}) {
        Hoja().PonFecha(1, QString::fromLatin1(incompleta));
        EXPECT_FALSE(ExisteRegistro(*prog.ctx, Hoja())) << incompleta;
    }
    EXPECT_TRUE(Msj().cajas.isEmpty());
    Hoja().PonFecha(1, QStringLiteral("15/06/2004"));
    Hoja().EnAlta = false;
    EXPECT_FALSE(ExisteRegistro(*prog.ctx, Hoja()));
}

TEST_F(Fechas, LaFechaRechazadaSoloPideElFocoSiSuMarcoEstaAbierto)
{
    Hoja().HabilitaMarco(Marco::Clues, false);
    Hoja().PonFecha(1, QStringLiteral("31/02/2004"));
    EXPECT_FALSE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(Msj().Ultimo(), NoValida);
    EXPECT_TRUE(focosFecha.isEmpty());
}

} // namespace
