#include "catalogs/modCatalogos.h"

#include "platform/CursorOcupado.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

using Coincide = ListaSeleccion::Coincide;

CajaBusqueda Codigo(int indice, const QString &etiqueta, int largo, int columna, const QString &ayuda)
{
    return {indice, etiqueta, largo, columna, Coincide::Empieza, TeclasDigitos(), QString(), 0, ayuda};
}

CajaBusqueda Descripcion(int indice, int largo, int columna, const QString &ayuda)
{
    return {indice, QStringLiteral("Descripción :"), largo, columna, Coincide::Contiene, TeclasDescripcion(),
            QString(), 0, ayuda};
}

// A geographic window: its statement, titles, record boxes (the search boxes
// repeat them: same labels, lengths and key sets) and grid.
VentanaCatalogo::Diseno Geografico(const QString &nombre, const QString &tabla, const QString &orden,
                                   const QString &titulo, const QString &tituloMensajes, const QString &pestana,
                                   const QVector<CajaBusqueda> &registro, const QVector<int> &busqueda,
                                   QVector<VentanaSeleccion::Columna> columnas, const QString &reporte, int ancho,
                                   int alto)
{
    VentanaCatalogo::Diseno d;
    d.nombre = nombre;
    d.titulo = titulo;
    d.tituloGrid = tituloMensajes;
    d.pestana = pestana;
    d.datos.consulta = QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(tabla, orden);
    d.datos.tituloMensajes = tituloMensajes;
    d.registro = registro;
    for (int i = 0; i < registro.size(); ++i) {
        CajaBusqueda c = registro[i];
        c.indice = busqueda[i];
        d.datos.cajas << c;
    }
    d.columnas = std::move(columnas);
    d.reporte = reporte;
    d.ancho = ancho;
    d.alto = alto;
    return d;
}

const QString AyudaEstado = QStringLiteral("Clave del estado");

// The window of that name open in the area, if any.
template <class Ventana>
Ventana *Abierta(QMdiArea &area, const QString &nombre)
{
    for (QMdiSubWindow *sub : area.subWindowList())
        if (auto *w = qobject_cast<Ventana *>(sub->widget()); w && w->objectName() == nombre)
            return w;
    return nullptr;
}

QMdiSubWindow *Agrega(QMdiArea &area, QWidget *w)
{
    QMdiSubWindow *sub = area.addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    return sub;
}

// Shows the window in front with the focus on its first box; `parte` places it
// (0: where the area puts it).
void Muestra(QMdiArea &area, QWidget *w, int parte)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
    sub->adjustSize();
    sub->show();
    if (parte > 0)
        UbicaVentana(w, parte);
    area.setActiveSubWindow(sub);
    w->setFocus();
}

VentanaCatalogo *AbreCatalogo(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios,
                              const VentanaCatalogo::Diseno &diseno)
{
    VentanaCatalogo *w = Abierta<VentanaCatalogo>(area, diseno.nombre);
    if (w && !diseno.ubicaYRelee) {   // brought to the front as it stood
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow *>(w->parentWidget()));
        return w;
    }
    {
        CursorOcupado ocupado;
        if (!w) {
            w = new VentanaCatalogo(ctx, diseno, servicios.Imprime);
            Agrega(area, w);
        }
    }
    w->Carga();
    Muestra(area, w, diseno.ubicaYRelee ? 3 : 0);
    return w;
}

} // namespace

VentanaCatalogo::Diseno DisenoCatEstados()
{
    auto d = Geografico(QStringLiteral("frmCatEstados"), QStringLiteral("cEstados"), QStringLiteral("CodEstado"),
                        QStringLiteral("Catálogo de Estados"), QStringLiteral("Catálogo de Estados"),
                        QStringLiteral("ESTADOS"),
                        {Codigo(0, QStringLiteral("Estado :"), 2, 0, AyudaEstado),
                         Descripcion(1, 35, 1, QStringLiteral("Nombre y/o descripción del estado"))},
                        {2, 3}, {{QStringLiteral("Estado"), 1005}, {QStringLiteral("Descripción"), 4650, true}},
                        QStringLiteral("rptCatEstados"), 6855, 5385);
    d.datos.reglas.trasVaciar = ReglasBusqueda::TrasVaciar::Primera;
    return d;
}

VentanaCatalogo::Diseno DisenoCatJurisd()
{
    return Geografico(QStringLiteral("frmCatJurisd"), QStringLiteral("cJurisdicciones"),
                      QStringLiteral("CodEstado, CodJurisdiccion"), QStringLiteral("Catalogo de Jurisdicciones"),
                      QStringLiteral("Catálogo de Jurisdicciones"), QStringLiteral("JURISDICCIONES"),
                      {Codigo(0, QStringLiteral("Estado :"), 2, 0, AyudaEstado),
                       Codigo(1, QStringLiteral("Jurisdicción :"), 2, 1, QStringLiteral("Clave de la jurisdicción")),
                       Descripcion(2, 35, 2, QStringLiteral("Nombre y/o descripción de la jurisdicción"))},
                      {3, 4, 5},
                      {{QStringLiteral("Estado"), 795},
                       {QStringLiteral("Jurisdicción"), 1005},
                       {QStringLiteral("Descripción"), 4755, true}},
                      QStringLiteral("rptCatJurisd"), 8700, 5520);
}

