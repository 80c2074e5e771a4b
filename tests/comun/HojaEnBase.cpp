#include "comun/HojaEnBase.h"

#include <gtest/gtest.h>

QString FocoFecha(int indice)
{
    return QStringLiteral("msk%1").arg(indice);
}

QString FocoLista(ListaHoja lista)
{
    return QStringLiteral("lst%1").arg(int(lista));
}

void AnotaFocos(HojaDatos &hoja, QStringList &focos)
{
    QObject::connect(&hoja, &HojaDatos::PideFoco, [&focos](int i) { focos << QString::number(i); });
    QObject::connect(&hoja, &HojaDatos::PideFocoFecha, [&focos](int i) { focos << FocoFecha(i); });
    QObject::connect(&hoja, &HojaDatos::PideFocoLista, [&focos](ListaHoja l) { focos << FocoLista(l); });
}

ListasSeleccion ListasQueAnotan(QStringList &abiertas)
{
    ListasSeleccion l;
    l.Clues = [&abiertas](QWidget *) { abiertas << "Clues"; };
    l.Estado = [&abiertas](QWidget *) { abiertas << "Estado"; };
    l.Municipio = [&abiertas](QWidget *, const QString &e) { abiertas << QStringLiteral("Municipio(%1)").arg(e); };
    l.Localidad = [&abiertas](QWidget *, const QString &e, const QString &m) {
        abiertas << QStringLiteral("Localidad(%1,%2)").arg(e, m);
    };
    l.Catalogo = [&abiertas](QWidget *, int campo, const QString &catalogo, const CodigosCatalogo &c) {
        QStringList codigos;
        for (int x : c.codigos)
            codigos << QString::number(x);
        const char *modo = c.modo == CodigosCatalogo::Modo::Todos  ? "Todos"
                           : c.modo == CodigosCatalogo::Modo::Solo ? "Solo"
                                                                    : "Excepto";
        const QString lista = codigos.isEmpty() ? QString() : QLatin1Char(' ') + codigos.join(QLatin1Char(','));
        abiertas << QStringLiteral("Catalogo(%1,%2,%3%4)").arg(campo).arg(catalogo, QLatin1String(modo), lista);
    };
    l.CIE10 = [&abiertas](QWidget *, int campo) { abiertas << QStringLiteral("CIE10(%1)").arg(campo); };
    return l;
}

void Marca(HojaDatos &hoja, ListaHoja lista, const QStringList &pasos)
{
    for (const QString &paso : pasos) {
        const bool quita = paso.startsWith(QLatin1Char('-'));
        const QString codigo = quita ? paso.mid(1) : paso;
        int fila = hoja.Elementos(lista).size() - 1;
        while (fila >= 0 && hoja.Elementos(lista)[fila].texto.left(2).trimmed() != codigo)
            --fila;
        ASSERT_GE(fila, 0) << codigo.toStdString();
        hoja.Marca(lista, fila, !quita);
    }
}

void DesmarcaTodo(HojaDatos &hoja, ListaHoja lista)
{
    for (int i = 0; i < hoja.Elementos(lista).size(); ++i)
        hoja.Marca(lista, i, false);
}

void Captura(HojaRegistro &reg, const DatosEvento &d)
{
    LlenaHoja(reg.hoja, d);
    reg.hoja.GridAfeccionesEditado = true;
    ASSERT_TRUE(reg.eventos.PonAfeccionesTmp(d.diagnosticos));
    ASSERT_TRUE(reg.eventos.RefrescaGridAfecciones());
}

HojaEnBase::HojaEnBase() : listas(ListasQueAnotan(abiertas))
{
    prog.AbreBase();
    listas.Clues = [this, anota = listas.Clues](QWidget *w) {
        anota(w);
        if (!cluesElegida.isEmpty())
            Hoja().PonTexto(23, cluesElegida);
    };
}

HojaRegistro &HojaEnBase::Reg()
{
    if (!reg_) {
        reg_ = std::make_unique<HojaRegistro>(*prog.ctx, listas);
        AnotaFocos(reg_->hoja, focos);
    }
    return *reg_;
}
