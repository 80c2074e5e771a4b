#pragma once

#include "lookups/frmListadet.h"
#include "lookups/frmSelCat.h"
#include "lookups/frmSelCatGeograficos.h"
#include "lookups/frmSelCLUES.h"

#include <QString>

class CamposDestino;
class Contexto;
class QWidget;

// The openers of the pick-lists. Each reads its catalog in full, shows the
// window modally and returns when it has closed; a choice has by then been
// written into the destination field, whose change handling shows the
// description. An empty geographic or coded catalog shows its message and
// opens nothing. The caller codes and field indexes are passed explicitly.

void SeleccionaEstado(Contexto &ctx, CamposDestino &destino, int OrigenSelEstados = OrigenHojaRegistro,
                      QWidget *padre = nullptr);
// A blank state lists the municipalities of every state.
void SeleccionaMunicipio(Contexto &ctx, CamposDestino &destino, const QString &estado,
                         int OrigenSelMpos = OrigenHojaRegistro, QWidget *padre = nullptr);
void SeleccionaLocalidad(Contexto &ctx, CamposDestino &destino, const QString &estado, const QString &municipio,
                         int OrigenSelLocs = OrigenHojaRegistro, QWidget *padre = nullptr);
// `catalogo` is a coded catalog's name ("Sexo"); `codigos` narrows the codes offered.
// Empties the message panel when done, whether the list opened or not.
void SeleccionaCatalogo(Contexto &ctx, CamposDestino &destino, int CampoSelCat, const QString &catalogo,
                        const CodigosCatalogo &codigos = {}, QWidget *padre = nullptr);
void SeleccionaClues(Contexto &ctx, CamposDestino &destino, int OrigenSelClues = OrigenHojaClues,
                     QWidget *padre = nullptr);
// The ICD-10 list for field 76, 77 or 78 of `destino`, or as the table view
// (CampoSelCIE10 = ListadetTabla, destino may be null): the table view never
// writes into a capture sheet.
void MuestraListadet(Contexto &ctx, CamposDestino *destino, int CampoSelCIE10, QWidget *padre = nullptr);
