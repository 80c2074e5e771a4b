#include "lookups/frmSelCLUES.h"

#include "shell/Contexto.h"

namespace {

VentanaSeleccion::Diseno DisenoClues()
{
    using Coincide = ListaSeleccion::Coincide;
    VentanaSeleccion::Diseno d;
    d.titulo = QStringLiteral("Selecciona CLUES");
    d.pestana = QStringLiteral("Selecciona Unidad Médica - CLUES");
    const QString digitos = TeclasDigitos();
    d.cajas = {
        {0, QStringLiteral("CLUES           :"), 11, 0, Coincide::Empieza,
         TeclasLetras() + digitos + QStringLiteral(".#/- "), QString(), 1400, QString()},
        {13, QStringLiteral("Estado :"), 2, 2, Coincide::Empieza, digitos, QString(), 400, QString()},
        {14, QStringLiteral("Jurisdicción  :"), 2, 3, Coincide::Empieza, digitos, QString(), 400, QString()},
        {15, QStringLiteral("Del/Mpo :"), 3, 4, Coincide::Empieza, digitos, QString(), 500, QString()},
        {16, QStringLiteral("Localidad  :"), 4, 5, Coincide::Empieza, digitos, QString(), 600, QString()},
        {19, QStringLiteral("Tipo de Unidad :"), 1, 6, Coincide::Empieza, TeclasLetras(), QString(), 300, QString()},
    };
    d.reglas.vaciaRestablece = true;
    d.reglas.conserva = 0;   // the CLUES box keeps its text when the others are emptied
    d.reglas.tituloSinCoincidencia = QStringLiteral("Catálogo de Unidad Médicas");
    d.columnas = {{QStringLiteral("CLUES"), 1200}, {QStringLiteral("Nombre"), 4500, true}, {QStringLiteral("Edo"), 495},
                  {QStringLiteral("Jur"), 495},    {QStringLiteral("Mpo"), 495},     {QStringLiteral("Loc"), 495},
                  {QStringLiteral("Tun"), 450}};
    d.columnaCodigo = 0;
    d.enterCaja = VentanaSeleccion::EnterEnCaja::Tabula;
    d.escCaja = VentanaSeleccion::EscEnCaja::Rechaza;
    d.tecleoEnGrid = true;
    d.seleccionaAlEntrar = true;
    d.ancho = 10500;
    d.alto = 7500;
    return d;
}

} // namespace

frmSelCLUES::frmSelCLUES(Contexto &ctx, CamposDestino *destino, int OrigenSelClues, QWidget *padre)
    : VentanaSeleccion(ctx, destino, OrigenSelClues == OrigenHojaClues ? 23 : -1, DisenoClues(), padre),
      origen_(OrigenSelClues)
{
    setObjectName(QStringLiteral("frmSelCLUES"));
}

bool frmSelCLUES::Abre()
{
    QString sql = QStringLiteral("SELECT CLUES, DESCUNIDAD, CEDOCVE, CJURCVE, CMPOCVE, CLOCCVE, CTUNCVE FROM CATCLUES");
    QVariantList valores;
    // The sheet's callers list only the units of the working state; "99" is every state.
    const bool delEstado = origen_ == 1 || origen_ == 2 || origen_ == 8;
    if (ctx_.EstadoActual != QLatin1String("99") && delEstado) {
        sql += QStringLiteral(" WHERE CEDOCVE = ?");
        valores << ctx_.EstadoActual;
    }
    sql += QStringLiteral(" ORDER BY CLUES");
    return CargaFilas(sql, valores, QStringLiteral("Selecciona CLUES"));
}
