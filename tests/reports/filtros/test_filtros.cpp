// The report window's filters: transitions of the widget-free model, the
// filters to the events work table with their header texts, the two stops of
// a run, the dates as typed in the window and the place levels worked in it.
#include "reports/AmbienteReportes.h"
#include "reports/frmReportes.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QPushButton>

namespace {

class Filtros : public AmbienteReportes {
protected:
    // Five events at five units of three states; the place of occurrence,
    // entitlement, sex and age differ from one to the next.
    Filtros()
    {
        // Unit, care and occurrence dates, state, municipality and locality of occurrence, sex, age key, age, entitlements.
        const char *eventos[] = {
            "DFSSA000012 2004-01-10 2004-01-09 09 007 0001 1 3 5 1 2",
            "DFSSA000024 2004-02-20 2004-02-01 15 033 0010 2 3 9 1",
            "DFQRV000015 2004-03-05 2004-03-05 09 007 0001 9 3 999",
            "MCSSA000016 2004-06-30 2004-06-29 15 033 0001 2 1 10 G",
            "MSSSA000011 2004-12-25 2004-12-20 17 007 0017 1 9 999",
        };
        int folio = 0;
        for (const char *e : eventos) {
            const QStringList c = QString(e).split(' ');
            Evento(c[0], ++folio, c[1], {{"FechaOcurrencia", c[2]}, {"CodEstado", c[3]}, {"CodMunicipio", c[4]}, {"CodLocalidad", c[5]},
                                         {"CodSexo", c[6].toInt()}, {"CodClaveEdad", c[7].toInt()}, {"Edad", c[8].toInt()}});
            for (const QString &d : c.mid(9))
                Detalle("D_Derechohabiencia", "CodDerechohabiencia", c[0], folio, c[1], d);
        }
        filtros.InicializaFiltros();
    }

    QString Folios()
    {
        if (!generador.ArmaFiltro() || !generador.CreaPasoReporte())
            return "parado";
        return Filas("SELECT Folio FROM PASOREPORTE ORDER BY Folio").join(',');
    }
};

} // namespace

// The lists follow from what the headers and the events table show.
TEST_F(Filtros, MarcarTodasConservaUnaEleccionParcial)
{
    QStringList pasos;
    for (const auto &[unidad, marca] : {std::pair{0, false}, {-1, false}, {0, true}, {-1, false}, {-1, true}}) {
        unidad < 0 ? filtros.MarcaTodasUnidades(marca) : filtros.MarcaUnidad(unidad, marca);
        pasos << QStringLiteral("%1%2").arg(filtros.UnidadesMarcadas().size()).arg(filtros.chkTodasUnidades);
    }
    EXPECT_EQ(pasos, QStringList({"40", "40", "51", "00", "51"}));
}

TEST_F(Filtros, FechasNuncaInvertidas)
{
    const FechaFiltro &ini = filtros.picFechaInicial, &fin = filtros.picFechaFinal;
    EXPECT_EQ(QList<QDate>({ini.valor, fin.valor}), QList<QDate>({{2004, 1, 10}, {2004, 12, 25}}));
    filtros.PonFechaFinal(QDate(2004, 5, 1));
    filtros.PonFechaInicial(QDate(2004, 3, 1));
    // Moving the initial date resets the final one.
    EXPECT_EQ(QList<QDate>({fin.valor, fin.minimo}), QList<QDate>({{2004, 12, 25}, {2004, 3, 1}}));
    filtros.PonFechaFinal(QDate(2004, 2, 1));
    EXPECT_EQ(fin.valor, QDate(2004, 3, 1));
}

