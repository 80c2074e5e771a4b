#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

class Contexto;

// The one fixed access word, both user name and password.
bool ValidaUsuario(const QString &usuario, const QString &clave);

// The login's entry box: upper-cases each typed key, moves on when full and
// selects its text on entry. Pasted text is taken as it comes.
class CajaMayusculas : public QLineEdit {
    Q_OBJECT
public:
    explicit CajaMayusculas(int largoMaximo, QWidget *padre = nullptr);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
};

// The login window: Aceptar goes on only with the access word; Cancelar ends the program.
class frmInicio : public QDialog {
    Q_OBJECT
public:
    explicit frmInicio(Contexto &ctx, QWidget *padre = nullptr);

    CajaMayusculas *txtUserName;
    CajaMayusculas *txtPassword;
    QPushButton *cmdAccion[2];

    void reject() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Aceptar();
    Contexto &ctx_;
};
