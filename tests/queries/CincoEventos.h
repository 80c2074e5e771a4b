#pragma once

#include "comun/DialogoFijo.h"
#include "comun/HojaEnBase.h"
#include "platform/BaseDatos.h"
#include "queries/EjecutaGenConsultas.h"
#include "queries/PanelCriterio.h"
#include "queries/frmGenConsultas.h"
#include "queries/modVisData.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

// Events of unit A, folios 1 to 5 dated 1 to 5 March 2004, with 0 to 4 codes
// of every detail (folio n has 9 down to 11 - n), substances of patient and
// aggressor apart and diagnoses in Orden 1, 2 and 4 on folio 3; Paterno P5
// down to P1 but PEÑA on folio 2. The capture sheet is open on them.
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
        h.Vida().Abre();
    }
    bool Filtra(const QString &criterio) { return EjecutaFiltro(*p.ctx, criterio, DestinoFiltro{&h.Reg(), {}}); }
    // The folios of the sheet's record set, in its order.
    QString Folios()
    {
        ConjuntoEventos &rs = h.Reg().eventos.rsAtencion;
        QStringList folios;
        for (int i = 1; rs.IrA(i); ++i)
            folios << QString::number(rs.Actual()->folio);
        return folios.join(',');
    }
    static void Elige(QComboBox *combo, const QString &texto)
    {
        combo->setCurrentIndex(combo->findText(texto));
        emit combo->activated(combo->currentIndex());
    }
    // The generator run by its own "Ejecutar", with a condition field and E.Folio chosen.
    void PreparaGenerador(frmGenConsultas &g)
    {
        g.PonEjecucion([this](frmGenConsultas &v) { EjecutaGenConsultas(*p.ctx, dialogo, v); });
        g.Panel()->cboField->setCurrentIndex(1);
        g.lstOrigen->setCurrentRow(1);
        g.Selecciona(0);   // E.Folio
    }
    // The criteria run in the filter and in the generator `g` (PreparaGenerador):
    // both find the folios (none: the boxes that say so, three in all).
    void EnAmbos(frmGenConsultas &g, const char *criterio, const char *folios)
    {
        const QString texto = QString::fromUtf8(criterio);
        h.Msj().Limpia();
        const bool hay = Filtra(texto);
        EXPECT_EQ(hay ? Folios() : QString(), QString(folios)) << criterio;
        g.Panel()->PonCriterio(texto);
        CierraModal([&] { g.cmdRunQuery->click(); });
        EXPECT_EQ(p.Filas("SELECT Folio FROM GENCONSUL ORDER BY Folio").join(','), QString(folios)) << criterio;
        EXPECT_EQ(h.Msj().cajas.size(), *folios ? 0 : 3) << criterio << h.Msj().Ultimo().toStdString();
    }
    // Both refuse the criteria with the error box of this description; the
    // filter follows it with its closing box.
    void FallaEnAmbos(frmGenConsultas &g, const char *criterio, const char *descripcion)
    {
        const QString error = QStringLiteral("The following Error occurred:\n\n%1\nNumber: 1").arg(QString::fromUtf8(descripcion));
        h.Msj().Limpia();
        EXPECT_FALSE(Filtra(QString::fromUtf8(criterio)));
        ASSERT_EQ(h.Msj().cajas.size(), 2) << criterio;
        EXPECT_EQ(h.Msj().cajas.first().texto, error);
        h.Msj().Limpia();
        g.Panel()->PonCriterio(QString::fromUtf8(criterio));
        g.cmdRunQuery->click();
        EXPECT_EQ(h.Msj().Ultimo(), error);
    }
    QString Ruta(const QString &n) { return QDir(p.ctx->RutaDatos).filePath(n); }
    // Runs `accion`, which opens a modal window, and closes that window as soon
    // as it shows, keeping its caption (empty when none opened).
    QString CierraModal(const std::function<void()> &accion)
    {
        QString titulo;
        QTimer vigia;   // dies with this call, so it never fires on a later window
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                titulo = w->windowTitle();
                w->close();
            }
        });
        vigia.start(0);
        accion();
        return titulo;
    }
    HojaEnBase h;
    ProgramaTemporal &p = h.prog;
    DialogoFijo dialogo;
};
