#include "comun/HojaEnBase.h"

#include <gtest/gtest.h>

namespace {

void AnotaFocos(HojaDatos &hoja, QStringList &focos)
{
    QObject::connect(&hoja, &HojaDatos::PideFoco, [&focos](int i) { focos << QString::number(i); });
    QObject::connect(&hoja, &HojaDatos::PideFocoFecha, [&focos](int i) { focos << FocoFecha(i); });
    QObject::connect(&hoja, &HojaDatos::PideFocoLista, [&focos](ListaHoja l) { focos << FocoLista(l); });
}

// Pick-lists that only note their opening, as "Nombre(argumentos)".
ListasSeleccion ListasQueAnotan(QStringList &abiertas)
{
    ListasSeleccion l;
    l.Clues = [&abiertas](QWidget *) { abiertas << "Clues"; };
    l.Estado = [&abiertas](QWidget *) { abiertas << "Estado"; };
    l.Municipio = [&abiertas](QWidget *, const QString &e) { abiertas << QStringLiteral("Municipio(%1)").arg(e); };
    l.Localidad = [&abiertas](QWidget *, const QString &e, const QString &m) { abiertas << QStringLiteral("Localidad(%1,%2)").arg(e, m); };
    l.Catalogo = [&abiertas](QWidget *, int campo, const QString &catalogo, const CodigosCatalogo &c) {
        const char *const modos[] = {"Todos", "Solo", "Excepto"};   // in the order of CodigosCatalogo::Modo
        QString lista;
        for (int x : c.codigos)
            lista += QLatin1Char(lista.isEmpty() ? ' ' : ',') + QString::number(x);
        abiertas << QStringLiteral("Catalogo(%1,%2,%3%4)").arg(campo).arg(catalogo, modos[int(c.modo)], lista);
    };
    l.CIE10 = [&abiertas](QWidget *, int campo) { abiertas << QStringLiteral("CIE10(%1)").arg(campo); };
    return l;
}

} // namespace

void Marca(HojaDatos &hoja, ListaHoja lista, const QStringList &pasos)
{
    for (const QString &paso : pasos) {
        const QString codigo = paso.startsWith('-') ? paso.mid(1) : paso;
        int fila = hoja.Elementos(lista).size() - 1;
        while (fila >= 0 && hoja.Elementos(lista)[fila].texto.left(2).trimmed() != codigo)
            --fila;
        ASSERT_GE(fila, 0) << codigo.toStdString();
        hoja.Marca(lista, fila, !paso.startsWith('-'));
    }
}

void DesmarcaTodo(HojaDatos &hoja, ListaHoja lista)
{
    for (int i = 0; i < hoja.Elementos(lista).size(); ++i)
        hoja.Marca(lista, i, false);
}

void Captura(HojaRegistro &reg, const DatosEvento &d)
{
    ASSERT_TRUE(PonEvento(reg.eventos, d));
}

HojaEnBase::HojaEnBase() : listas(ListasQueAnotan(abiertas))
{
    prog.AbreBase();
    listas.Clues = [this, anota = listas.Clues](QWidget *w) {
        anota(w);
        if (!cluesElegida.isEmpty())
            Hoja().PonTexto(23, cluesElegida);
    };
    listas.CIE10 = [this, anota = listas.CIE10](QWidget *w, int campo) {
        anota(w, campo);
        if (!cie10Elegido.isEmpty())
            Hoja().PonTexto(campo, cie10Elegido);
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
