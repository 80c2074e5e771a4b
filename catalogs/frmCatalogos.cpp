#include "catalogs/frmCatalogos.h"

#include "lookups/Descripciones.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

namespace {

VentanaCatalogo::Diseno DisenoCatalogos()
{
    using Coincide = ListaSeleccion::Coincide;
    // Every box, the code ones too, takes the description's characters.
    const QString teclas = TeclasDescripcion();
    VentanaCatalogo::Diseno d;
    d.nombre = QStringLiteral("frmCatalogos");
    d.registro = {{0, QStringLiteral("Clave :"), 1, 0, Coincide::Empieza, teclas, QString(), 0, QString()},
                  {1, QStringLiteral("Descripción :"), 25, 1, Coincide::Contiene, teclas, QString(), 0, QString()}};
    d.datos.cajas = {{2, QStringLiteral("Clave :"), 1, 0, Coincide::Empieza, teclas, QString(), 0, QString()},
                     {3, QStringLiteral("Descripción  :"), 25, 1, Coincide::Contiene, teclas, QString(), 0, QString()}};
    d.datos.reglas.trasVaciar = ReglasBusqueda::TrasVaciar::Primera;
    d.columnas = {{QStringLiteral("Clave"), 800}, {QStringLiteral("Descripción"), 5200, true}};
    d.imagenes = 2;
    d.reporte = QStringLiteral("rptCatalogos");
    d.ancho = 6795;
    d.alto = 5280;
    return d;
}

const QString TablaImpresion = QStringLiteral("TMPCATALOGO");

} // namespace

frmCatalogos::frmCatalogos(Contexto &ctx, ImpresionCatalogo imprime, QWidget *padre)
    : VentanaCatalogo(ctx, DisenoCatalogos(), std::move(imprime), padre)
{
}

bool frmCatalogos::Abre(const QString &tabla, const QString &campo, const QString &titulo)
{
    const QString caption = QStringLiteral("Catálogo de ") + titulo;
    PonTitulo(caption, titulo.toUpper());
    // Table and column names only from the fixed list of coded catalogs.
    const QString nombre = NombreCatalogo(tabla);
    if (nombre.isEmpty() || ColumnaCodigo(nombre).compare(campo, Qt::CaseInsensitive) != 0) {
        MuestraFallaLectura(ctx_.mensajes, QStringLiteral("No existe el catálogo %1").arg(tabla), caption);
        return false;
    }
    tabla_ = TablaCatalogo(nombre);
    columna_ = ColumnaCodigo(nombre);
    Catalogo().PonConsulta(
        QStringLiteral("SELECT CAST(%1 AS TEXT) AS Codigo, Descripcion FROM %2 ORDER BY %1").arg(columna_, tabla_),
        caption);
    return Carga();
}

void frmCatalogos::Imprime()
{
    if (tabla_.isEmpty())
        return;
    const TablasTemporales tabla(ctx_.ConexionBD, TablaImpresion);
    EjecutaSQL(ctx_.ConexionBD, QStringLiteral("CREATE TEMP TABLE %1 AS SELECT CAST(%2 AS TEXT) AS Codigo, Descripcion FROM %3")
                                    .arg(TablaImpresion, columna_, tabla_));
    imprime_(diseno_.reporte, windowTitle());
}
