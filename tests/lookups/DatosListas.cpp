#include "DatosListas.h"

#include "lookups/ListaSeleccion.h"
#include "platform/BaseDatos.h"
#include "shell/BarraDatos.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>

void Inserta(const BaseDatos &bd, const QString &tabla, const QList<QVariantList> &filas)
{
    bd.EjecutaAccion(QStringLiteral("DELETE FROM %1").arg(tabla));
    for (const QVariantList &f : filas) {
        const QStringList marcas(f.size(), QStringLiteral("?"));
        bd.EjecutaAccion(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tabla, marcas.join(QLatin1Char(','))), f);
    }
}

void LlenaCatalogos(const BaseDatos &bd)
{
    Inserta(bd, "cEstados",
            {{"01", "AGUASCALIENTES"}, {"09", "DISTRITO FEDERAL"}, {"12", "GUERRERO"},
             {"15", "MÉXICO"}, {"16", "MICHOACÁN"}, {"36", "ESTADO DE PRUEBA"}, {"37", QVariant()}});
    Inserta(bd, "cJurisdicciones",
            {{"09", "01", "CUAUHTEMOC"}, {"09", "02", "IZTAPALAPA"}, {"15", "01", "TOLUCA"}, {"15", "02", "ECATEPEC"},
             {"16", "01", "MORELIA"}});
    Inserta(bd, "cMunicipios", {{"09", "002", "AZCAPOTZALCO", "01"}, {"15", "001", "ACAMBAY", "01"}, {"15", "002", "ACOLMAN", "02"},
                                {"15", "058", "NEZAHUALCÓYOTL", "02"}, {"16", "001", "ACUITZIO", "01"}});
    Inserta(bd, "cLocalidades", {{"15", "001", "0001", "ACAMBAY"}, {"15", "001", "0002", "BOTHI"}, {"15", "001", "0010", "PEÑA BLANCA"},
                                 {"15", "001", "0011", "Peñuelas"}, {"15", "002", "0001", "ACOLMAN"}, {"16", "001", "0001", "ACUITZIO DEL CANJE"}});
    Inserta(bd, "cSexo", {{1, "HOMBRE"}, {2, "MUJER"}, {9, "NO ESPECIFICADO"}});
    Inserta(bd, "cClaveEdad", {{0, "HORAS"}, {1, "DÍAS"}, {2, "MESES"}, {3, "AÑOS"}, {9, "NO ESPECIFICADO"}});
    Inserta(bd, "cEscolaridad", {{1, "NIVEL 1"}, {2, "NIVEL 2"}, {3, "NIVEL 3"}, {4, "NIVEL 4"}, {5, "NIVEL 5"}, {6, "NIVEL 6"}, {7, "NIVEL 7"},
                                 {8, "NIVEL 8"}, {9, "NIVEL 9"}, {10, "POSGRADO"}, {11, "OTRO"}, {12, QVariant()}});
    Inserta(bd, "cEquipo", {{1, "CINTURÓN DE SEGURIDAD"}, {2, "CASCO"}, {3, "SILLA PORTA INFANTE"}, {9, "SE IGNORA"}});
    Inserta(bd, "cParentesco", {{1, "PADRE"}, {2, "MADRE"}, {7, "DESCONOCIDO"}, {8, "CONOCIDO SIN PARENTESCO"}});
    Inserta(bd, "cDerechohabiencia", {{"1", "NINGUNA"}, {"G", "GRATUIDAD"}});

    // CLUES, DescUnidad, CEDOCVE, CJURCVE, CMPOCVE, CLOCCVE, CVERCVE, CINSCVE, CTUNCVE, CCOMCVE, DomUnidad, CP, Corta
    auto unidad = [](const char *clues, const QVariant &nombre, const char *edo, const char *jur, const char *mpo, const char *tun) {
        return QVariantList{clues, nombre, edo, jur, mpo, "0001", "01", "1", tun, "001", "", "", ""};
    };
    Inserta(bd, "CATCLUES",
            {unidad("DFSSA000011", "CENTRO DE SALUD UNO", "09", "01", "002", "C"), unidad("MCSSA000022", "HOSPITAL GENERAL DE PEÑAFLOR", "15", "02", "058", "H"),
             unidad("MCSSA000033", "CENTRO DE SALUD ACOLMAN", "15", "02", "002", "C"), unidad("MNSSA000044", "UNIDAD SIN NOMBRE", "16", "01", "001", "C"),
             unidad("MCSSA00O'55", "UNIDAD CON APÓSTROFO", "15", "01", "001", "C"), unidad("MCSSA000066", QVariant(), "15", "01", "001", "C")});

    // Causa, nombre, Capitulo, lsex, linf, lsup, triv, errad, NotSemanal, nin, no_cbd, a, no_aph, Actualizac, LM, PRIN
    auto causa = [](const char *c, const char *nombre, const char *cap, const QVariant &lsex = {}, const QVariant &linf = {},
                    const QVariant &lsup = {}, const QVariant &triv = {}) {
        return QVariantList{c, nombre, cap, lsex, linf, lsup, triv, {}, {}, {}, {}, {}, {}, {}, "LM1", "P01"};
    };
    Inserta(bd, "CATCIE10",
            {causa("A000", "CÓLERA CLÁSICO", "01"), causa("F100", "TRASTORNOS POR USO DE ALCOHOL", "05"),
             causa("O040", "ABORTO MÉDICO INCOMPLETO", "15", "2", "010A", "054A"),
             causa("o041", "ABORTO", "15"),   // keyed in lower case: of its group all the same
             causa("O267", "SUBLUXACIÓN DE LA SÍNFISIS DEL PUBIS", "15", "2"), causa("O268", "OTRAS COMPLICACIONES DEL EMBARAZO", "15", "2"),
             causa("S00", "TRAUMATISMO SUPERFICIAL DE LA CABEZA", "19"),
             causa("S000", "TRAUMATISMO SUPERFICIAL DEL CUERO CABELLUDO", "19", "1", " 001H ", "120A", "T  "),
             causa("S601", "CONTUSIÓN DE DEDO(S) CON DAÑO DE LA UÑA", "19"), causa("T009", "TRAUMATISMOS SUPERFICIALES MÚLTIPLES", "19"),
             causa("V010", "PEATÓN LESIONADO POR COLISIÓN CON VEHÍCULO DE PEDAL", "20"), causa("W00", "CAÍDA EN EL MISMO NIVEL", "20"),
             causa("W000", "CAÍDA EN EL MISMO NIVEL POR HIELO Y NIEVE", "20"), causa("X590", "EXPOSICIÓN A FACTORES NO ESPECIFICADOS", "20")});
}

