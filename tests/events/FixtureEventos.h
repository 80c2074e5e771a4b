#pragma once

#include "comun/EventoValido.h"
#include "comun/ProgramaTemporal.h"
#include "events/modEvento.h"

#include <gtest/gtest.h>
#include <memory>

// A fresh working database with the store over a sheet of its own.
class PruebaAlmacen : public ::testing::Test {
protected:
    void SetUp() override
    {
        prog.AbreBase();
        almacen = std::make_unique<modEvento>(*prog.ctx, hoja);
    }

    // Puts the event on the sheet and inserts it; asserts it went in.
    void Graba(const DatosEvento &d)
    {
        ASSERT_TRUE(LlenaEvento(*almacen, d));
        ASSERT_TRUE(almacen->AltaEvento()) << prog.mensajes.Ultimo().toStdString();
    }
    // The same event under another key.
    static DatosEvento Otro(const QString &clues, int folio, const QString &fecha)
    {
        DatosEvento d = EventoValido();
        d.textos[23] = clues;
        d.textos[22] = QString::number(folio);
        d.fechaAtencion = fecha;
        d.fechaOcurrencia = fecha;
        return d;
    }
    // The stored event read into the store's sheet.
    void Lee() { ASSERT_TRUE(almacen->CargaEventos(almacen->ConsultaEventos)); }

    ProgramaTemporal prog;
    HojaDatos hoja;
    std::unique_ptr<modEvento> almacen;
};
