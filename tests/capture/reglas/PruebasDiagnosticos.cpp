// The diagnosis list: add, replace and delete in the work table, and the order saved.
#include "AmbienteReglas.h"

#include "capture/ListaDiagnosticos.h"
#include "events/modEvento.h"

namespace {

const QString Repetida = "No puede capturar dos veces la misma causa, verifique por favor....";

class Diagnosticos : public AmbienteReglas {
protected:
    Diagnosticos() : almacen(*prog.ctx, hoja), lista(*prog.ctx, hoja)
    {
        // An event being added: the fields of a valid one, an empty list.
        hoja.EnAlta = false;
        LlenaHoja(hoja, EventoValido());
        hoja.EnAlta = true;
        hoja.GridAfeccionesEditado = false;
        almacen.RefrescaGridAfecciones();
    }
    bool Agrega(const QString &codigo) { return hoja.PonTexto(76, codigo), lista.Agrega(); }
    bool Modifica(int fila, const QString &codigo) { return hoja.PonTexto(76, codigo), lista.Modifica(fila); }
    // The grid as "numafec:code" texts.
    QStringList Filas() const
    {
        QStringList f;
        for (const FilaAfeccion &a : hoja.Afecciones())
            f << QStringLiteral("%1:%2").arg(a.numafec).arg(a.afeccion);
        return f;
    }

    modEvento almacen;
    ListaDiagnosticos lista;
};

} // namespace

TEST_F(Diagnosticos, AgregaReemplazaBorraYGuardaEnElOrdenDeLaLista)
{
    EXPECT_TRUE(Agrega("S001") && Agrega("T009") && Agrega("S008") && Mensajes().cajas.isEmpty());
    // After each button the entry field shows the first row's code.
    EXPECT_EQ(hoja.Texto(76), "S001");

    // A code already listed, added or put in another row.
    EXPECT_FALSE(Agrega("S008"));
    EXPECT_TRUE(Mensajes().Ultimo() == Repetida && Mensajes().cajas.last().titulo == TituloHojaRegistro());
    Mensajes().Limpia();
    EXPECT_FALSE(Modifica(1, "S001"));
    EXPECT_EQ(Mensajes().Ultimo(), Repetida);
    EXPECT_EQ(Filas(), (QStringList{"1:S001", "2:T009", "3:S008"}));
    // Replacing keeps the row's place; its own code again is no repeat.
    EXPECT_TRUE(Modifica(1, "F100") && Modifica(1, "F100"));
    EXPECT_EQ(Filas(), (QStringList{"1:S001", "2:F100", "3:S008"}));

    // Deleting the middle row leaves a gap; a new row goes last with the largest plus one.
    hoja.PonTexto(76, "S001");
    EXPECT_TRUE(lista.Borra(1));
    EXPECT_TRUE(Agrega("T009") && hoja.GridAfeccionesEditado);
    EXPECT_EQ(Filas(), (QStringList{"1:S001", "3:S008", "4:T009"}));

    // Saved 1 to 3 in the list's order, and read back so.
    ASSERT_TRUE(almacen.AltaEvento()) << Mensajes().Ultimo().toStdString();
    EXPECT_EQ(prog.Filas("SELECT Orden, CodDiagnostico FROM D_Diagnosticos ORDER BY Orden"), (QStringList{"1|S001", "2|S008", "3|T009"}));
    hoja.GridAfeccionesEditado = false;
    ASSERT_TRUE(almacen.RefrescaGridAfecciones());
    EXPECT_EQ(Filas(), (QStringList{"1:S001", "2:S008", "3:T009"}));
    // With the date of care empty the rebuild goes by CLUES and Folio alone.
    hoja.EnAlta = false;
    hoja.PonFecha(1, QString());
    ASSERT_TRUE(almacen.RefrescaGridAfecciones());
    EXPECT_EQ(Filas(), (QStringList{"1:S001", "2:S008", "3:T009"}));
    hoja.PonTexto(22, "124");
    ASSERT_TRUE(almacen.RefrescaGridAfecciones());
    EXPECT_TRUE(Filas().isEmpty());
}

// No row, or no code: nothing changes, but the list counts as edited.
TEST_F(Diagnosticos, SinFilasOSinCodigoNoCambiaNada)
{
    hoja.PonTexto(76, "S001");
    for (int fila : {-1, 0}) {
        hoja.GridAfeccionesEditado = false;
        EXPECT_FALSE(lista.Modifica(fila) || lista.Borra(fila)) << fila;
        EXPECT_TRUE(hoja.GridAfeccionesEditado && Filas().isEmpty());
    }
    Agrega("S001");
    for (int boton = 0; boton < 3; ++boton) {
        hoja.GridAfeccionesEditado = false;
        hoja.PonTexto(76, "  ");
        EXPECT_FALSE(boton == 0 ? lista.Agrega() : boton == 1 ? lista.Modifica(0) : lista.Borra(0)) << boton;
        EXPECT_TRUE(hoja.GridAfeccionesEditado) << boton;
        EXPECT_EQ(Filas(), QStringList{"1:S001"}) << boton;
    }
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Diagnosticos, BorrarQuitaLaFilaActualSeaCualSeaElCodigoYElegirLlevaSuCodigo)
{
    Agrega("S001");
    Agrega("S008");
    lista.FilaElegida(1);
    lista.FilaElegida(5);
    EXPECT_EQ(hoja.Texto(76) + "|" + hoja.Etiqueta(76), "S008|TRAUMATISMO SUPERFICIAL");
    hoja.PonTexto(76, "T009");
    EXPECT_TRUE(lista.Borra(0));
    EXPECT_EQ(Filas() << hoja.Texto(76), (QStringList{"2:S008", "S008"}));
    EXPECT_TRUE(lista.Borra(0) && hoja.Texto(76).isEmpty() && Agrega("T009"));
    EXPECT_EQ(Filas(), QStringList{"1:T009"});
}