// The events each choice lets through and, where given, the header texts p1
// and p3 to p8 but p7, joined by '/' (the title and the period are in the golden texts).
TEST_F(Filtros, FiltrosAlaTablaDeEventosYSusEncabezados)
{
    using F = FiltrosReporte;
    const std::tuple<std::function<void(F &)>, const char *, const char *> casos[] = {
        {[](F &) {}, "1,2,3,4,5", nullptr},
        {[](F &f) { f.MarcaUnidad(0, false); }, "1,2,4,5", nullptr},
        {[](F &f) { f.EligeEntidad(1); }, "1,2,3", nullptr},
        {[](F &f) { f.EligeLugar(false); f.EligeEntidad(2); }, "2,4", nullptr},
        {[](F &f) { f.PonFechaInicial({2004, 2, 20}); f.PonFechaFinal({2004, 6, 30}); }, "2,3,4", nullptr},
        {[](F &f) { f.EligeFechas(false); f.PonFechaInicial({2004, 6, 29}); }, "4,5", nullptr},
        {[](F &f) { f.EligeDerechohabiencia(1); }, "1,2", nullptr},   // once per event
        {[](F &f) { f.EligeCveEdad(1); }, "4", nullptr},
        {[](F &f) { f.EligeCveEdad(2); f.EligeEdadIni(2); }, "3", nullptr},
        {[](F &f) { f.EligeCveEdad(3); }, "5", nullptr},
        {[](F &f) {
             f.EligeReporte(8); f.EligeEntidad(1); f.EligeJurisdiccion(1); f.EligeSexo(3); f.EligeDerechohabiencia(3);
             f.EligeAfeccionPrincipal(false); f.EligeCveEdad(1);
         },
         "parado", " POR LUGAR DE ATENCIÓN/OTRAS INSTITUCIONES - ENTIDAD:  CIUDAD DE MEXICO - UNIDAD: DFQRV000015  HOSPITAL GENERAL DE "
                   "ZONA QUIRVAL 1-A/ BRESTAL/SEXO NO ESPECIFICADO/MENORES DE UN AÑO/CAUSA  EXTERNA  POR  ENTIDAD  DE  ATENCION"},
        {[](F &f) { f.EligeEntidad(1); f.EligeJurisdiccion(2); f.EligeMunicipio(1); f.EligeSexo(1); },
         "1", " POR LUGAR DE ATENCIÓN/ENTIDAD:  CIUDAD DE MEXICO - JURISDICCION: IZTAPALAPA - MUNICIPIO:  IZTAPALAPA - UNIDAD: "
              "DFSSA000012  HOSPITAL GENERAL IZTAPALAPA//HOMBRES//"},
        {[](F &f) {
             f.EligeReporte(8); f.EligeLugar(false); f.EligeEntidad(2); f.EligeMunicipio(1); f.EligeLocalidad(2);
             f.EligeCveEdad(2); f.EligeEdadFin(1); f.EligeEntidadAtencion(false); f.EligeSexo(2);
         },
         "2", " POR LUGAR DE OCURRENCIA/ENTIDAD:  MEXICO - MUNICIPIO:  ECATEPEC DE MORELOS - LOCALIDAD:  SANTA MARIA CHICONAUTLA//"
              "MUJERES/EDAD INICIAL:   5    EDAD FINAL:   9/AFECCION  PRINCIPAL  POR  ENTIDAD  DE  OCURRENCIA"},
        // Seven units or more are named as a whole.
        {[this](F &f) {
             for (const char *u : {"MCSSA000021", "MCSSA000033", "MCSSA000045", "MCSSA000050"})
                 Evento(u, Cuenta("D_EVENTO") + 1, "2004-05-05");
             f.InicializaFiltros();
         },
         "1,2,3,4,5,6,7,8,9", "/ - UNIDADES: TODAS////"},
        {[](F &f) { f.MarcaUnidad(0, false); }, "1,2,4,5,6,7,8,9", " POR LUGAR DE ATENCIÓN/ - UNIDADES: VARIAS////"},
    };
    for (const auto &[elige, folios, encabezados] : casos) {
        filtros.InicializaFiltros();
        elige(filtros);
        EXPECT_EQ(Folios(), QString(folios));
        QStringList p;
        for (int i : {1, 3, 4, 5, 6, 8})
            p << generador.CreaEncabezados().value(QStringLiteral("p%1").arg(i));
        EXPECT_EQ(encabezados ? p.join('/') : QString(), QString::fromUtf8(encabezados));
    }
}

TEST_F(Filtros, LasDosParadasYElRangoSinEdades)
{
    filtros.MarcaTodasUnidades(false);
    generador.Reporte();
    filtros.MarcaTodasUnidades(true);
    filtros.EligeSexo(1);
    filtros.EligeCveEdad(1);
    generador.Reporte();
    // With no age in years on record the range has no bounds: nothing to report, no failing statement.
    Ejecuta("UPDATE D_EVENTO SET CodClaveEdad = 9");
    filtros.InicializaFiltros();
    filtros.EligeCveEdad(2);
    generador.Reporte();
    QStringList cajas;
    for (const auto &c : mensajes.cajas)
        cajas << c.titulo + ": " + c.texto;
    const QString sinDatos = "VELMORAN2016: No existe información para generar el Reporte con las opciones elegidas......";
    EXPECT_EQ(cajas, QStringList({"VELMORAN2016: Debe seleccionar al menos una Unidad Médica, verifique por favor.....",
                                  sinDatos, sinDatos}));
    EXPECT_TRUE(TablasTemporales() == 0 && mostrados.isEmpty());
}

