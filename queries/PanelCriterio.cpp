#include "queries/PanelCriterio.h"

#include "platform/BaseDatos.h"
#include "queries/CriteriosConsulta.h"
#include "queries/modVisData.h"
#include "shell/Contexto.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString Ninguno = QStringLiteral("(ninguno)");

} // namespace

PanelCriterio::PanelCriterio(Contexto &ctx, OrigenConsulta origen, bool generador, const QString &rotuloCriterio,
                             QWidget *padre)
    : QWidget(padre), ctx_(ctx), origen_(origen), generador_(generador)
{
    auto rotulo = [this](int i, const QString &texto, QWidget *amigo) {
        lblLabels[i] = new QLabel(texto, this);
        lblLabels[i]->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        lblLabels[i]->setBuddy(amigo);
        return lblLabels[i];
    };
    auto nombra = [](QWidget *w, const char *nombre) {
        w->setObjectName(QLatin1String(nombre));
        return w;
    };

    lstTables = new QListWidget(this);
    nombra(lstTables, "lstTables");
    lstTables->addItem(TablaOrigen(SobreEventos(origen) ? OrigenConsulta::Hoja : origen));
    lstTables->setEnabled(false);
    lstTables->setMaximumHeight(40);

    cboField = new QComboBox(this);
    nombra(cboField, "cboField");
    cboField->addItems(EntradasCampos(origen));
    cboField->setCurrentIndex(-1);
    cboOperator = new QComboBox(this);
    nombra(cboOperator, "cboOperator");
    cboOperator->addItems(Operadores());
    cboValue = new QComboBox(this);
    nombra(cboValue, "cboValue");
    cboValue->setEditable(true);
    cboValue->setInsertPolicy(QComboBox::NoInsert);
    cboValue->setMinimumWidth(160);

    cmdGetValues = new QPushButton(QStringLiteral("Lista &Posibles Valores"), this);
    nombra(cmdGetValues, "cmdGetValues");
    cmdAnd = new QPushButton(QStringLiteral("&And dentro del criterio"), this);
    nombra(cmdAnd, "cmdAnd");
    cmdOr = new QPushButton(QStringLiteral("&Or dentro del criterio"), this);
    nombra(cmdOr, "cmdOr");
    txtCriteria = new QPlainTextEdit(this);
    nombra(txtCriteria, "txtCriteria");
    txtCriteria->setTabChangesFocus(true);
    txtCriteria->setPlainText(QString());
    cmdClear = new QPushButton(QStringLiteral("Limpar"), this);
    nombra(cmdClear, "cmdClear");

    cboOrderByField = new QComboBox(this);
    nombra(cboOrderByField, "cboOrderByField");
    cboOrderByField->addItem(Ninguno);
    cboOrderByField->addItems(EntradasCampos(origen));
    optOrder[0] = new QRadioButton(QStringLiteral("Asc"), this);
    optOrder[1] = new QRadioButton(QStringLiteral("Desc"), this);
    auto *grupo = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        optOrder[i]->setObjectName(QStringLiteral("optOrder_%1").arg(i));
        grupo->addButton(optOrder[i]);
    }
    optOrder[0]->setChecked(true);
    for (QWidget *w : {static_cast<QWidget *>(cboOrderByField), static_cast<QWidget *>(optOrder[0]),
                       static_cast<QWidget *>(optOrder[1])})
        w->setEnabled(generador);

    auto *rejilla = new QGridLayout(this);
    rejilla->setContentsMargins(0, 0, 0, 0);
    rejilla->addWidget(rotulo(3, QStringLiteral("Tablas:"), lstTables), 0, 0);
    rejilla->addWidget(rotulo(0, QStringLiteral("Nombre de Campo:"), cboField), 0, 1);
    rejilla->addWidget(rotulo(1, QStringLiteral("Operador:"), cboOperator), 0, 2);
    rejilla->addWidget(rotulo(2, QStringLiteral("Valor:"), cboValue), 0, 3);
    rejilla->addWidget(lstTables, 1, 0, 2, 1);
    rejilla->addWidget(cboField, 1, 1);
    rejilla->addWidget(cboOperator, 1, 2);
    rejilla->addWidget(cboValue, 1, 3);
    auto *botones = new QHBoxLayout;
    botones->addWidget(cmdGetValues);
    botones->addWidget(cmdAnd);
    botones->addWidget(cmdOr);
    rejilla->addLayout(botones, 2, 1, 1, 3);
    rejilla->addWidget(rotulo(8, rotuloCriterio, txtCriteria), 3, 0, 1, 4);
    rejilla->addWidget(txtCriteria, 4, 0, 1, 4);
    auto *orden = new QHBoxLayout;
    orden->addWidget(rotulo(6, QStringLiteral("Ordenar por: "), cboOrderByField));
    lblLabels[6]->setEnabled(generador);
    orden->addWidget(cboOrderByField, 1);
    orden->addWidget(optOrder[0]);
    orden->addWidget(optOrder[1]);
    orden->addStretch();
    orden->addWidget(cmdClear);
    rejilla->addLayout(orden, 5, 0, 1, 4);
    rejilla->setColumnStretch(1, 1);
    rejilla->setColumnStretch(3, 1);

    connect(cboField, &QComboBox::activated, this, [this] { LimpiaValoresPosibles(); });
    connect(cmdGetValues, &QPushButton::clicked, this, [this] { LlenaValoresPosibles(); });
    connect(cmdAnd, &QPushButton::clicked, this, [this] { AgregaCondicion(true); });
    connect(cmdOr, &QPushButton::clicked, this, [this] { AgregaCondicion(false); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { Limpia(); });
}

