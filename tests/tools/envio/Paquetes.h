#pragma once

#include "comun/ProgramaTemporal.h"
#include "tools/Envio.h"
#include "tools/EnvioPaquete.h"

#include <QDir>
#include <gtest/gtest.h>

// A working database with events of two units of CATCLUES and one outside
// it, each with one row in every detail table, and the packages made of it.
class Paquetes : public ::testing::Test {
public:
    void SetUp() override
    {
        p.AbreBase();
        const QStringList unidades = p.Filas("SELECT Clues FROM CATCLUES ORDER BY Clues LIMIT 2");
        A = unidades[0];
        B = unidades[1];
        AltaEvento(p, A, 1, "2004-01-10");
        AltaEvento(p, A, 2, "2004-06-15");
        AltaEvento(p, B, 1, "2004-06-15");
        AltaEvento(p, X, 7, "2004-03-01");
    }

    // One event with one row in each detail table (two diagnoses).
    static void AltaEvento(const ProgramaTemporal &prog, const QString &clues, int folio, const QString &fecha)
    {
        const QVariantList k = {clues, folio, fecha};
        prog.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) VALUES (?, ?, ?, 'PEREZ', ?)",
                     k + QVariantList{fecha});
        prog.Ejecuta("INSERT INTO D_Derechohabiencia VALUES (?, ?, ?, '1')", k);
        prog.Ejecuta("INSERT INTO D_TipoViolencia VALUES (?, ?, ?, 2)", k);
        prog.Ejecuta("INSERT INTO D_BajoEfectos VALUES (?, ?, ?, 1, 3)", k);
        prog.Ejecuta("INSERT INTO D_TipoAtencion VALUES (?, ?, ?, 4)", k);
        prog.Ejecuta("INSERT INTO D_Diagnosticos VALUES (?, ?, ?, 'S001', 1)", k);
        prog.Ejecuta("INSERT INTO D_Diagnosticos VALUES (?, ?, ?, 'S008', 2)", k);
    }

    // Every row of the six event tables and the catalog cSexo where they stand, sorted.
    static QStringList Contenido(const BaseDatos &bd, const QString &esquema = "main")
    {
        QStringList filas;
        for (const QString &tabla : TablasEvento + QStringList{"cSexo"})
            if (bd.Valor(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE name = ? COLLATE NOCASE").arg(esquema), {tabla}).isValid())
                for (const QString &f : ::Filas(bd, QStringLiteral("SELECT * FROM %1.%2").arg(esquema, tabla)))
                    filas << tabla + ": " + f;
        filas.sort();
        return filas;
    }

    // Sends with the window's logic into `carpeta`; the package's path.
    QString Envia(const Envio::Seleccion &s, const QString &carpeta)
    {
        Envio envio(*p.ctx);
        const QString destino = QDir(carpeta).filePath(envio.PaqueteEnvio);
        EXPECT_TRUE(envio.GeneraEnvio(s, destino)) << qPrintable(p.mensajes.Ultimo());
        return destino;
    }

    ProgramaTemporal p;
    QString A, B;
    const QString X = "ZZSSA999999";   // a unit absent from CATCLUES
};
