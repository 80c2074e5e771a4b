#include "DatosListas.h"

#include "events/HojaDatos.h"
#include "lookups/modSeleccionaCatalogos.h"
#include "shell/BarraDatos.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <memory>

namespace {

const QString Sin = "No se encontro ningun registro....";

template <class V> V *Nueva(std::unique_ptr<VentanaSeleccion> &w, Contexto &ctx, CamposDestino *d, int n)
{
    auto *v = new V(ctx, d, n);
    w.reset(v);
    return v;
}

// "+1,5" only those codes, "-7,8" all but those.
CodigosCatalogo Codigos(const QString &t)
{
    CodigosCatalogo c;
    if (t.isEmpty())
        return c;
    c.modo = t[0] == '+' ? CodigosCatalogo::Modo::Solo : CodigosCatalogo::Modo::Excepto;
    for (const QString &n : t.mid(1).split(','))
        c.codigos << n.toInt();
    return c;
}

// The pick-list `que` names, read and shown, or null when it does not open: "Estados <origin>",
// "Mpos <origin> [state]", "Locs <origin> <state> <municipality>", "Cat <field> <catalog> [codes]",
// "Clues <origin> <working state>", "Listadet <field>".
std::unique_ptr<VentanaSeleccion> Abre(Contexto &ctx, CamposDestino *d, const QString &que)
{
    const QStringList a = que.split(' ');
    const int n = a.value(1).toInt();
    std::unique_ptr<VentanaSeleccion> w;
    bool leida;
    ctx.EstadoActual = a.value(2);
    if (a[0] == "Estados")
        leida = Nueva<frmSelCatEstados>(w, ctx, d, n)->Abre();
    else if (a[0] == "Mpos")
        leida = Nueva<frmSelCatMpos>(w, ctx, d, n)->Abre(a.value(2));
    else if (a[0] == "Locs")
        leida = Nueva<frmSelCatLocs>(w, ctx, d, n)->Abre(a.value(2), a.value(3));
    else if (a[0] == "Cat")
        leida = Nueva<frmSelCat>(w, ctx, d, n)->Abre(a.value(2), Codigos(a.value(3)));
    else if (a[0] == "Clues")
        leida = Nueva<frmSelCLUES>(w, ctx, d, n)->Abre();
    else
        leida = Nueva<frmListadet>(w, ctx, d, n)->Abre();
    if (!leida)
        return nullptr;
    w->show();
    QApplication::setActiveWindow(w.get());
    return w;
}

class Ventanas : public PruebaListas {};

// Each window's keys, boxes, moves and choice, played on it from its opening.
TEST_F(Ventanas, CadaListaPorSusTeclas)
{
    QApplication::clipboard()->setText("mu");   // lower case, as no key would leave it
    struct Caso {
        const char *ventana;
        QList<int> columnas;
        const char *guion;
        QString esperado;   // Vista, then '|' and what was written ("campo=código"; "@campo": focused)
        QString titulo = {};
    } casos[] = {
        // Letters in a code box, '%' and a paste are refused; a search without match is said and starts over.
        {"Estados 5", {0}, "0=a' 1=a% 1!Ctrl+V 0=9", "01 09 12 15 16 36 37>01|4|0||1|" + Sin + "/Catálogo de Estados|"},
        {"Estados 5", {0}, "0=1 0!Tab f=mex f!Return", "15>15|0|1|0:1,1:MEX|0||46=15"},
        {"Estados 3", {0}, "g!Return", "01 09 12 15 16 36 37>01|0|0||0||"},   // a caller without field: nothing written
        {"Mpos 5", {0, 1}, "0=15 1=02 3=coy @cmdDatos_0", "15-058>15-058|0|3|0:15,1:02,3:COY|0||47=058"},
        {"Mpos 5 15", {1}, "", "001 002 058>001|0|0||1||"},
        {"Locs 5 15 001", {2}, "b2 b4 b3 b1 b3 3=peñ b3 b6", "0010 0011>0011|2|3|3:PEÑ|0||48=0011"},
        // The whole code, not its beginning; digits typed in the grid search from the top, letters do nothing.
        {"Cat 41 Escolaridad", {0}, "0=11 1=' 1=x g=9 g=1 g=7 g=A g!Return", "12>7|1|g||0|" + Sin + "/Catálogos|41=7",
         "Catálogos. Registro : 7 de 12"},
        {"Cat 38 Sexo", {0}, "1!Shift+Ins 1!Ctrl+V g=5 g!Return b6 g!Esc", "1 2 9>|4|g||0||"},
        {"Cat 41 Escolaridad +1,5,6,9", {0}, "", "1 5 6 9>1|0|0||1||"},
        {"Cat 68 Parentesco -7,8", {0}, "d1", "1 2>2|0|g||0||68=2"},
        // The sheet's callers list the working state's units ("99": all), the others every unit.
        {"Clues 1 15", {2}, "", "15 15 15 15>15|0|0||1||"},
        {"Clues 3 15", {2}, "", "09 15 15 15 15 16>09|0|0||1||"},
        {"Clues 1 12", {0}, "b6", ">|1|0||1||"},
        // Enter moves on; a blank box empties the others but the CLUES one; the last box hands on to the grid.
        {"Clues 1 99", {2}, "0=mc 0!Return 13=15 15=058 13!Backspace 13!Backspace 13=a 19=1 19!Esc 16=0001 19=z 19!Return g!Return",
         "09 15 15 15 15 16>15|3|g|0:MC|0|" + Sin + "/Catálogo de Unidad Médicas|23=MCSSA000022"},
        {"Listadet 78", {0}, "", "V010 W000 X590>V010|0|0||1||"},
        {"Listadet 77", {0}, "d3", "F100 O040 o041 O267 S000 S601 T009>O267|0|g||0||77=O267"},   // locked: not focused
        {"Listadet 0", {0}, "g!Return", "F100 O040 o041 O267 S000 S601 T009>F100|0|0||0||"},
        // Sex, initial age and its key, final age and its key, trivial mark; a whole code moves on.
        {"Listadet 76", {2, 3, 4, 5, 6, 7}, "0=s000", "M-001-H-120-A-1>M-001-H-120-A-1|0|1|0:S000|1||"},
        {"Listadet 76", {2, 3, 4, 5, 6, 7}, "0=o040", "F-010-A-054-A-0>F-010-A-054-A-0|0|1|0:O040|1||"},
        {"Listadet 76", {2, 3, 4, 5, 6, 7}, "0=f100", "A-----0>A-----0|0|1|0:F100|1||"},
        {"Listadet 76", {0}, "0=s 0=601 f=uña f!Return", "S601>S601|0|1|0:S601,1:UÑA|0||76=S601,@76"},
        {"Listadet 78", {0}, "0=ñ._ 0!Esc b4 0=w 1=caida_en 0!Backspace 1=peñ b7",
         "V010 W000 X590>V010|4|1||0|No se encontro ningún registro..../Catálogo de Lista Detallada|"},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(std::string(c.ventana) + " " + c.guion);
        p.mensajes.Limpia();
        destino.escritos.clear();
        std::unique_ptr<VentanaSeleccion> w = Abre(*p.ctx, &destino, c.ventana);
        ASSERT_TRUE(w);
        Juega(w.get(), c.guion);
        EXPECT_EQ(Vista(w.get(), w->Lista(), c.columnas, p.mensajes) + '|' + destino.escritos.join(','), c.esperado);
        EXPECT_TRUE(c.titulo.isEmpty() || w->windowTitle() == c.titulo) << w->windowTitle().toStdString();
    }
}

TEST_F(Ventanas, CatalogoVacioOIlegibleSeAvisaYNoAbre)
{
    p.Ejecuta("DELETE FROM cEstados");
    p.Ejecuta("DELETE FROM cSexo");
    p.Ejecuta("DROP TABLE CATCLUES");
    const QString vacio = "El Catálogo de %1 esta vacio, por favor verifique por favor.....";
    const QString ilegible = "No se pudo leer el Catálogo, verifique por favor.....\n";
    const struct {
        const char *ventana;
        QString texto, titulo;
        Mensajes::Icono icono = Mensajes::Icono::Informacion;
    } casos[] = {
        {"Estados 5", vacio.arg("Estados"), "Selección de Estados"},
        {"Mpos 5 12", vacio.arg("Municipios"), "Selección de Municipios"},
        {"Locs 5 16 002", vacio.arg("Localidades"), "Selección de Localidades"},
        {"Cat 38 Sexo", "No hay datos en el Catálogo, verifique por favor.....", "Catálogos"},
        {"Cat 38 Sexo'", ilegible + "No existe el catálogo Sexo'", "Catálogos", Mensajes::Icono::Critico},
        {"Clues 1 99", ilegible + "La instrucción no se pudo ejecutar en la Base de Datos (no such table: CATCLUES)", "Selecciona CLUES",
         Mensajes::Icono::Critico},
    };
    for (const auto &c : casos) {
        p.mensajes.Limpia();
        EXPECT_FALSE(Abre(*p.ctx, &destino, c.ventana)) << c.ventana;
        ASSERT_EQ(p.mensajes.cajas.size(), 1);
        const MensajesFalsos::Caja &m = p.mensajes.cajas[0];
        EXPECT_EQ(m.texto + "|" + m.titulo + "|" + QString::number(int(m.icono)), c.texto + "|" + c.titulo + "|" + QString::number(int(c.icono)));
    }
}

// Entering a box selects its text; the focus coming back after the no-match
// message does not, so the next key adds to what stands in the box.
TEST_F(Ventanas, UnaCajaSeleccionaSuTextoSoloCuandoElUsuarioEntra)
{
    std::unique_ptr<VentanaSeleccion> w = Abre(*p.ctx, &destino, "Clues 1 99");
    QApplication::processEvents();   // the window's own first focus settles
    QLineEdit *clues = w->Caja(0);
    Teclea(clues, "mcx");
    ASSERT_EQ(clues->text(), "MCX");
    for (Qt::FocusReason razon : {Qt::ActiveWindowFocusReason, Qt::MouseFocusReason}) {
        QFocusEvent entra(QEvent::FocusIn, razon);
        QApplication::sendEvent(clues, &entra);
        QApplication::processEvents();
        EXPECT_EQ(clues->selectedText(), razon == Qt::MouseFocusReason ? "MCX" : "");
    }
}

// What a person sees: the whole toolbar, Cancelar included, and every code
// column wide enough for its values (descriptions alone may be cut).
TEST_F(Ventanas, CadaVentanaMuestraLaBarraEnteraYLosCodigosCompletos)
{
    const QList<QPair<QString, QList<int>>> casos = {
        {"Estados 5", {0}}, {"Mpos 5 15", {0, 1, 3}}, {"Locs 5 15 001", {0, 1, 2}}, {"Cat 38 Sexo", {0}},
        {"Clues 1 15", {0, 2, 3, 4, 5, 6}}, {"Listadet 76", {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}}};
    for (const auto &c : casos) {
        std::unique_ptr<VentanaSeleccion> w = Abre(*p.ctx, &destino, c.first);
        QApplication::processEvents();
        for (QAction *a : w->Barra()->actions())
            EXPECT_TRUE(a->isSeparator() || w->Barra()->widgetForAction(a)->isVisible()) << c.first.toStdString();
        for (int col : c.second)
            EXPECT_GE(w->Grid()->columnWidth(col), static_cast<QAbstractItemView *>(w->Grid())->sizeHintForColumn(col))
                << c.first.toStdString() << " " << col;
    }
    // The safety equipment's list is wider, once: a fruitless search lays the grid out again.
    std::unique_ptr<VentanaSeleccion> sexo = Abre(*p.ctx, &destino, "Cat 38 Sexo"), equipo = Abre(*p.ctx, &destino, "Cat 59 Equipo");
    const int columna = equipo->Grid()->columnWidth(1);
    Juega(equipo.get(), "1=ZZ");
    EXPECT_EQ(std::pair(equipo->width(), equipo->Grid()->columnWidth(1)), std::pair(sexo->width() + Twips(1500), columna));
}

// A choice reaches the capture sheet's own fields; the message panel is
// emptied once the list has closed, or when it never opened.
TEST_F(Ventanas, ElCodigoElegidoLlegaALaHojaYElPanelSeLimpiaAlCerrar)
{
    HojaDatos hoja;
    QStringList panel;
    qsizetype mientras = -1;
    p.ctx->PanelMensajes = [&panel](const QString &t) { panel << t; };
    QTimer::singleShot(0, [&] {
        auto *w = qobject_cast<VentanaSeleccion *>(QApplication::activeModalWidget());
        mientras = panel.size();
        Juega(w, "1=muj 1!Return");
    });
    SeleccionaCatalogo(*p.ctx, hoja, 67, "Sexo");
    p.Ejecuta("DELETE FROM cSexo");
    SeleccionaCatalogo(*p.ctx, hoja, 38, "Sexo");
    EXPECT_EQ(hoja.Texto(67) + "|" + QString::number(mientras) + "|" + panel.join(','), "2|0|,");
}

} // namespace
