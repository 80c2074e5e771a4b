// The fields' keyboard and focus handling on real line edits (offscreen).
#include "AmbienteReglas.h"

#include "capture/TecladoHoja.h"
#include "comun/Teclado.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMap>
#include <QVBoxLayout>

namespace {

class Teclado : public AmbienteReglas {
protected:
    Teclado() : teclado(*reglas, hoja, Mensajes())
    {
        auto *capa = new QVBoxLayout(&ventana);
        // Focus order: the order of creation.
        for (int i : {29, 32, 36, 37, 49, 50, 76, 35}) {
            auto *c = campos[i] = new QLineEdit(&ventana);
            c->setMaxLength(CampoDe(i)->largo);
            capa->addWidget(c);
            teclado.Instala(i, c);
            QObject::connect(c, &QLineEdit::textEdited, [this, i](const QString &t) { hoja.PonTexto(i, t); });
        }
        QObject::connect(&hoja, &HojaDatos::TextoCambiado, [this](int i) {
            if (QLineEdit *c = campos.value(i); c && c->text() != hoja.Texto(i))
                c->setText(hoja.Texto(i));
        });
        QObject::connect(&hoja, &HojaDatos::PideFoco, [this](int i) {
            if (QLineEdit *c = campos.value(i))
                c->setFocus(Qt::OtherFocusReason);
        });
        teclado.Cancelar = [this] { ++cancelados; };
        ventana.show();
        ventana.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&ventana));
    }
    void Enfoca(int campo)
    {
        campos[campo]->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
    }
    void Pega(int campo, const QString &texto, QKeyCombination tecla = Qt::ControlModifier | Qt::Key_V)
    {
        Enfoca(campo);
        QApplication::clipboard()->setText(texto);
        QTest::keyClick(campos[campo], tecla.key(), tecla.keyboardModifiers());
    }

    QWidget ventana;
    QMap<int, QLineEdit *> campos;
    TecladoHoja teclado;
    int cancelados = 0;
};

} // namespace

TEST_F(Teclado, LasTeclasYLoPegadoPasanPorElConjuntoDelCampo)
{
    Enfoca(29);
    Teclea(campos[29], "pñ 1");
    EXPECT_EQ(campos[29]->text() + hoja.Texto(29), "PÑ PÑ ");
    Enfoca(36);
    Teclea(campos[36], "a4");
    QTest::keyClick(campos[36], Qt::Key_Backspace);
    EXPECT_EQ(campos[36]->text(), QString());
    EXPECT_EQ(Mensajes().beeps, 2);

    Pega(76, "s0ñ01");
    EXPECT_TRUE(campos[76]->text() == "S001" && Mensajes().beeps == 3);
    // Filtered first, then cut to the field's length.
    Pega(35, "'; DROP TABLE D_EVENTO; --", Qt::ShiftModifier | Qt::Key_Insert);
    EXPECT_EQ(hoja.Texto(35), " DROP TABLE D");

    // While browsing the key comes in unchanged.
    hoja.EnAlta = false;
    Enfoca(36);
    Teclea(campos[36], "a");
    EXPECT_TRUE(campos[36]->text() == "a" && Mensajes().beeps == 4);   // over the text selected on entering
}

TEST_F(Teclado, UnFocoQueNoMueveElUsuarioNoRevisa)
{
    // A focus request of the sheet, and another window taking the focus.
    hoja.PonTexto(49, "24");
    Enfoca(49);
    Enfoca(50);
    EXPECT_EQ(hoja.Texto(49), "24");
    hoja.PonTexto(50, "75");
    QWidget otra;
    otra.show();
    otra.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&otra));
    QCoreApplication::processEvents();
    EXPECT_EQ(hoja.Texto(50), "75");
    ventana.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
    // Tab is the user's own move.
    QTest::keyClick(campos[50], Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(hoja.Texto(50), QString());
}

TEST_F(Teclado, DosCamposRechazadosNoSeDevuelvenElFoco)
{
    Escribe({{37, "3"}, {36, "0"}, {32, "PELM74031"}});
    Enfoca(32);
    QTest::keyClick(campos[32], Qt::Key_Tab);   // to the age, itself refusable
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(Mensajes().cajas.size(), 1);
    EXPECT_EQ(Mensajes().cajas[0].texto, "La CURP no es correcta, verifique por favor.....\n\n");
    EXPECT_TRUE(campos[32]->hasFocus() && !teclado.SalidaPendiente());

    // Correcting the CURP and moving on checks the age as usual.
    hoja.PonTexto(32, "PELM740312MDFRPR09");
    QTest::keyClick(campos[32], Qt::Key_Tab);
    QCoreApplication::processEvents();
    QTest::keyClick(campos[36], Qt::Key_Tab);
    teclado.RevisaSalida();
    EXPECT_EQ(Mensajes().Ultimo(), "La Edad no puede ser 0 (cero), verifique por favor....");
    EXPECT_TRUE(campos[36]->hasFocus());
}

TEST_F(Teclado, EscPreguntaAntesDeCancelarYElDobleClicAbreLaLista)
{
    // While browsing Esc asks nothing and cancels nothing.
    hoja.EnAlta = false;
    Enfoca(29);
    QTest::keyClick(campos[29], Qt::Key_Escape);
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
    hoja.EnAlta = true;
    for (bool si : {false, true}) {
        Mensajes().Responde(si);
        QTest::keyClick(campos[29], Qt::Key_Escape);
        EXPECT_EQ(cancelados * 10 + Mensajes().beeps, si ? 11 : 0);
    }
    ASSERT_EQ(Mensajes().cajas.size(), 2);
    EXPECT_EQ(Mensajes().cajas[0].texto + "|" + Mensajes().cajas[0].titulo,
              "Se perderan los cambios hechos al registro actual.\n\n¿Desea terminar esta operación?|" + TituloHojaRegistro());
    EXPECT_TRUE(Mensajes().cajas[0].pregunta);

    QTest::mouseDClick(campos[76], Qt::LeftButton);
    EXPECT_EQ(abiertas, QStringList{"CIE10(76)"});
}
