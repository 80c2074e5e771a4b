#include "queries/frmTabla.h"

#include "capture/ManejadorRegistro.h"
#include "platform/CursorOcupado.h"
#include "queries/CriteriosConsulta.h"
#include "queries/TablaTrabajo.h"
#include "queries/modVisData.h"
#include "shell/BarraDatos.h"
#include "shell/Contexto.h"

#include <QAction>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>

frmTabla::frmTabla(Contexto &ctx, HojaRegistro &hoja, const SeleccionEventos &seleccion, QWidget *padre)
    : VistaTablaTrabajo(ctx, TablaTrabajo::FuenteTmpQuery(ctx.ConexionBD, seleccion),
                        [] {
                            QStringList t = {QStringLiteral("Primero"), QStringLiteral("Anterior"),
                                             QStringLiteral("Siguiente"), QStringLiteral("Último"), QStringLiteral("-"),
                                             QStringLiteral("Aceptar"), QStringLiteral("Cancelar")};
                            while (t.size() < 19)
                                t << QString();
                            return t << QStringLiteral("Exportar");
                        }(),
                        QStringLiteral("Tabla VELMORAN, Registro : "), padre),
      hoja_(hoja)
{
    setObjectName(QStringLiteral("frmTabla"));
    for (int posicion = 8; posicion < 20; ++posicion)
        if (QAction *a = tbrDatos->Boton(posicion))
            a->setVisible(false);
    AsignaImagenes(*tbrDatos, 1);
    // A click on a heading sorts by that column, ascending.
    dbgSeleccion->horizontalHeader()->setSectionsClickable(true);
    connect(dbgSeleccion->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int columna) { Modelo().sort(columna); });
    cuerpo_->addWidget(dbgSeleccion, 1);
    resize(900, 520);
}

void frmTabla::AsignaDatos()
{
    const int fila = Actual();
    if (fila < 0)
        return;
    ClaveEvento clave;
    clave.clues = Modelo().Valor(fila, 0).toString();
    clave.folio = Modelo().Valor(fila, 1).toLongLong();
    clave.fechaAtencion = QDate::fromString(Modelo().Valor(fila, 2).toString(), Qt::ISODate);
    modEvento &eventos = hoja_.eventos;
    if (!eventos.rsAtencion.Busca(clave)) {
        ctx_.mensajes.Informa(QStringLiteral("El evento %1, Folio %2 del %3 no está entre los eventos que muestra la Hoja "
                                             "de Registro; la hoja sigue en el evento que mostraba. Quite el filtro de la "
                                             "hoja para verlo.....")
                                  .arg(clave.clues, clave.FolioTexto(), clave.fechaAtencion.toString(QStringLiteral("dd/MM/yyyy"))),
                              QStringLiteral("Tabla VELMORAN"));
        return;
    }
    eventos.LeeEvento();
    hoja_.vida.Actualiza_Ubicacion();
    accept();
}

void frmTabla::Boton(int posicion)
{
    if (posicion == 6)
        AsignaDatos();
    else if (posicion == 7)
        reject();
    else if (posicion == 20 && Exportar)
        Exportar(this);
}

void AbreTabla(Contexto &ctx, HojaRegistro &hoja, const std::function<void(QWidget *)> &exportar, QWidget *padre)
{
    std::unique_ptr<frmTabla> tabla;
    try {
        CursorOcupado ocupado;
        ctx.EscribePanel(QStringLiteral("Un momento por favor....."));
        const QString filtro = hoja.vida.FiltroEventos;
        SeleccionEventos seleccion;
        if (!filtro.trimmed().isEmpty()) {
            const CondicionSQL c = TraduceCriterio(filtro, OrigenConsulta::Hoja);
            seleccion = {FromEventos(c), c.sql, c.valores, {}};
        }
        tabla = std::make_unique<frmTabla>(ctx, hoja, seleccion, padre);
    } catch (const ErrorBD &e) {
        ctx.EscribePanel(QString());
        MuestraError(ctx.mensajes, e);
        return;
    }
    tabla->Exportar = exportar;
    ctx.EscribePanel(QStringLiteral("Listo....."));
    tabla->exec();
}
