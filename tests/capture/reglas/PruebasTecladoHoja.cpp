// The fields' keyboard and focus handling on real line edits (offscreen).
#include "AmbienteReglas.h"

#include "capture/TecladoHoja.h"
#include "comun/Teclado.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMap>

namespace {

class Teclado : public AmbienteReglas {
protected:
    Teclado() : teclado(*reglas, hoja, Msj())
    {
        // Focus order: the order of creation.
        for (int i : {29, 32, 36, 35, 76}) {
            auto *c = campos[i] = new QLineEdit(&ventana);
            c->setMaxLength(CampoDe(i)->largo);
            teclado.Instala(i, c);
            QObject::connect(c, &QLineEdit::textEdited, [this, i](const QString &t) { hoja.PonTexto(i, t); });
        }
        QObject::connect(&hoja, &HojaDatos::PideFoco, [this](int i) { campos[i]->setFocus(Qt::OtherFocusReason); });
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
    void Tab(int campo)
    {
        QTest::keyClick(campos[campo], Qt::Key_Tab);
        QCoreApplication::processEvents();
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
    EXPECT_EQ(campos[29]->text() + hoja.Texto(29) + QString::number(Msj().beeps), "PÑ PÑ 1");
    // Filtered first, then cut to the field's length.
    Enfoca(35);
    QApplication::clipboard()->setText("'; DROP TABLE D_EVENTO; --");
    QTest::keyClick(campos[35], Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(hoja.Texto(35), " DROP TABLE D");
}

TEST_F(Teclado, DosCamposRechazadosNoSeDevuelvenElFoco)
{
    Escribe({{37, "3"}, {36, "0"}, {32, "PELM74031"}});
    Enfoca(32);
    Tab(32);   // to the age, itself refusable
    QCoreApplication::processEvents();
    ASSERT_EQ(Msj().cajas.size(), 1);
    EXPECT_EQ(Msj().cajas[0].texto, "La CURP no es correcta, verifique por favor.....\n\n");
    EXPECT_TRUE(campos[32]->hasFocus() && !teclado.SalidaPendiente());
    // Correcting the CURP and moving on checks the age as usual.
    hoja.PonTexto(32, "PELM740312MDFRPR09");
    Tab(32);
    Tab(36);
    EXPECT_EQ(Msj().Ultimo(), "La Edad no puede ser 0 (cero), verifique por favor....");
    EXPECT_TRUE(campos[36]->hasFocus());
}

TEST_F(Teclado, EscPreguntaAntesDeCancelarYElDobleClicAbreLaLista)
{
    Enfoca(29);
    for (bool si : {false, true}) {
        Msj().Responde(si);
        QTest::keyClick(campos[29], Qt::Key_Escape);
        EXPECT_EQ(cancelados * 10 + Msj().beeps, si ? 11 : 0);
    }
    EXPECT_TRUE(Msj().cajas.size() == 2 && Msj().cajas[0].pregunta);
    EXPECT_EQ(Msj().cajas[0].texto + "|" + Msj().cajas[0].titulo,
              "Se perderan los cambios hechos al registro actual.\n\n¿Desea terminar esta operación?|" + TituloHojaRegistro());
    // While browsing Esc asks nothing.
    hoja.EnAlta = false;
    QTest::keyClick(campos[29], Qt::Key_Escape);
    EXPECT_EQ(Msj().cajas.size(), 2);

    QTest::mouseDClick(campos[76], Qt::LeftButton);
    EXPECT_EQ(abiertas, QStringList{"CIE10(76)"});
}
