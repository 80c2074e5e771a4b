#include "lookups/frmSelCat.h"

#include "lookups/Descripciones.h"
#include "shell/Contexto.h"

#include <QGroupBox>

namespace {

VentanaSeleccion::Diseno DisenoSelCat()
{
    using Coincide = ListaSeleccion::Coincide;
    VentanaSeleccion::Diseno d;
    d.titulo = QStringLiteral("Catálogos");
    d.prefijoPosicion = QStringLiteral("Catálogos. Registro : ");
    d.marcoSeleccion = QStringLiteral(" SELECCION ");
    // The code box matches the whole code; the description box any part of it.
    d.cajas = {{0, QStringLiteral("Clave"), 32767, 0, Coincide::Igual, QString(), QStringLiteral("'"), 630, QString()},
               {1, QStringLiteral("Descripción"), 32767, 1, Coincide::Contiene, QString(), QStringLiteral("'"), 4110, QString()}};
    d.reglas.tituloSinCoincidencia = QStringLiteral("Catálogos");
    d.columnaCodigo = 0;
    d.enterCaja = VentanaSeleccion::EnterEnCaja::Elige;
    d.escCaja = VentanaSeleccion::EscEnCaja::Cierra;
    d.tecleoEnGrid = true;
    d.ancho = 5700;
    d.alto = 4545 + 1500;   // the designed client area, plus room for the toolbar's captions
    return d;
}

} // namespace

frmSelCat::frmSelCat(Contexto &ctx, CamposDestino *destino, int CampoSelCat, QWidget *padre)
    : VentanaSeleccion(ctx, destino, CatalogoDeCampo(CampoSelCat).isEmpty() ? -1 : CampoSelCat, DisenoSelCat(),
                       padre),
      campoSelCat_(CampoSelCat)
{
    setObjectName(QStringLiteral("frmSelCat"));
}

bool frmSelCat::Abre(const QString &catalogo, const CodigosCatalogo &codigos)
{
    const bool abierta = LeeCatalogo(catalogo, codigos);
    if (abierta)
        MarcoSeleccion()->setTitle(QStringLiteral(" CLAVES "));
    return abierta;
}

bool frmSelCat::LeeCatalogo(const QString &catalogo, const CodigosCatalogo &codigos)
{
    const QString titulo = QStringLiteral("Catálogos");
    const QString nombre = NombreCatalogo(catalogo);
    if (nombre.isEmpty()) {
        MuestraFallaLectura(QStringLiteral("No existe el catálogo %1").arg(catalogo), titulo);
        return false;
    }
    const QString columna = ColumnaCodigo(nombre);
    QString donde;
    QVariantList valores;
    if (codigos.modo != CodigosCatalogo::Modo::Todos && !codigos.codigos.isEmpty()) {
        QStringList marcas;
        for (int c : codigos.codigos) {
            marcas << QStringLiteral("?");
            valores << c;
        }
        donde = QStringLiteral(" WHERE %1 %2 (%3)")
                    .arg(columna,
                         codigos.modo == CodigosCatalogo::Modo::Solo ? QStringLiteral("IN") : QStringLiteral("NOT IN"),
                         marcas.join(QLatin1Char(',')));
    }
    // Table and column names come from the fixed list of catalogs.
    return CargaFilas(QStringLiteral("SELECT %1, Descripcion FROM %2%3 ORDER BY %1")
                          .arg(columna, TablaCatalogo(nombre), donde),
                      valores, titulo, QStringLiteral("No hay datos en el Catálogo, verifique por favor....."), titulo);
}

void frmSelCat::ConfiguraGrid()
{
    AnchoColumna(0, 1000);
    if (campoSelCat_ == 59) {
        if (!ensanchada_) {   // once: a fruitless search does not widen it again
            resize(width() + Twips(1500), height());
            ensanchada_ = true;
        }
        AnchoColumna(1, 5000, true);
    } else {
        AnchoColumna(1, 3550, true);
    }
}
