#pragma once

#include "comun/DialogoFijo.h"
#include "comun/HojaEnBase.h"
#include "platform/BaseDatos.h"

#include <gtest/gtest.h>

// Events of unit A, folios 1 to 5 dated 1 to 5 March 2004, with 0 to 4 codes
// of every detail (folio n has 9 down to 11 - n), substances of patient and
// aggressor apart and diagnoses in Orden 1, 2 and 4 on folio 3; Paterno P5
// down to P1 but PEÑA on folio 2.
class CincoEventos : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int folio = 1; folio <= 5; ++folio) {
            const QVariantList clave = {"A", folio, "2004-03-0" + QString::number(folio)};
            p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, Edad, CodEstado) VALUES (?, ?, ?, ?, ?, '09')",
                      clave + QVariantList{folio == 2 ? "PEÑA" : QString("P%1").arg(6 - folio), 20 + folio});
            for (int k = 0; k < folio - 1; ++k) {   // given in reverse
                const int codigo = 9 - k;
                p.Ejecuta("INSERT INTO D_Derechohabiencia VALUES (?, ?, ?, ?)", clave + QVariantList{QString("0%1").arg(codigo)});
                p.Ejecuta("INSERT INTO D_TipoViolencia VALUES (?, ?, ?, ?)", clave + QVariantList{codigo});
                p.Ejecuta("INSERT INTO D_TipoAtencion VALUES (?, ?, ?, ?)", clave + QVariantList{codigo});
            }
        }
        const QVariantList tres = {"A", 3, "2004-03-03"};
        for (const auto &[persona, efecto] : {std::pair{1, 5}, {1, 2}, {2, 3}})
            p.Ejecuta("INSERT INTO D_BajoEfectos VALUES (?, ?, ?, ?, ?)", tres + QVariantList{persona, efecto});
        for (const auto &[codigo, orden] : {std::pair{"S010", 1}, {"S020", 2}, {"T140", 4}})
            p.Ejecuta("INSERT INTO D_Diagnosticos VALUES (?, ?, ?, ?, ?)", tres + QVariantList{codigo, orden});
    }
    HojaEnBase h;
    ProgramaTemporal &p = h.prog;
    DialogoFijo dialogo;
};