// Every section typed alone leaves the period (10/01/2004 to 25/12/2004); the
// whole date counts, and a date outside the period is brought into it when the
// box is left or the report runs.
TEST_F(Filtros, LasFechasSeTecleanEnterasYSeAcotanAlDejarLaCaja)
{
    frmReportes ventana(*ctx);
    ventana.Generador().Muestra = [this](const DocumentoReporte &d) { mostrados << d.titulo; };
    ventana.show();
    ventana.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
    auto teclea = [](QDateEdit *caja, const char *fecha, Qt::Key fin) {
        caja->setFocus();
        caja->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(caja, fecha);
        if (fin != Qt::Key_unknown)
            QTest::keyClick(caja, fin);
    };
    teclea(ventana.picFechaInicial, "05032004", Qt::Key_unknown);
    EXPECT_EQ(QList<QDate>({ventana.picFechaInicial->date(), ventana.Filtros().picFechaInicial.valor}), QList<QDate>(2, {2004, 3, 5}));
    teclea(ventana.picFechaInicial, "01012003", Qt::Key_Tab);
    EXPECT_EQ(ventana.picFechaInicial->date(), QDate(2004, 1, 10));
    teclea(ventana.picFechaFinal, "01012005", Qt::Key_unknown);
    ventana.cmdGenerarReporte->click();
    EXPECT_EQ(QList<QDate>({ventana.picFechaFinal->date(), ventana.Filtros().picFechaFinal.valor}), QList<QDate>(2, {2004, 12, 25}));
}

namespace {
// Lines and enabled state of the levels below the state: "4+ 1+ 0-".
QString Niveles(const FiltrosReporte &f)
{
    QStringList r;
    for (const ComboFiltro *c : {&f.cmbJurisdiccion, &f.cmbMunicipio, &f.cmbLocalidad})
        r << QString::number(c->lineas.size()) + (c->habilitado ? "+" : "-");
    return r.join(' ');
}
QString Unidades(const FiltrosReporte &f)
{
    QStringList r;
    for (const QString &u : f.UnidadesMarcadas())
        r << u.left(11);
    return QString::number(f.lstUnidades.size()) + (f.chkTodasUnidades ? "*" : "") + (f.unidadesHabilitadas ? "+ " : "- ") + r.join(',');
}
} // namespace

// Place of care: a state opens the jurisdictions and a jurisdiction the
// municipalities; "TODOS" again empties and closes every level below it.
TEST_F(Filtros, CascadaDelLugarDeAtencion)
{
    const QString todas = "5*+ DFQRV000015,DFSSA000012,DFSSA000024,MCSSA000016,MSSSA000011";
    EXPECT_EQ(filtros.cmbEntidad.lineas, QStringList({"TODOS", "09  CIUDAD DE MEXICO", "15  MEXICO", "17  MORELOS"}));
    EXPECT_EQ(Niveles(filtros) + "|" + Unidades(filtros), "0- 0- 0-|" + todas);
    filtros.EligeEntidad(1);
    EXPECT_EQ(filtros.cmbJurisdiccion.lineas, QStringList({"TODOS", "99  SIN JURISDICCION", "06  IZTAPALAPA", "16  VENUSTIANO CARRANZA"}));
    EXPECT_EQ(filtros.cmbMunicipio.lineas, QStringList{"TODOS"});   // jurisdiction "TOD" matches none
    EXPECT_EQ(Niveles(filtros) + "|" + Unidades(filtros), QString("4+ 1+ 0-|3*+ DFQRV000015,DFSSA000012,DFSSA000024"));
    filtros.EligeJurisdiccion(2);
    filtros.EligeMunicipio(1);
    EXPECT_EQ(filtros.cmbMunicipio.Texto() + "|" + Unidades(filtros), QString("007  IZTAPALAPA|1*+ DFSSA000012"));
    filtros.EligeEntidad(0);
    EXPECT_EQ(Niveles(filtros) + "|" + Unidades(filtros), "0- 0- 0-|" + todas);
}

