#include "platform/CajaFecha.h"

#include "platform/FechaTexto.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

int TecleoFecha::InicioSeccion(int pos)
{
    return pos <= 2 ? 0 : pos <= 5 ? 3 : 6;
}

void TecleoFecha::Empieza(const QString &texto, int cursor)
{
    texto_ = texto.leftJustified(Largo, QLatin1Char('_'), true);
    activo_ = true;
    Seccion(cursor);
}

void TecleoFecha::Seccion(int cursor)
{
    pos_ = InicioSeccion(qBound(0, cursor, Largo));
    empezada_ = saltado_ = false;
}

void TecleoFecha::Mueve(int secciones)
{
    Seccion(qBound(0, InicioSeccion(pos_) + 3 * secciones, 6));
}

bool TecleoFecha::Digito(QChar c)
{
    if (pos_ >= Largo)
        return false;
    const int inicio = InicioSeccion(pos_);
    if (!empezada_) {
        for (int i = inicio; i < FinSeccion(inicio); ++i)
            texto_[i] = QLatin1Char('_');
        empezada_ = true;
    }
    texto_[pos_++] = c;
    saltado_ = false;
    if (pos_ == FinSeccion(inicio) && pos_ < Largo) {
        ++pos_;
        empezada_ = false;
        saltado_ = true;
    }
    return true;
}

bool TecleoFecha::Separador()
{
    if (saltado_) {
        saltado_ = false;
        return true;
    }
    const int inicio = InicioSeccion(pos_);
    if (inicio == 6)
        return false;
    if (empezada_ && pos_ == inicio + 1) {
        texto_[inicio + 1] = texto_[inicio];
        texto_[inicio] = QLatin1Char('0');
    }
    pos_ = FinSeccion(inicio) + 1;
    empezada_ = false;
    return true;
}

void TecleoFecha::Retrocede()
{
    saltado_ = false;
    if (pos_ == 0)
        return;
    --pos_;
    if (pos_ == 2 || pos_ == 5)
        --pos_;
    texto_[pos_] = QLatin1Char('_');
    empezada_ = true;
}

QDate TecleoFecha::Fecha() const
{
    QString t = texto_;
    for (int inicio : {0, 3})
        if (t.at(inicio).isDigit() && t.at(inicio + 1) == QLatin1Char('_')) {
            t[inicio + 1] = t.at(inicio);
            t[inicio] = QLatin1Char('0');
        }
    return FechaDeTexto(t);
}

CajaFecha::CajaFecha(QWidget *padre) : QDateEdit(padre)
{
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    lineEdit()->installEventFilter(this);
}

// A click in the box ends the typing: the box would otherwise put its date
// back over the typed text.
bool CajaFecha::eventFilter(QObject *objeto, QEvent *e)
{
    if (objeto == lineEdit() && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick))
        Confirma();
    return QDateEdit::eventFilter(objeto, e);
}

// While typing, the text shown is the typed one, whole or not: the box does
// not read it until the date is taken.
QValidator::State CajaFecha::validate(QString &texto, int &pos) const
{
    if (tecleo_.Activo() && texto == tecleo_.Texto())
        return QValidator::Intermediate;
    return QDateEdit::validate(texto, pos);
}

void CajaFecha::Sigue()
{
    QLineEdit *l = lineEdit();
    const int cursor = l->hasSelectedText() ? l->selectionStart() : l->cursorPosition();
    if (!tecleo_.Activo() || l->text() != tecleo_.Texto())
        tecleo_.Empieza(l->text(), cursor);
    else if (cursor != tecleo_.Posicion())
        tecleo_.Seccion(cursor);
}

void CajaFecha::Muestra()
{
    {
        // The box's own reading of its text waits until the date is taken.
        const QSignalBlocker bloqueo(lineEdit());
        lineEdit()->setText(tecleo_.Texto());
        lineEdit()->setCursorPosition(tecleo_.Posicion());
    }
    if (tecleo_.AlFinal() && tecleo_.Fecha().isValid()) {
        setDate(tecleo_.Fecha());
        lineEdit()->setCursorPosition(tecleo_.Posicion());
    }
}

bool CajaFecha::Confirma()
{
    if (!tecleo_.Activo())
        return true;
    const QDate d = tecleo_.Fecha();
    const QString texto = tecleo_.Texto();
    tecleo_.Termina();
    if (d.isValid() && d >= minimumDate() && d <= maximumDate()) {
        setDate(d);
        return true;
    }
    setDate(date());   // the text shown goes back to the box's date
    if (alRechazar)
        alRechazar(texto);
    return false;
}

void CajaFecha::keyPressEvent(QKeyEvent *e)
{
    const QString t = e->text();
    const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (mods == Qt::NoModifier && t.size() == 1 && (t.at(0).isDigit() || t.at(0) == QLatin1Char('/'))) {
        Sigue();
        t.at(0).isDigit() ? tecleo_.Digito(t.at(0)) : tecleo_.Separador();
        Muestra();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Backspace:
        Sigue();
        tecleo_.Retrocede();
        Muestra();
        return;
    case Qt::Key_Home:
        if (mods != Qt::NoModifier || (e->modifiers() & Qt::ShiftModifier))
            break;
        Sigue();
        tecleo_.Seccion(0);
        Muestra();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!tecleo_.Activo() || mods != Qt::NoModifier || (e->modifiers() & Qt::ShiftModifier))
            break;
        Sigue();
        tecleo_.Mueve(e->key() == Qt::Key_Left ? -1 : 1);
        Muestra();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A refused text keeps the Enter from the window's default button.
        if (!Confirma())
            return;
        break;
    case Qt::Key_Escape:
        if (tecleo_.Activo()) {
            tecleo_.Termina();
            setDate(date());
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!Confirma())
            return;
        break;
    default:
        // Other printable keys have no place in a date.
        if (mods == Qt::NoModifier && !t.isEmpty() && t.at(0).isPrint())
            return;
        break;
    }
    QDateEdit::keyPressEvent(e);
}

void CajaFecha::wheelEvent(QWheelEvent *e)
{
    if (Confirma())
        QDateEdit::wheelEvent(e);
}

void CajaFecha::focusOutEvent(QFocusEvent *e)
{
    Confirma();
    QDateEdit::focusOutEvent(e);
}

// Tab leaves the box, as it leaves any entry field; a refused text keeps the focus.
bool CajaFecha::focusNextPrevChild(bool siguiente)
{
    if (!Confirma())
        return true;
    return QWidget::focusNextPrevChild(siguiente);
}