DatosConsulta PanelCriterio::Datos() const
{
    DatosConsulta d;
    d.origen = origen_;
    d.campo = cboField->currentText();
    d.operador = cboOperator->currentText();
    d.valor = cboValue->currentText();
    d.criterio = Criterio();
    return d;
}

void PanelCriterio::Muestra(const DatosConsulta &datos)
{
    cboField->setCurrentIndex(cboField->findText(datos.campo.trimmed(), Qt::MatchFixedString));
    cboOperator->setCurrentIndex(cboOperator->findText(datos.operador.trimmed(), Qt::MatchFixedString));
    cboValue->clear();
    cboValue->setEditText(datos.valor);
    PonCriterio(datos.criterio);
}

QString PanelCriterio::Criterio() const
{
    return txtCriteria->toPlainText();
}

void PanelCriterio::PonCriterio(const QString &criterio)
{
    txtCriteria->setPlainText(criterio);
    txtCriteria->moveCursor(QTextCursor::End);
}

QString PanelCriterio::CampoOrden() const
{
    return cboOrderByField->currentText();
}

bool PanelCriterio::Descendente() const
{
    return optOrder[1]->isChecked();
}

void PanelCriterio::AgregaCondicion(bool conY)
{
    const CampoConsulta *campo = BuscaCampo(origen_, cboField->currentText());
    if (!campo || cboField->currentText().isEmpty())
        return;
    PonCriterio(::AgregaCondicion(Criterio(), *campo, cboOperator->currentText(), cboValue->currentText(), conY));
    cboField->setFocus();
}

void PanelCriterio::LimpiaValoresPosibles()
{
    cboValue->clear();
    cboValue->setEditText(QString());
}

void PanelCriterio::LlenaValoresPosibles()
{
    const CampoConsulta *campo = BuscaCampo(origen_, cboField->currentText());
    LimpiaValoresPosibles();
    if (!campo)
        return;
    try {
        cboValue->addItems(ValoresPosibles(ctx_.ConexionBD, origen_, *campo));
    } catch (const ErrorBD &e) {
        MuestraError(ctx_.mensajes, e);
        return;
    }
    if (cboValue->count() > 0)
        cboValue->setCurrentIndex(0);
    cboValue->setFocus();
}

void PanelCriterio::Limpia()
{
    if (!generador_)
        lstTables->clearSelection();
    txtCriteria->clear();
}
