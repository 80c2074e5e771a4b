#pragma once

// One complete, valid care event against the template catalogs, as plain data
// for the tests and the data generator.

#include "events/HojaDatos.h"
#include "events/MapaEvento.h"
#include "events/modEvento.h"

struct DatosEvento {
    QMap<int, QString> textos;                 // txtDatos by index (22, 23, 29..81 but 76)
    QString fechaOcurrencia, fechaAtencion;    // dd/MM/yyyy
    QMap<ListaHoja, QStringList> marcados;     // list codes to tick
    QStringList diagnosticos;                  // final diagnoses, in order
};

// A family-violence event against a woman of 30 years, cared for at a unit of
// state 36 on 15/06/2004 (statistical year 2004), with ticks in every list
// and two final diagnoses.
DatosEvento EventoValido();

// Writes the fields and both dates in the column order of D_EVENTO (governing
// fields before the ones they govern, as reading an event does), then ticks
// the lists, which must be loaded already. Violence types are ticked before
// care types, since ticking violence type 2 reloads the care types.
inline void LlenaHoja(HojaDatos &hoja, const DatosEvento &d)
{
    for (const ColumnaEvento &c : ColumnasEvento()) {
        if (c.tipo == TipoValor::Fecha)
            hoja.PonFecha(c.campo, c.campo == 0 ? d.fechaOcurrencia : d.fechaAtencion);
        else
            for (int campo : {c.campo, c.campo2})
                if (campo > 0 && d.textos.contains(campo))
                    hoja.PonTexto(campo, d.textos.value(campo));
    }
    for (ListaHoja l : {ListaHoja::Derechohabiencia, ListaHoja::TipoViolencia, ListaHoja::PacienteEfectos,
                        ListaHoja::AgresorEfectos, ListaHoja::TipoAtencion})
        for (int i = 0; i < hoja.Elementos(l).size(); ++i)
            if (d.marcados.value(l).contains(hoja.Elementos(l)[i].texto.left(2).trimmed(), Qt::CaseInsensitive))
                hoja.Marca(l, i, true);
}

// The whole event on the store's sheet, whose lists are loaded: fields, dates
// and ticks written, diagnoses in the work table (marked as edited). False
// when the work table could not be written.
inline bool PonEvento(modEvento &almacen, const DatosEvento &d)
{
    LlenaHoja(almacen.Hoja(), d);
    almacen.Hoja().GridAfeccionesEditado = true;
    return almacen.PonAfeccionesTmp(d.diagnosticos) && almacen.RefrescaGridAfecciones();
}

// The same after loading the lists; false also when they could not be loaded.
inline bool LlenaEvento(modEvento &almacen, const DatosEvento &d)
{
    return almacen.CargaListas() && PonEvento(almacen, d);
}
