#include "shell/frmInicio.h"

#include "platform/TituloVacio.h"
#include "shell/Contexto.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace {
const QString PalabraAcceso = QStringLiteral("MIRTO");
}

bool ValidaUsuario(const QString &usuario, const QString &clave)
{
    return usuario.trimmed() == PalabraAcceso && clave.trimmed() == PalabraAcceso;
}

CajaMayusculas::CajaMayusculas(int largoMaximo, QWidget *padre) : QLineEdit(padre)
{
    setMaxLength(largoMaximo);
    connect(this, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (t.trimmed().size() == maxLength() && hasFocus())
            focusNextChild();
    });
}

void CajaMayusculas::keyPressEvent(QKeyEvent *e)
{
    const QString t = e->text();
    if (!t.isEmpty() && t.at(0).isLetter() && t != t.toUpper()) {
        QKeyEvent mayus(e->type(), e->key(), e->modifiers(), t.toUpper(), e->isAutoRepeat(), ushort(e->count()));
        QLineEdit::keyPressEvent(&mayus);
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void CajaMayusculas::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    // Selecting at once would be undone by the mouse press that gave the focus.
    QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

frmInicio::frmInicio(Contexto &ctx, QWidget *padre) : QDialog(padre), ctx_(ctx)
{
    setObjectName(QStringLiteral("frmInicio"));
    setWindowTitle(QString());
    setModal(true);

    auto *titulo = new QLabel(QStringLiteral("Sistema VELMORAN"), this);
    QFont f = titulo->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    titulo->setFont(f);
    titulo->setAlignment(Qt::AlignCenter);

    txtUserName = new CajaMayusculas(5, this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtPassword = new CajaMayusculas(8, this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);

    auto *lblUsuario = new QLabel(QStringLiteral("&Usuario :"), this);
    lblUsuario->setBuddy(txtUserName);
    auto *lblClave = new QLabel(QStringLiteral("&Clave :"), this);
    lblClave->setBuddy(txtPassword);

    cmdAccion[0] = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAccion[1] = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdAccion[0]->setObjectName(QStringLiteral("cmdAccion_0"));
    cmdAccion[1]->setObjectName(QStringLiteral("cmdAccion_1"));
    cmdAccion[0]->setDefault(true);
    cmdAccion[0]->setAutoDefault(true);

    auto *g = new QGridLayout(this);
    g->addWidget(titulo, 0, 0, 1, 3);
    g->addWidget(lblUsuario, 1, 0);
    g->addWidget(txtUserName, 1, 1, 1, 2);
    g->addWidget(lblClave, 2, 0);
    g->addWidget(txtPassword, 2, 1, 1, 2);
    g->addWidget(cmdAccion[0], 3, 1);
    g->addWidget(cmdAccion[1], 3, 2);
    auto *ano = new QLabel(QStringLiteral("2016"), this);
    g->addWidget(ano, 4, 0);

    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, cmdAccion[0]);
    setTabOrder(cmdAccion[0], cmdAccion[1]);
    txtUserName->setFocus();

    connect(cmdAccion[0], &QPushButton::clicked, this, &frmInicio::Aceptar);
    connect(cmdAccion[1], &QPushButton::clicked, this, &frmInicio::reject);
}

// The window has no caption: its title bar shows nothing, not the program's name.
void frmInicio::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    VaciaTituloNativo(this);
}

void frmInicio::Aceptar()
{
    if (!ValidaUsuario(txtUserName->text(), txtPassword->text())) {
        ctx_.mensajes.Informa(QStringLiteral("Acceso Denegado, verifique Usuario y Contraseña por favor"),
                              QStringLiteral("Acceso - VELMORAN"));
        txtUserName->setFocus();
        txtUserName->selectAll();
        return;
    }
    accept();
}

// Cancelar, Esc and the close box all end here: start-up goes on only after
// an accepted login, and the program ends with its connection closed.
void frmInicio::reject()
{
    ctx_.ConexionBD.Cierra();
    QDialog::reject();
}
