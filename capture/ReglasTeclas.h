#pragma once

#include "lookups/CodigosCatalogo.h"

#include <QChar>
#include <QString>

// The allowed characters of a sheet field (txtDatos index) without the space;
// `espacio` tells whether the space passes. Schooling (41) and kinship (68)
// depend on the age (36), the age unit (37), reading (40) and the
// intentionality (53), given as the fields hold them. An index with no set
// gets an empty set (backspace only).
QString TeclasCampo(int indice, const QString &edad, const QString &unidad, const QString &leeEscribe,
                    const QString &intencionalidad, bool *espacio = nullptr);

// One character against a set: the space when the set admits it, backspace
// always, anything else upper-cased (ñ becomes Ñ) and looked up exactly.
bool CaracterPermitido(QChar c, const QString &permitidos, bool espacio);

// Schooling offers only 1, 5, 6 and 9 to a child under 12 years, or to whom
// cannot read and write.
bool EscolaridadReducida(const QString &edad, const QString &unidad, const QString &leeEscribe);

// The codes a coded field's pick-list offers now: every code, but schooling
// 1, 5, 6 and 9 only (EscolaridadReducida) and kinship all but 7 and 8 under
// intentionality 2, only 7 and 8 under 3. False when the field opens no coded
// list now (kinship under any other intentionality, a field with no catalog).
bool CodigosCampo(int indice, const QString &edad, const QString &unidad, const QString &leeEscribe,
                  const QString &intencionalidad, CodigosCatalogo *codigos);


