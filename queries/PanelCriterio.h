#pragma once

#include "queries/ArchivoConsulta.h"
#include "queries/CamposConsulta.h"

#include <QWidget>

class Contexto;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The criteria controls that the filter window and the export generator
// share: field, operator and value with its possible values, And / Or, the
// criteria text, its clearing, the order and the table list. The source is
// fixed when the panel is built.
class PanelCriterio : public QWidget {
    Q_OBJECT
public:
    // `generador`: the export generator's panel, whose order the user
    // chooses and whose "Limpar" leaves the table list as it is.
    PanelCriterio(Contexto &ctx, OrigenConsulta origen, bool generador, const QString &rotuloCriterio,
                  QWidget *padre = nullptr);

    OrigenConsulta Origen() const { return origen_; }
    // What a query file keeps of the panel (the window adds kind and chosen fields).
    DatosConsulta Datos() const;
    // Shows a loaded query: field and operator by their text (none shown
    // when the text is not in the list), value and criteria as read.
    void Muestra(const DatosConsulta &datos);

    QString Criterio() const;
    void PonCriterio(const QString &criterio);
    QString CampoOrden() const;    // "(ninguno)" for no order
    bool Descendente() const;

    // The And / Or buttons; nothing when no field is shown.
    void AgregaCondicion(bool conY);
    // "Lista Posibles Valores": the field's values into the value box.
    void LlenaValoresPosibles();
    // "Limpar": empties the criteria; the filter window's also deselects the table list.
    void Limpia();

    QComboBox *cboField = nullptr;
    QComboBox *cboOperator = nullptr;
    QComboBox *cboValue = nullptr;
    QPushButton *cmdGetValues = nullptr;
    QPushButton *cmdAnd = nullptr;
    QPushButton *cmdOr = nullptr;
    QPlainTextEdit *txtCriteria = nullptr;
    QPushButton *cmdClear = nullptr;
    QComboBox *cboOrderByField = nullptr;
    QRadioButton *optOrder[2] = {};
    QListWidget *lstTables = nullptr;
    QLabel *lblLabels[9] = {};

private:
    void LimpiaValoresPosibles();

    Contexto &ctx_;
    const OrigenConsulta origen_;
    const bool generador_;
};