VentanaCatalogo::Diseno DisenoCatMpos()
{
    return Geografico(QStringLiteral("frmCatMpos"), QStringLiteral("cMunicipios"),
                      QStringLiteral("CodEstado, CodMunicipio"), QStringLiteral("Catalogo de Municipios"),
                      QStringLiteral("Catálogo de Municipios"), QStringLiteral("MUNICIPIOS"),
                      {Codigo(0, QStringLiteral("Estado :"), 2, 0, AyudaEstado),
                       Codigo(2, QStringLiteral("Del/Mpo :"), 3, 1, QStringLiteral("Clave del municipio")),
                       Descripcion(3, 50, 2, QStringLiteral("Nombre y/o descripción del municipio"))},
                      {4, 6, 7},
                      {{QStringLiteral("Estado"), 600},
                       {QStringLiteral("Del/Mpo"), 945},
                       {QStringLiteral("Descripción"), 6645, true}},
                      QStringLiteral("rptCatMpos"), 10155, 5385);
}

VentanaCatalogo::Diseno DisenoCatLocalidades()
{
    auto d = Geografico(QStringLiteral("frmCatLocalidades"), QStringLiteral("cLocalidades"),
                        QStringLiteral("CodEstado, CodMunicipio, CodLocalidad"),
                        QStringLiteral("Catálogo de Localidades"), QStringLiteral("Catálogo de Localidades"),
                        QStringLiteral("LOCALIDADES"),
                        {Codigo(0, QStringLiteral("Estado :"), 2, 0, AyudaEstado),
                         Codigo(1, QStringLiteral("Del/Mpo :"), 3, 1, QStringLiteral("Clave del municipio")),
                         Codigo(2, QStringLiteral("Localidad :"), 4, 2, QStringLiteral("Clave de la localidad")),
                         Descripcion(3, 50, 3, QStringLiteral("Nombre y/o descripción de la localidad"))},
                        {4, 5, 6, 7},
                        {{QStringLiteral("Estado"), 600},
                         {QStringLiteral("Del/Mpo"), 705},
                         {QStringLiteral("Localidad"), 795},
                         {QStringLiteral("Descripción"), 6795, true}},
                        QStringLiteral("rptCatLocalidades"), 10065, 5220);
    // An emptied search keeps the row the user stood on; a failed or emptied
    // search starts again from the state box.
    d.datos.reglas.trasVaciar = ReglasBusqueda::TrasVaciar::Actual;
    d.focoTrasRestablecer = 4;
    return d;
}