// Place of occurrence: no units; a state opens the municipalities and a
// municipality the localities; "TODOS" again empties and closes them.
TEST_F(Filtros, CascadaDelLugarDeOcurrencia)
{
    filtros.EligeLugar(false);
    EXPECT_EQ(filtros.cmbEntidad.lineas, QStringList({"TODOS", "09  CIUDAD DE MEXICO", "15  MEXICO", "17  MORELOS"}));
    EXPECT_EQ(Niveles(filtros) + "|" + Unidades(filtros), QString("0- 0- 0-|0- "));
    filtros.EligeEntidad(2);
    EXPECT_EQ(filtros.cmbMunicipio.lineas, QStringList({"TODOS", "033  ECATEPEC DE MORELOS"}));
    EXPECT_EQ(Niveles(filtros), QString("0- 2+ 1+"));   // municipality "TOD": only "TODOS" among the localities
    filtros.EligeMunicipio(1);
    EXPECT_EQ(filtros.cmbLocalidad.lineas, QStringList({"TODOS", "0001  ECATEPEC DE MORELOS", "0010  SANTA MARIA CHICONAUTLA"}));
    filtros.EligeEntidad(0);
    EXPECT_EQ(Niveles(filtros) + "|" + Unidades(filtros), QString("0- 0- 0-|0- "));
    filtros.EligeLugar(true);
    EXPECT_EQ(filtros.cmbEntidad.Texto() + "|" + Unidades(filtros).left(4), QString("TODOS|5*+ "));
}

// The units offered follow the state, the jurisdiction and the municipality
// chosen, every one of them ticked.
TEST_F(Filtros, LasUnidadesSiguenAlMunicipioElegido)
{
    Evento("DFQRV000027", 6, "2004-04-04");   // state 09, no jurisdiction, municipality 003
    Evento("DFSTE000010", 7, "2004-04-05");   // state 09, no jurisdiction, municipality 014
    filtros.InicializaFiltros();
    const std::pair<std::function<void(FiltrosReporte &)>, const char *> pasos[] = {
        {[](FiltrosReporte &f) { f.EligeEntidad(1); }, "5*+ DFQRV000015,DFQRV000027,DFSSA000012,DFSSA000024,DFSTE000010"},
        {[](FiltrosReporte &f) { f.EligeJurisdiccion(1); }, "3*+ DFQRV000015,DFQRV000027,DFSTE000010"},
        {[](FiltrosReporte &f) { f.EligeMunicipio(2); }, "2*+ DFQRV000015,DFSTE000010"},
        {[](FiltrosReporte &f) { f.EligeMunicipio(1); }, "1*+ DFQRV000027"},
        {[](FiltrosReporte &f) { f.EligeMunicipio(0); }, "3*+ DFQRV000015,DFQRV000027,DFSTE000010"},
        {[](FiltrosReporte &f) { f.EligeJurisdiccion(2); }, "1*+ DFSSA000012"},
        {[](FiltrosReporte &f) { f.EligeEntidad(2); }, "1*+ MCSSA000016"},
    };
    for (const auto &[elige, unidades] : pasos) {
        elige(filtros);
        EXPECT_EQ(Unidades(filtros), QString(unidades)) << filtros.cmbMunicipio.Texto().toStdString();
    }
}

// The entitlement chosen is looked for among the rows of the same care event:
// the same unit and folio on another day of care is another event.
TEST_F(Filtros, DerechohabienciaDelMismoEventoSolo)
{
    Evento("DFSSA000012", 1, "2004-01-11");   // folio 1 again, without entitlement
    Evento("DFQRV000015", 3, "2004-03-06");   // folio 3 again, with the entitlement folio 3 lacks
    Detalle("D_Derechohabiencia", "CodDerechohabiencia", "DFQRV000015", 3, "2004-03-06", "1");
    filtros.InicializaFiltros();
    filtros.EligeDerechohabiencia(1);
    ASSERT_EQ(filtros.cmbDerechohabiencia.Texto().left(3), "1  ");
    ASSERT_TRUE(generador.ArmaFiltro() && generador.CreaPasoReporte());
    EXPECT_EQ(Filas("SELECT Folio, fechaAtencion FROM PASOREPORTE ORDER BY Folio, fechaAtencion"),
              QStringList({"1|2004-01-10", "2|2004-02-20", "3|2004-03-06"}));
}