void Juega(QWidget *w, const QString &guion)
{
    QTableView *grid = w->findChild<QTableView *>();
    for (const QString &paso : guion.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype i = paso.indexOf(QRegularExpression("[=!~]"));
        const QString que = paso.left(i), resto = paso.mid(i + 1);
        QWidget *a = que == "g" ? grid : que == "f" ? w->focusWidget() : w->findChild<QLineEdit *>("txtDatos_" + que);
        if (i > 0 && paso[i] == '=') {
            Teclea(a, QString(resto).replace(QLatin1Char('_'), QLatin1Char(' ')));
        } else if (i > 0 && paso[i] == '~') {
            static_cast<QLineEdit *>(a)->setText(resto);
        } else if (i > 0) {
            const QKeyCombination k = QKeySequence(resto)[0];
            QTest::keyClick(a, k.key(), k.keyboardModifiers());
        } else if (paso[0] == '^') {
            QApplication::clipboard()->setText(paso.mid(1));
        } else if (paso[0] == 'b') {
            w->findChild<BarraDatos *>()->Boton(paso.mid(1).toInt())->trigger();
        } else if (paso[0] == '@') {
            w->findChild<QAbstractButton *>(paso.mid(1))->click();
        } else {
            const QPoint centro = grid->visualRect(grid->model()->index(paso.mid(1).toInt(), 1)).center();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centro);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, centro);
        }
    }
}

QString Filas(const ListaSeleccion &l, const QList<int> &columnas)
{
    auto fila = [&](int f) {
        QStringList partes;
        for (int c : columnas)
            partes << l.Texto(f, c);
        return partes.join(QLatin1Char('-'));
    };
    QStringList filas;
    for (int f = 0; f < l.Cantidad() && l.Cantidad() <= 7; ++f)
        filas << fila(f);
    return (l.Cantidad() > 7 ? QString::number(l.Cantidad()) : filas.join(QLatin1Char(' '))) + '>' + fila(l.Actual());
}

QString Vista(QWidget *w, const ListaSeleccion &l, const QList<int> &columnas, const MensajesFalsos &m)
{
    QWidget *foco = w->focusWidget();
    QStringList cajas, mensajes;
    for (const QLineEdit *c : w->findChildren<QLineEdit *>(QRegularExpression("^txtDatos_")))
        if (!c->isReadOnly() && !c->text().isEmpty())
            cajas << c->objectName().mid(9) + ':' + c->text();
    cajas.sort();
    for (const MensajesFalsos::Caja &c : m.cajas)
        mensajes << c.texto + '/' + c.titulo;
    return QStringList({Filas(l, columnas), QString::number(m.beeps),
                        qobject_cast<QTableView *>(foco) ? "g" : foco ? foco->objectName().mid(9) : "-", cajas.join(','),
                        QString::number(w->isVisible()), mensajes.join(';')}).join('|');
}
