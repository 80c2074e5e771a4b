#include "lookups/frmSelCatGeograficos.h"

namespace {

using Coincide = ListaSeleccion::Coincide;

CajaBusqueda CajaCodigo(int indice, const QString &etiqueta, int largo, int columna)
{
    return {indice, etiqueta, largo, columna, Coincide::Empieza, TeclasDigitos(), QString(), 0, QString()};
}

CajaBusqueda CajaDescripcion(int indice, int columna)
{
    return {indice, QStringLiteral("Descripción"), 50, columna, Coincide::Contiene, TeclasDescripcion(), QString(), 0, QString()};
}

// The design the three windows share.
VentanaSeleccion::Diseno Geografico(const QString &titulo, const QString &marco, const QString &tituloBusqueda,
                                    QVector<CajaBusqueda> cajas, QVector<VentanaSeleccion::Columna> columnas,
                                    int columnaCodigo)
{
    VentanaSeleccion::Diseno d;
    d.titulo = titulo;
    d.marcoSeleccion = marco;
    d.cajas = std::move(cajas);
    d.reglas.tituloSinCoincidencia = tituloBusqueda;
    d.columnas = std::move(columnas);
    d.columnaCodigo = columnaCodigo;
    d.enterCaja = VentanaSeleccion::EnterEnCaja::Elige;
    d.escCaja = VentanaSeleccion::EscEnCaja::CierraConBeep;
    d.ancho = 8400;
    d.alto = 6600;
    return d;
}

int Destino(int origen, int campo)
{
    return origen == OrigenHojaRegistro ? campo : -1;
}

} // namespace

frmSelCatEstados::frmSelCatEstados(Contexto &ctx, CamposDestino *destino, int OrigenSelEstados, QWidget *padre)
    : VentanaSeleccion(ctx, destino, Destino(OrigenSelEstados, 46),
                       Geografico(QStringLiteral("Selección del Catalogo de  Estados"),
                                  QStringLiteral("E S TA D O S "), QStringLiteral("Catálogo de Estados"),
                                  {CajaCodigo(0, QStringLiteral("Estado"), 2, 0), CajaDescripcion(1, 1)},
                                  {{QStringLiteral("Estado"), 645}, {QStringLiteral("Descripción"), 3945, true}}, 0),
                       padre)
{
    setObjectName(QStringLiteral("frmSelCatEstados"));
    resize(Twips(6000), Twips(6600));
}

bool frmSelCatEstados::Abre()
{
    return CargaFilas(QStringLiteral("SELECT CodEstado, Descripcion FROM cEstados ORDER BY CodEstado"), {},
                      QStringLiteral("Selección de Estados"),
                      QStringLiteral("El Catálogo de Estados esta vacio, por favor verifique por favor....."),
                      QStringLiteral("Selección de Estados"));
}

frmSelCatMpos::frmSelCatMpos(Contexto &ctx, CamposDestino *destino, int OrigenSelMpos, QWidget *padre)
    : VentanaSeleccion(ctx, destino, Destino(OrigenSelMpos, 47),
                       [] {
                           auto d = Geografico(QStringLiteral("Selección del Catalogo de Municipios"),
                                               QStringLiteral("M U N I C I P I O S "),
                                               QStringLiteral("Catálogo de Municipios"),
                                               {CajaCodigo(0, QStringLiteral("Estado"), 2, 0),
                                                CajaCodigo(1, QStringLiteral("Jurisdicción"), 2, 3),
                                                CajaCodigo(2, QStringLiteral("Del/Mpo"), 3, 1),
                                                CajaDescripcion(3, 2)},
                                               {{QStringLiteral("Estado"), 1000},
                                                {QStringLiteral("Municipio"), 1000},
                                                {QStringLiteral("Descripción"), 4864, true},
                                                {QStringLiteral("Jurisdicción"), 1000}},
                                               1);
                           d.botones = true;
                           return d;
                       }(),
                       padre)
{
    setObjectName(QStringLiteral("frmSelCatMpos"));
}

bool frmSelCatMpos::Abre(const QString &estado)
{
    // The jurisdiction comes last so that the columns the grid names come first.
    const QString columnas = QStringLiteral("SELECT CodEstado, CodMunicipio, Descripcion, CodJurisdiccion FROM cMunicipios ");
    const QString orden = QStringLiteral(" ORDER BY CodEstado, CodMunicipio");
    const bool todos = estado.trimmed().isEmpty();
    return CargaFilas(columnas + (todos ? QString() : QStringLiteral("WHERE CodEstado = ?")) + orden,
                      todos ? QVariantList() : QVariantList{estado}, QStringLiteral("Selección de Municipios"),
                      QStringLiteral("El Catálogo de Municipios esta vacio, por favor verifique por favor....."),
                      QStringLiteral("Selección de Municipios"));
}

frmSelCatLocs::frmSelCatLocs(Contexto &ctx, CamposDestino *destino, int OrigenSelLocs, QWidget *padre)
    : VentanaSeleccion(ctx, destino, Destino(OrigenSelLocs, 48),
                       Geografico(QStringLiteral("Selección del Catálogo de Localidades"),
                                  QStringLiteral("L O C A L I D A D E S "), QStringLiteral("Catálogo de Localidades"),
                                  {CajaCodigo(0, QStringLiteral("Estado"), 2, 0),
                                   CajaCodigo(1, QStringLiteral("Del/Mpo"), 3, 1),
                                   CajaCodigo(2, QStringLiteral("Localidad "), 4, 2), CajaDescripcion(3, 3)},
                                  {{QStringLiteral("Estado"), 1000},
                                   {QStringLiteral("Mpo/Del"), 1000},
                                   {QStringLiteral("Localidad"), 1000},
                                   {QStringLiteral("Descripción"), 4864, true}},
                                  2),
                       padre)
{
    setObjectName(QStringLiteral("frmSelCatLocs"));
}

bool frmSelCatLocs::Abre(const QString &estado, const QString &municipio)
{
    return CargaFilas(QStringLiteral("SELECT CodEstado, CodMunicipio, CodLocalidad, Descripcion FROM cLocalidades "
                                     "WHERE CodEstado = ? AND CodMunicipio = ? "
                                     "ORDER BY CodEstado, CodMunicipio, CodLocalidad"),
                      {estado, municipio}, QStringLiteral("Selección de Localidades"),
                      QStringLiteral("El Catálogo de Localidades esta vacio, por favor verifique por favor....."),
                      QStringLiteral("Selección de Localidades"));
}