// The place levels as a clerk works them in the window: each choice opens the
// level below, the units follow the level last chosen, and "TODOS" empties and
// closes every level below it.
TEST_F(Filtros, LaCascadaDelLugarEnLaVentana)
{
    Evento("DFQRV000027", 6, "2004-04-04");   // state 09, no jurisdiction, municipality 003
    Evento("DFSTE000010", 7, "2004-04-05");   // state 09, no jurisdiction, municipality 014
    frmReportes v(*ctx);
    v.show();
    v.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v));
    // A click opens the list; the arrows go to the line starting with `inicio` and Enter takes it.
    auto elige = [](QComboBox *c, const QString &inicio) {
        QTest::mouseClick(c, Qt::LeftButton);
        QAbstractItemView *lista = c->view();
        ASSERT_TRUE(QTest::qWaitFor([lista] { return lista->isVisible(); })) << inicio.toStdString();
        const QModelIndexList linea = c->model()->match(c->model()->index(0, 0), Qt::DisplayRole, inicio, 1, Qt::MatchStartsWith);
        ASSERT_EQ(linea.size(), 1) << inicio.toStdString();
        for (int i = c->currentIndex(); i != linea[0].row(); i += i < linea[0].row() ? 1 : -1)
            QTest::keyClick(lista, i < linea[0].row() ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(lista, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([lista] { return !lista->isVisible(); })) << inicio.toStdString();
    };
    // Lines and enabled state of the levels below the state, then the units ticked and shown: "4+ 1+ 0- | 2/A,B".
    auto pantalla = [&v] {
        QStringList r, u;
        for (QComboBox *c : {v.cmbJurisdiccion, v.cmbMunicipio, v.cmbLocalidad})
            r << QString::number(c->count()) + (c->isEnabled() ? "+" : "-");
        int marcadas = 0;
        for (int i = 0; i < v.lstUnidades->count(); ++i) {
            u << v.lstUnidades->item(i)->text().left(11);
            marcadas += v.lstUnidades->item(i)->checkState() == Qt::Checked;
        }
        return r.join(' ') + (v.lstUnidades->isEnabled() ? " | " : " - ") + QString::number(marcadas) + "/" + u.join(',');
    };
    const QString todas = "7/DFQRV000015,DFQRV000027,DFSSA000012,DFSSA000024,DFSTE000010,MCSSA000016,MSSSA000011";
    const std::tuple<QComboBox *, const char *, QString> pasos[] = {
        {v.cmbEntidad, "09", "4+ 1+ 0- | 5/DFQRV000015,DFQRV000027,DFSSA000012,DFSSA000024,DFSTE000010"},
        {v.cmbJurisdiccion, "99", "4+ 3+ 0- | 3/DFQRV000015,DFQRV000027,DFSTE000010"},
        {v.cmbMunicipio, "014", "4+ 3+ 0- | 2/DFQRV000015,DFSTE000010"},
        {v.cmbMunicipio, "003", "4+ 3+ 0- | 1/DFQRV000027"},
        {v.cmbMunicipio, "TODOS", "4+ 3+ 0- | 3/DFQRV000015,DFQRV000027,DFSTE000010"},
        {v.cmbMunicipio, "003", "4+ 3+ 0- | 1/DFQRV000027"},
        {v.cmbJurisdiccion, "06", "4+ 2+ 0- | 1/DFSSA000012"},   // as many units, other ones
        {v.cmbJurisdiccion, "TODOS", "4+ 1+ 0- | 5/DFQRV000015,DFQRV000027,DFSSA000012,DFSSA000024,DFSTE000010"},
        {v.cmbEntidad, "TODOS", "0- 0- 0- | " + todas},
        // Place of occurrence: no units; the state opens the municipalities and these the localities.
        {nullptr, nullptr, "0- 0- 0- - 0/"},
        {v.cmbEntidad, "15", "0- 2+ 1+ - 0/"},
        {v.cmbMunicipio, "033", "0- 2+ 3+ - 0/"},
        {v.cmbEntidad, "TODOS", "0- 0- 0- - 0/"},
    };
    for (const auto &[combo, inicio, esperado] : pasos) {
        if (combo)
            elige(combo, inicio);
        else   // on the round mark, where the mouse lands on the button
            QTest::mouseClick(v.optLugarOcurrencia, Qt::LeftButton, {}, QPoint(6, v.optLugarOcurrencia->height() / 2));
        EXPECT_EQ(pantalla(), esperado) << (inicio ? inicio : "Lugar de Ocurrencia");
    }
    EXPECT_TRUE(mensajes.cajas.isEmpty());
}
