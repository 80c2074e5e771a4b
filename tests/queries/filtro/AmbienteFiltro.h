#pragma once

// Three care events with their detail rows under the capture sheet, for the
// filter runs and the query windows.

#include "comun/HojaEnBase.h"
#include "platform/BaseDatos.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <tuple>

class AmbienteFiltro : public ::testing::Test, public HojaEnBase {
protected:
    void SetUp() override
    {
        Evento("DFQRV000015", 1, "2004-03-01", "O'HARA", 2, 30);
        Evento("DFSSA000012", 2, "2004-03-02", "PEÑA", 1, 5);
        Evento("DFQRV000015", 3, "2004-05-10", "RUIZ", 2, 60);
        Detalle("D_Derechohabiencia (CLUES, Folio, fechaAtencion, CodDerechohabiencia)", 1, {"1", "2"});
        Detalle("D_TipoViolencia (CLUES, Folio, fechaAtencion, CodTipoViolencia)", 1, {1});
        Detalle("D_TipoAtencion (CLUES, Folio, fechaAtencion, CodTipoAtencion)", 1, {1, 2});
        for (const auto &[folio, persona, efecto] : {std::tuple{1, 1, 3}, {1, 2, 4}, {2, 2, 3}})
            prog.Ejecuta("INSERT INTO D_BajoEfectos SELECT Clues, Folio, fechaAtencion, ?, ? FROM D_EVENTO WHERE Folio = ?",
                         {persona, efecto, folio});
        for (const auto &[folio, codigo, orden] : {std::tuple{1, "S011", 1}, {1, "T141", 2}, {2, "S011", 1}})
            prog.Ejecuta("INSERT INTO D_Diagnosticos SELECT Clues, Folio, fechaAtencion, ?, ? FROM D_EVENTO WHERE Folio = ?",
                         {codigo, orden, folio});
        Vida().Abre();
    }
    void Evento(const QString &clues, int folio, const QString &fecha, const QString &paterno, int sexo, int edad)
    {
        prog.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, CodSexo, Edad) VALUES (?, ?, ?, ?, ?, ?)",
                     {clues, folio, fecha, paterno, sexo, edad});
    }
    void Detalle(const QString &tabla, int folio, const QVariantList &codigos)
    {
        for (const QVariant &c : codigos)
            prog.Ejecuta("INSERT INTO " + tabla + " SELECT Clues, Folio, fechaAtencion, ? FROM D_EVENTO WHERE Folio = ?",
                         {c, folio});
    }
    // The folios of the sheet's record set, in its order.
    QString Folios()
    {
        ConjuntoEventos &rs = Reg().eventos.rsAtencion;
        QStringList folios;
        const int pos = rs.Posicion();
        for (int i = 1; rs.IrA(i); ++i)
            folios << QString::number(rs.Actual()->folio);
        rs.IrA(pos);
        return folios.join(',');
    }
};
