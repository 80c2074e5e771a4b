#include "lookups/frmListadet.h"

#include "lookups/CamposDestino.h"

namespace {

bool EsCampoCIE10(int campo)
{
    return campo == 76 || campo == 77 || campo == 78;
}

VentanaSeleccion::Diseno DisenoListadet()
{
    using Coincide = ListaSeleccion::Coincide;
    VentanaSeleccion::Diseno d;
    d.titulo = QStringLiteral("Catálogo de la Lista Detallada");
    d.prefijoPosicion = QStringLiteral("Catálogo de la Lista Detallada.  Registro: ");
    d.cajas = {{0, QStringLiteral("Clave :"), 4, 0, Coincide::Empieza,
                QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), QString(), 700, QString()},
               {1, QStringLiteral("Descripción :"), 250, 1, Coincide::Contiene, TeclasDescripcion(), QString(), 4000, QString()}};
    d.reglas.vaciaRestablece = true;
    d.reglas.textoSinCoincidencia = QStringLiteral("No se encontro ningún registro....");
    d.reglas.tituloSinCoincidencia = QStringLiteral("Catálogo de Lista Detallada");
    d.columnas = {{QStringLiteral("Causa"), 600},     {QStringLiteral("Descripción"), 4000, true},
                  {QStringLiteral("Sexo"), 450},      {QStringLiteral("Edad Ini"), 750},
                  {QStringLiteral("Cve EDI"), 750},   {QStringLiteral("Edad Fin"), 750},
                  {QStringLiteral("Cve EDF"), 750},   {QStringLiteral("Trivial"), 550},
                  {QStringLiteral("Erradicada"), 900}, {QStringLiteral("Notif Sem"), 765},
                  {QStringLiteral("Notif Inm"), 765}, {QStringLiteral("Notif Def"), 765},
                  {QStringLiteral("Asterisco"), 765}, {QStringLiteral("LM Morta"), 900},
                  {QStringLiteral("Princ Morta"), 900}};
    d.nombreGrid = QStringLiteral("grdDataGrid");
    d.columnaCodigo = 0;
    d.enterCaja = VentanaSeleccion::EnterEnCaja::Elige;
    d.escCaja = VentanaSeleccion::EscEnCaja::Rechaza;
    d.tabulaAlLlenar = true;   // a complete four-character code moves on to the description
    d.ancho = 12000;
    d.alto = 8000;
    return d;
}

} // namespace

QString ConsultaListadet(int CampoSelCIE10)
{
    const QString columnas = QStringLiteral(
        "SELECT Causa, nombre, "
        "iif(trim(lsex) = '2', 'F', iif(trim(lsex) = '1', 'M', 'A')) AS lsex, "
        "substr(trim(linf), 1, 3) AS EDAD_I, substr(trim(linf), -1) AS CVE_EDI, "
        "substr(trim(lsup), 1, 3) AS EDAD_F, substr(trim(lsup), -1) AS CVE_EDF, "
        "iif(trim(triv) = 'T', 1, 0) AS triv, iif(trim(errad) = 'T', 1, 0) AS errad, "
        "iif(trim(NotSemanal) = 'T', 1, 0) AS NotSemanal, iif(trim(nin) = 'T', 1, 0) AS nin, "
        "iif(trim(no_cbd) = 'T', 1, 0) AS no_cbd, iif(trim(a) = 'T', 1, 0) AS a, "
        "LM_MORTA, PRINMORTA FROM CATCIE10 WHERE length(Causa) = 4 AND ");
    const QString capitulos = CampoSelCIE10 == 78
        ? QStringLiteral("Capitulo IN ('20')")
        : QStringLiteral("(Capitulo IN ('05', '19') "
                         "OR substr(Causa, 1, 3) COLLATE NOCASE IN ('O04', 'O05', 'O06', 'O07', 'O20', 'O68') "
                         "OR Causa IN ('O267', 'O429', 'O468', 'O469', 'O710', 'O713', 'O714', 'O715', "
                         "'O716', 'O717', 'O718', 'O719'))");
    return columnas + capitulos + QStringLiteral(" ORDER BY Causa");
}

frmListadet::frmListadet(Contexto &ctx, CamposDestino *destino, int CampoSelCIE10, QWidget *padre)
    : VentanaSeleccion(ctx, destino, EsCampoCIE10(CampoSelCIE10) ? CampoSelCIE10 : -1, DisenoListadet(), padre),
      campoSelCIE10_(CampoSelCIE10)
{
    setObjectName(QStringLiteral("frmListadet"));
}

bool frmListadet::Abre()
{
    return CargaFilas(ConsultaListadet(campoSelCIE10_), {}, QStringLiteral("Catálogo de Lista Detallada"));
}

void frmListadet::DespuesDeAsignar()
{
    if (destino_->Editable(campo_))
        destino_->Enfoca(campo_);
}
