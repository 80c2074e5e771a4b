#include "queries/frmMuestraGenCons.h"

#include "queries/ExportaConsulta.h"
#include "queries/TablaTrabajo.h"
#include "shell/BarraDatos.h"
#include "shell/Contexto.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

frmMuestraGenCons::frmMuestraGenCons(Contexto &ctx, DialogoArchivos &dialogo, FormatoExportacion formato, QWidget *padre)
    : VistaTablaTrabajo(ctx, TablaTrabajo::FuenteTabla(ctx.ConexionBD, TablaTrabajo::GenConsul),
                        {QStringLiteral("Primero"), QStringLiteral("Anterior"), QStringLiteral("Siguiente"),
                         QStringLiteral("Último"), QStringLiteral("-"), QStringLiteral("Guardar"), QStringLiteral("Cancelar")},
                        QStringLiteral("Muestra Consulta. Registro: "), padre),
      dialogo_(dialogo), formato_(formato)
{
    setObjectName(QStringLiteral("frmMuestraGenCons"));
    AsignaImagenes(*tbrDatos, 3);   // its own pictures: a check mark on Guardar
    tbrDatos->Boton(6)->setToolTip(QStringLiteral("Aceptar"));
    tbrDatos->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto *pagina = new QWidget;
    auto *capas = new QVBoxLayout(pagina);
    auto *formatoFila = new QHBoxLayout;
    static const char *letras[] = {"A c c e s s", "E x c e l", "D b a s e"};
    lblDatos[1] = new QLabel(QStringLiteral("Formato:"), pagina);
    lblDatos[0] = new QLabel(QLatin1String(letras[int(formato)]), pagina);
    lblDatos[0]->setStyleSheet(QStringLiteral("font-weight: bold"));
    for (int i : {1, 0}) {
        lblDatos[i]->setObjectName(QStringLiteral("lblDatos_%1").arg(i));
        formatoFila->addWidget(lblDatos[i]);
    }
    formatoFila->addStretch();
    capas->addLayout(formatoFila);
    capas->addWidget(dbgSeleccion, 1);
    SSTab1->addTab(pagina, QStringLiteral("Vista de la Consulta"));
    lblTotaliza = new QLabel(QStringLiteral("Total de Eventos Seleccionados %1").arg(Cuenta()), this);
    lblTotaliza->setObjectName(QStringLiteral("lblTotaliza"));
    cuerpo_->addWidget(SSTab1, 1);
    cuerpo_->addWidget(lblTotaliza);
    resize(760, 480);
}

bool frmMuestraGenCons::AsignaDatos()
{
    if (!ExportaConsulta(ctx_, dialogo_, formato_, TablaTrabajo::GenConsul))
        return false;
    accept();
    return true;
}

void frmMuestraGenCons::Boton(int posicion)
{
    if (posicion == 6)
        AsignaDatos();
    else if (posicion == 7)
        reject();
}
