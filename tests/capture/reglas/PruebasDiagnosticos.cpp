// The diagnosis list: add, replace and delete in the work table, and the order saved.
#include "AmbienteReglas.h"

namespace {

const QString Repetida = "No puede capturar dos veces la misma causa, verifique por favor....";

class Diagnosticos : public AmbienteReglas {
protected:
    // An event being added: the fields of a valid one, an empty list.
    Diagnosticos()
    {
        DatosEvento d = EventoValido();
        d.diagnosticos.clear();
        Captura(Reg(), d);
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

    modEvento &almacen = Reg().eventos;
    ListaDiagnosticos &lista = Reg().diagnosticos;
};

} // namespace

TEST_F(Diagnosticos, AgregaReemplazaBorraYGuardaEnElOrdenDeLaLista)
{
    // No row, or no code: nothing changes, but the list counts as edited.
    hoja.PonTexto(76, "S001");
    EXPECT_FALSE(lista.Modifica(0) || lista.Borra(0));
    EXPECT_TRUE(Agrega("S001"));
    for (int boton = 0; boton < 3; ++boton) {
        hoja.GridAfeccionesEditado = false;
        hoja.PonTexto(76, "  ");   // each button shows the first row's code again
        EXPECT_FALSE(boton == 0 ? lista.Agrega() : boton == 1 ? lista.Modifica(0) : lista.Borra(0)) << boton;
        EXPECT_TRUE(hoja.GridAfeccionesEditado && Msj().cajas.isEmpty()) << boton;
    }
    EXPECT_TRUE(Agrega("T009") && Agrega("S008"));
    // A code already listed, added or put in another row.
    EXPECT_FALSE(Agrega("S008"));
    EXPECT_TRUE(Msj().Ultimo() == Repetida && Msj().cajas.last().titulo == TituloHojaRegistro());
    EXPECT_FALSE(Modifica(1, "S001"));
    // Replacing keeps the row's place; its own code again is no repeat.
    EXPECT_TRUE(Msj().cajas.size() == 2 && Modifica(1, "F100") && Modifica(1, "F100"));
    EXPECT_EQ(Filas(), (QStringList{"1:S001", "2:F100", "3:S008"}));
    // Deleting takes the current row whatever the code and leaves a gap; a
    // new row goes last with the largest plus one.
    hoja.PonTexto(76, "T009");
    EXPECT_TRUE(lista.Borra(1) && Agrega("T009") && hoja.GridAfeccionesEditado);
    EXPECT_EQ(Filas(), (QStringList{"1:S001", "3:S008", "4:T009"}));
    // Saved 1 to 3 in the list's order.
    ASSERT_TRUE(almacen.AltaEvento()) << Msj().Ultimo().toStdString();
    EXPECT_EQ(prog.Filas("SELECT Orden, CodDiagnostico FROM D_Diagnosticos ORDER BY Orden"), (QStringList{"1|S001", "2|S008", "3|T009"}));
    // With the date of care empty the rebuild goes by CLUES and Folio alone.
    hoja.EnAlta = false;
    hoja.GridAfeccionesEditado = false;
    hoja.PonFecha(1, QString());
    ASSERT_TRUE(almacen.RefrescaGridAfecciones());
    EXPECT_EQ(Filas(), (QStringList{"1:S001", "2:S008", "3:T009"}));
}