VentanaCatalogo::Diseno DisenoCatCLUES()
{
    VentanaCatalogo::Diseno d;
    d.nombre = QStringLiteral("frmCatCLUES");
    d.titulo = QStringLiteral("Catálogo de CLUES");
    d.prefijoPosicion = QStringLiteral("Catálogo de CLUES.  Registro: ");
    d.pestana = QStringLiteral("CLUES - Unidades Médicas");
    d.datos.consulta = QStringLiteral(
        "SELECT Clues, DescUnidad, CEDOCVE, CJURCVE, CMPOCVE, CLOCCVE, CVERCVE, CINSCVE, CTUNCVE, CCOMCVE, "
        "DomUnidad, CP, Corta_estancia FROM CATCLUES ORDER BY Clues");
    d.datos.tituloMensajes = QStringLiteral("Catálogo CLUES");
    d.datos.reglas.textoSinCoincidencia = QStringLiteral("No se encontro ningún registro....");
    d.datos.reglas.trasVaciar = ReglasBusqueda::TrasVaciar::Primera;
    d.datos.avisaSinFilas = true;

    // Record boxes: box, label, length, column of the statement.
    struct Caja {
        int indice;
        const char *etiqueta;
        int largo;
        int columna;
        const char *ayuda;
    };
    const Caja registro[] = {
        {3, "CLUES :", 11, 0, "Formato: AAAAANNNNNN"}, {4, "Estado :", 2, 2, "Estado"},
        {5, "Jurisdicción  :", 2, 3, "Jurisdicción"},  {6, "Del/Mpo :", 3, 4, "Del/Mpo"},
        {7, "Localidad  :", 4, 5, "Localidad"},        {8, "Dígito Verifiador  :", 2, 6, "Dígito Verificador"},
        {9, "Institución :", 1, 7, "Institución"},     {10, "Tipo de Unidad :", 1, 8, "Tipo de Institución"},
        {11, "Complejidad :", 3, 9, "Complejidad"},    {14, "Cód. Post. :", 5, 11, ""},
        {12, "Unidad   :", 100, 1, ""},                {13, "Domicilio :", 100, 10, ""},
    };
    for (const Caja &c : registro)
        d.registro << CajaBusqueda{c.indice, QString::fromUtf8(c.etiqueta), c.largo, c.columna, Coincide::Empieza,
                                   QString(), QString(), 0, QString::fromUtf8(c.ayuda)};

    const QString digitos = TeclasDigitos();
    const QString letras = TeclasLetras() + QLatin1Char(' ');
    const QString clues = TeclasLetras() + digitos + QLatin1Char(' ');
    const QString unidad = TeclasLetras() + digitos + QStringLiteral("./#& ");
    d.datos.cajas = {
        {15, QStringLiteral("CLUES :"), 11, 0, Coincide::Empieza, clues, QString(), 0, QStringLiteral("Formato: AAAAANNNNNN")},
        {16, QStringLiteral("Estado :"), 2, 2, Coincide::Empieza, digitos, QString(), 0, QStringLiteral("Estado")},
        {17, QStringLiteral("Jurisdicción  :"), 2, 3, Coincide::Empieza, digitos, QString(), 0, QStringLiteral("Jurisdicción")},
        {18, QStringLiteral("Del/Mpo :"), 3, 4, Coincide::Empieza, digitos, QString(), 0, QStringLiteral("Del/Mpo")},
        {19, QStringLiteral("Localidad  :"), 4, 5, Coincide::Empieza, digitos, QString(), 0, QStringLiteral("Localidad")},
        // The check digit, institution and complexity boxes search nothing.
        {20, QStringLiteral("Dígito Verifiador  :"), 2, -1, Coincide::Empieza, digitos, QString(), 0,
         QStringLiteral("Dígito Verificador")},
        {21, QStringLiteral("Institución :"), 1, -1, Coincide::Empieza, digitos, QString(), 0, QStringLiteral("Institución")},
        {22, QStringLiteral("Tipo de Unidad :"), 1, 8, Coincide::Empieza, letras, QString(), 0,
         QStringLiteral("Tipo de Institución")},
        {23, QStringLiteral("Complejidad :"), 3, -1, Coincide::Empieza, digitos, QString(), 0, QStringLiteral("Complejidad")},
        {24, QStringLiteral("Unidad :"), 60, 1, Coincide::Contiene, unidad, QString(), 0, QString()},
    };
    d.marcoRegistro = true;
    d.porFilaRegistro = 5;
    d.porFilaBusqueda = 5;
    // By statement column; the grid shows the unit's name after the codes.
    d.columnas = {{QStringLiteral("CLUES"), 1500},    {QStringLiteral("Unidad"), 4500, true},
                  {QStringLiteral("EDO"), 450},       {QStringLiteral("JUR"), 450},
                  {QStringLiteral("MPO"), 500},       {QStringLiteral("LOC"), 600},
                  {QStringLiteral("VER"), 450},       {QStringLiteral("INS"), 450},
                  {QStringLiteral("TUN"), 450},       {QStringLiteral("COM"), 500},
                  {QStringLiteral("Domicilio"), 4500, true}, {QStringLiteral("C.P."), 700},
                  {QStringLiteral("Corta Estancia"), 1300}};
    d.ordenGrid = {0, 2, 3, 4, 5, 6, 7, 8, 9, 1, 10, 11, 12};
    d.ubicaYRelee = false;
    d.enterTabula = true;
    d.escCierraGrid = true;
    d.reporte = QStringLiteral("rptCatCLUES");
    d.ancho = 13500;
    d.alto = 8400;
    return d;
}

VentanaCatalogo *CargaCatEstados(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios)
{
    return AbreCatalogo(ctx, area, servicios, DisenoCatEstados());
}

VentanaCatalogo *CargaCatJurisd(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios)
{
    return AbreCatalogo(ctx, area, servicios, DisenoCatJurisd());
}

VentanaCatalogo *CargaCatMpos(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios)
{
    return AbreCatalogo(ctx, area, servicios, DisenoCatMpos());
}

VentanaCatalogo *CargaCatLocalidades(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios)
{
    return AbreCatalogo(ctx, area, servicios, DisenoCatLocalidades());
}

VentanaCatalogo *CargaCatCLUES(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios)
{
    return AbreCatalogo(ctx, area, servicios, DisenoCatCLUES());
}

frmCatalogos *CargaCatalogo(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios,
                            const QString &tabla, const QString &campo, const QString &titulo)
{
    auto *w = Abierta<frmCatalogos>(area, QStringLiteral("frmCatalogos"));
    if (!w) {
        CursorOcupado ocupado;
        w = new frmCatalogos(ctx, servicios.Imprime);
        Agrega(area, w);
    }
    w->Abre(tabla, campo, titulo);
    Muestra(area, w, 3);
    return w;
}

frmCatListaDetallada *CargaListaDetallada(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios)
{
    auto *w = Abierta<frmCatListaDetallada>(area, QStringLiteral("frmCatListaDetallada"));
    if (!w) {
        CursorOcupado ocupado;
        w = new frmCatListaDetallada(ctx, servicios.Imprime, servicios.BuscaCIE10);
        Agrega(area, w);
    }
    w->ActualizaListaDetallada();
    Muestra(area, w, 4);
    return w;
}
