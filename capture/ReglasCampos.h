#pragma once

#include "lookups/CodigosCatalogo.h"

#include <QMetaObject>
#include <QString>
#include <functional>
#include <memory>

class Contexto;
class HojaDatos;
class QWidget;
class modEvento;
struct Descripcion;

// The pick-lists that the sheet's fields open. Each one is modal, writes the
// chosen code into the sheet (through CamposDestino) and returns once closed.
// The defaults open the real lists; tests put in their own to watch the calls.
struct ListasSeleccion {
    std::function<void(QWidget *padre)> Clues;                                     // field 23
    std::function<void(QWidget *padre)> Estado;                                    // field 46
    std::function<void(QWidget *padre, const QString &estado)> Municipio;          // field 47
    std::function<void(QWidget *padre, const QString &estado, const QString &municipio)> Localidad;   // 48
    // The coded catalog of field `campo` ("Sexo"), with the codes it offers.
    std::function<void(QWidget *padre, int campo, const QString &catalogo, const CodigosCatalogo &codigos)>
        Catalogo;
    // The ICD-10 list frmListadet for field 76, 77 or 78 (its rows follow the field).
    std::function<void(QWidget *padre, int campo)> CIE10;
};

// The lists of the lookups subsystem, writing into this sheet.
ListasSeleccion ListasReales(Contexto &ctx, HojaDatos &hoja);

// The field rules of the capture sheet: the change handling of every field
// (descriptions and dependent fields), the key sets, the checks on leaving a
// field and the double click. Widget-free: it works on the sheet state.
class ReglasCampos {
public:
    ReglasCampos(Contexto &ctx, HojaDatos &hoja);
    ReglasCampos(Contexto &ctx, HojaDatos &hoja, ListasSeleccion listas);
    ~ReglasCampos();
    ReglasCampos(const ReglasCampos &) = delete;
    ReglasCampos &operator=(const ReglasCampos &) = delete;

    // Change handling of a field, run after every change whoever made it:
    // the description beside the field, then the field's dependent rule.
    // While adding or editing the rules enable, disable, empty and preset
    // fields as they chain. While browsing (also while an event is being read
    // into the sheet) they never write a text or a tick: they only set the
    // enabled state that the texts on the sheet call for, so a stored event
    // is shown exactly as stored, whatever order its fields arrive in.
    void CampoCambiado(int indice);

    // Is this typed key text (one key press, any case) accepted in the field
    // now? Beeps when it is refused. Always true while browsing. Enter, Esc
    // and the editing keys without text are the window's (TecladoHoja).
    bool TeclaPermitida(int indice, const QString &texto);
    // Pasted or input-method text as the keyboard would have let it in:
    // upper-cased, refused characters dropped (one beep when any was).
    // Unchanged while browsing.
    QString FiltraTexto(int indice, const QString &texto);
    // The field's allowed characters now (fields 41 and 68 read other fields),
    // without the space; `espacio` tells whether a space passes.
    QString Permitidos(int indice, bool *espacio = nullptr) const;

    // Checks on leaving a field (for 37 the age check first). Call it only
    // when the user moved the focus away himself, not when a message box, a
    // pick-list or a focus request took it. Returns false when a rule asked
    // the focus (HojaDatos::Enfoca) for a field to correct, after saying why;
    // the window must not move the focus itself. Does nothing while browsing.
    bool SaleCampo(int indice, QWidget *padre = nullptr);

    // Double click: opens the field's pick-list (modal), if it has one.
    void DobleClic(int indice, QWidget *padre = nullptr);

    // The age against its unit (see the free ValidaEdad below).
    bool ValidaEdad();

    // Duplicate-key test used on leaving the Folio and the CLUES; defaults to
    // the sheet's ExisteRegistro.
    std::function<bool()> ExisteRegistro;
    // ICD-10 check of a leave (code, field); defaults to the record store's.
    std::function<bool(const QString &codigo, int campo)> ValidaDiagnostico;

private:
    // The dependent-field rules.
    void Embarazada();
    void LeeEscribe();
    void Escolaridad();
    // The three rules that follow the age and its unit.
    void ReglasDeEdad();
    void Intencionalidad();
    void Trata();
    void NoTrata();
    void Agresor();
    void AgenteLesion();
    void LesionadoEquipo();
    void UsoEquipo();
    void RecibioAtencion();
    void Servicio();
    // The enabled state of every dependent field and list as the texts on the
    // sheet call for (what the rules leave after typing those answers).
    void HabilitaDependientes();

    bool Capturando() const;
    QString T(int indice) const;
    bool Vacio(int indice) const;
    qint64 Edad() const;
    bool AplicaEmbarazo() const;
    bool AbreEducacion(int limite) const;
    void Educacion(int campo, int limite, const QString &fijo);
    void Pareja(int gobernante, const QString &valor, int a, int b);
    void MuestraDescripcion(int indice);
    void PonDescripcion(int etiqueta, const Descripcion &d);
    void CambioEdad();
    void SaleCIE10(int indice, QWidget *padre);
    bool PreguntaAfiliacion(const QString &renglon);
    void SaleAfiliacion(int indice);
    void SaleEstado();
    void SaleMunicipio();
    void SaleCurp();
    // Enable or disable a field, then empty it or write a value.
    void Activa(int indice, const QString &texto);
    void Desactiva(int indice, const QString &texto);
    modEvento &Almacen();

    Contexto &ctx_;
    HojaDatos &hoja_;
    ListasSeleccion listas_;
    std::unique_ptr<modEvento> almacen_;
    bool enIntencionalidad_ = false;
    int focos_ = 0;                      // focus requests seen on the sheet
    QMetaObject::Connection pedidos_;
};

// CURP form: four capital letters (Ñ included) then six digits; characters
// after the tenth are not looked at.
bool ValidaCurp(const QString &curp);

// The age against its unit. False after a message (the sheet turned to page
// 1, frmAfectado enabled, the focus asked for the age) or for a unit that is
// not 0, 1, 2, 3 or 9. Unit 9 sets the age to "999". Ends with the pregnancy,
// literacy and schooling rules when it passes.
bool ValidaEdad(Contexto &ctx, HojaDatos &hoja);
