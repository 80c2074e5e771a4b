// The two date boxes: weekday, statistical month and the checks on leaving them.
#include "AmbienteRegistro.h"

#include <QLocale>

namespace {

const QString NoValida = "La Fecha no es valida, verifique por favor....";
const QString FueraDelAno = "La Fecha de Atención debe ser del año estadistico en curso....";
const QString Futura = "La Fecha de Atención no puede ser mayor a la Fecha Actual, verifique por favor....";

class Fechas : public AmbienteRegistro {
protected:
    Fechas()
    {
        Vida().Abre();
        Vida().BotonPulsado(5);   // adding: both date frames open
        focos.clear();
    }
    QString Etiquetas() { return Hoja().Etiqueta(0) + "|" + Hoja().Etiqueta(1); }
};

TEST_F(Fechas, DiaDeLaSemanaEnMayusculasSeaCualSeaElIdioma)
{
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStringList dias;
    for (int d = 0; d < 7; ++d)
        dias << DiaSemana(QDate(2004, 6, 14).addDays(d));
    EXPECT_EQ(dias.join(' '), "LUNES MARTES MIÉRCOLES JUEVES VIERNES SÁBADO DOMINGO");
    QLocale::setDefault(antes);
}

TEST_F(Fechas, AlCambiarLaCajaSuEtiquetaQuedaEnBlancoHastaSalir)
{
    Hoja().PonFecha(1, "15/06/2004");
    Hoja().PonFecha(0, "14/06/2004");
    EXPECT_EQ(Hoja().Etiqueta(0), QString());   // the changed box's own label
    Hoja().PonFecha(1, "16/06/2004");
    EXPECT_EQ(Etiquetas(), "LUNES|");
    // Leaving an empty box says nothing and empties its label.
    Hoja().PonFecha(0, QString());
    Hoja().PonEtiqueta(0, "LUNES");
    EXPECT_TRUE(Reg().fechas.SaleFecha(0) && Hoja().Etiqueta(0).isEmpty() && Msj().cajas.isEmpty());
}

// The statistical year 2004 runs from 26/12/2003 to 25/12/2004; "today" is the fixed clock.
TEST_F(Fechas, ComprobacionesAlSalirDeLaFechaDeAtencion)
{
    const QDate lejos(2026, 12, 6), junio(2004, 6, 15);
    const struct {
        QDate hoy;
        const char *fecha;
        QString mensaje;   // empty: accepted
        const char *mes;
        bool marcoAbierto = true;
        int cajas = 1;
    } casos[] = {
        {lejos, "26/12/2003", {}, "ENERO"}, {lejos, "25/12/2004", {}, "DICIEMBRE"}, {lejos, "25/12/2003", FueraDelAno, ""},
        {lejos, "26/12/2004", FueraDelAno, ""}, {junio, "15/06/2004", {}, "JUNIO"}, {junio, "16/06/2004", Futura, ""},
        {lejos, "15/06/2027", NoValida, ""}, {lejos, "12/0_/____", NoValida, ""},
        {lejos, "31/02/2004", NoValida, "", false},   // refused in a closed frame: no focus request
        {lejos, "29/02/2003", NoValida, "", true, 2},  // no such day: told twice
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.fecha);
        prog.reloj.Fija(QDateTime(c.hoy, QTime(9, 0)));
        Msj().Limpia();
        focos.clear();
        Hoja().HabilitaMarco(Marco::Clues, c.marcoAbierto);
        Hoja().PonFecha(1, c.fecha);
        EXPECT_EQ(Reg().fechas.SaleFecha(1), c.mensaje.isEmpty());
        EXPECT_EQ(Msj().Ultimo() + "|" + Hoja().Etiqueta(1) + "|" + focos.join(','),
                  c.mensaje + "|" + c.mes + "|" + (c.mensaje.isEmpty() || !c.marcoAbierto ? "" : "msk1"));
        EXPECT_TRUE(c.mensaje.isEmpty() || (Msj().cajas.size() == c.cajas && Msj().beeps == c.cajas - 1 && Msj().cajas.last().titulo == TituloHoja &&
                        Msj().cajas.last().icono == Mensajes::Icono::Informacion &&
                        (c.cajas == 1 || Msj().cajas[0].texto == "Fecha invalida, verifique por favor.....")));
    }
}

TEST_F(Fechas, LaOcurrenciaNoPuedeSerPosteriorALaAtencion)
{
    Hoja().PonFecha(0, "16/06/2004");
    EXPECT_TRUE(Reg().fechas.SaleFecha(0));   // leaving the occurrence never compares
    Hoja().PonFecha(1, "15/06/2004");
    EXPECT_FALSE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(Msj().Ultimo() + "|" + focos.join(',') + "|" + Etiquetas(),
              "La Fecha de Ocurrencia no puede ser mayor a la Fecha de Atención, verifique por favor....|msk0|MIÉRCOLES|");
    Hoja().PonFecha(0, "15/06/2004");   // the same day passes
    Msj().Limpia();
    EXPECT_TRUE(Reg().fechas.SaleFecha(1) && Msj().cajas.isEmpty());
    EXPECT_EQ(Etiquetas(), "MARTES|JUNIO");
}

TEST_F(Fechas, UnaClaveQueYaExisteSeAvisaYElMesQuedaVacio)
{
    Inserta("DFQRV000015", 5, "2004-06-15");
    Hoja().PonTexto(23, "DFQRV000015");
    Hoja().PonTexto(22, "00000005");
    Hoja().PonFecha(1, "15/06/2004");
    focos.clear();
    EXPECT_TRUE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(QStringList({Msj().Ultimo(), Msj().cajas.last().titulo, focos.join(','), Hoja().Etiqueta(1)}),
              QStringList({"Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\nverifique por favor.....", TituloHoja, "22", ""}));
    // An incomplete Folio or date of care, or editing rather than adding, is not tested.
    for (const auto &[folio, fecha, alta] : {std::tuple{"5", "15/06/2004", true}, {"00000005", "__/__/____", true}, {"00000005", "15/06/____", true},
                                             {"00000005", "15/06/2", true}, {"00000005", "15/06/2004", false}}) {
        Hoja().PonTexto(22, folio);
        Hoja().PonFecha(1, fecha);
        Hoja().EnAlta = alta;
        EXPECT_FALSE(ExisteRegistro(*prog.ctx, Hoja())) << folio << fecha;
    }
}

} // namespace
