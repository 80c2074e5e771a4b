#include "shell/frmParamInicio.h"
#include "shell/modGeneral.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

CajaParam::CajaParam(int largoMaximo, Mensajes &mensajes, QWidget *padre) : QLineEdit(padre), mensajes_(mensajes)
{
    setMaxLength(largoMaximo);
    // Pasted text meets the same rule as typed keys.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    connect(this, &QLineEdit::textEdited, this, [this](const QString &t) {
        if (t.trimmed().size() == maxLength())
            focusNextChild();
    });
}

void CajaParam::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        emit Escape();
        return;
    }
    // Enter is one more refused key: while the boxes are open "&Editar", the
    // default button, is disabled, and "&Aceptar" answers only to its own click.
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const QString t = e->text();
    const bool caracter = !t.isEmpty() && t.at(0).isPrint();
    if (enter || (caracter && !(t.at(0) >= QLatin1Char('0') && t.at(0) <= QLatin1Char('9')))) {
        mensajes_.Beep();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void CajaParam::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

void CajaParam::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    // Only the user leaves a box. A message box taking the focus, or the focus
    // sent back to the other box after its check failed, is no leaving: checking
    // then would bounce the focus and the messages between the two boxes forever.
    if (MovidaDelUsuario(e->reason()))
        emit Abandonada(e->reason());
}

frmParamInicio::frmParamInicio(Contexto &ctx, QWidget *padre) : QDialog(padre), logica(ctx), ctx_(ctx)
{
    setObjectName(QStringLiteral("frmParamInicio"));
    setWindowTitle(QStringLiteral("Configuración de Atención por Violencia y/o Lesion "));
    setModal(true);

    auto *titulo = new QLabel(QStringLiteral("Parametros Iniciales "), this);
    fraParamIni = new QGroupBox(this);
    fraParamIni->setObjectName(QStringLiteral("fraParamIni"));
    txtEstado = new CajaParam(2, ctx.mensajes, fraParamIni);
    txtEstado->setObjectName(QStringLiteral("txtDatos_0"));
    txtAno = new CajaParam(4, ctx.mensajes, fraParamIni);
    txtAno->setObjectName(QStringLiteral("txtDatos_2"));
    auto *lblEstado = new QLabel(QStringLiteral("&Estado  :"), fraParamIni);
    lblEstado->setBuddy(txtEstado);
    auto *lblAno = new QLabel(QStringLiteral("A&ño"), fraParamIni);
    lblAno->setBuddy(txtAno);
    auto *g = new QGridLayout(fraParamIni);
    g->addWidget(lblEstado, 0, 0);
    g->addWidget(txtEstado, 0, 1);
    g->addWidget(lblAno, 1, 0);
    g->addWidget(txtAno, 1, 1);

    const char *titulos[3] = {"&Aceptar", "&Cancelar", "&Editar"};
    auto *botones = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        cmdAccion[i] = new QPushButton(QString::fromUtf8(titulos[i]), this);
        cmdAccion[i]->setObjectName(QStringLiteral("cmdAccion_%1").arg(i));
        botones->addWidget(cmdAccion[i]);
    }

    auto *v = new QVBoxLayout(this);
    v->addWidget(titulo);
    v->addWidget(fraParamIni);
    v->addLayout(botones);

    // The boxes show the stored values, not those in memory; no stored year leaves the box empty.
    const QString estado = ctx.ajustes.Lee(QStringLiteral("EstadoActual"));
    txtEstado->setText(estado.isNull() ? QStringLiteral("36") : estado);
    txtAno->setText(ctx.ajustes.Lee(QStringLiteral("AnoActual")));

    connect(cmdAccion[0], &QPushButton::clicked, this, &frmParamInicio::Aceptar);
    connect(cmdAccion[1], &QPushButton::clicked, this, &frmParamInicio::reject);
    connect(cmdAccion[2], &QPushButton::clicked, this, &frmParamInicio::Editar);
    for (CajaParam *c : {txtEstado, txtAno}) {
        connect(c, &CajaParam::Escape, this, &frmParamInicio::reject);
        connect(c, &CajaParam::Abandonada, this, [this, c](Qt::FocusReason r) { RevisaCaja(c, r); });
    }
    Vista();
    // The boxes and "&Aceptar" are disabled: without this the focus would fall
    // on "&Cancelar" and Enter would cancel (at start-up, end the program).
    cmdAccion[2]->setFocus();
}

void frmParamInicio::Vista()
{
    cmdAccion[0]->setEnabled(false);
    cmdAccion[2]->setEnabled(true);
    cmdAccion[2]->setDefault(true);
    fraParamIni->setEnabled(false);
}

void frmParamInicio::Editar()
{
    cmdAccion[0]->setEnabled(true);
    cmdAccion[2]->setEnabled(false);
    fraParamIni->setEnabled(true);
    txtEstado->setFocus();
}

void frmParamInicio::RevisaCaja(CajaParam *caja, Qt::FocusReason razon)
{
    // Leaving for Cancelar must not trap the user in a box that fails its check;
    // a click on Aceptar (or its access key) checks both boxes itself, once.
    const bool clicAceptar = (razon == Qt::MouseFocusReason || razon == Qt::ShortcutFocusReason)
                             && focusWidget() == cmdAccion[0];
    if (!isVisible() || !fraParamIni->isEnabled() || clicAceptar || focusWidget() == cmdAccion[1])
        return;
    const bool valida = caja == txtEstado ? logica.ValidaEstado(caja->text()) : logica.ValidaAno(caja->text());
    if (!valida)
        QTimer::singleShot(0, caja, [caja] { caja->setFocus(); });
}

void frmParamInicio::Aceptar()
{
    const auto r = logica.AplicaParamInicio(txtEstado->text(), txtAno->text());
    switch (r) {
    case ParamInicio::Resultado::Abierta:
        abierta_ = true;
        accept();
        return;
    case ParamInicio::Resultado::EstadoInvalido:
        txtEstado->setFocus();
        return;
    case ParamInicio::Resultado::AnoInvalido:
        txtAno->setFocus();
        return;
    case ParamInicio::Resultado::NoAbierta:
        txtEstado->setText(ctx_.EstadoActual);
        Vista();
        cmdAccion[2]->setFocus();
        return;
    }
}

void frmParamInicio::reject()
{
    termina_ = logica.ParamInicioPendiente;
    QDialog::reject();
}
