#include "AmbienteRegistro.h"

AmbienteRegistro::AmbienteRegistro()
{
    prog.AbreBase();
    listas.Clues = [this](QWidget *) {
        abiertas << QStringLiteral("Clues");
        if (!cluesElegida.isEmpty())
            Hoja().PonTexto(23, cluesElegida);
    };
    listas.Estado = [this](QWidget *) { abiertas << QStringLiteral("Estado"); };
    listas.Municipio = [this](QWidget *, const QString &) { abiertas << QStringLiteral("Municipio"); };
    listas.Localidad = [this](QWidget *, const QString &, const QString &) { abiertas << QStringLiteral("Localidad"); };
    listas.Catalogo = [this](QWidget *, int, const QString &, const CodigosCatalogo &) {
        abiertas << QStringLiteral("Catalogo");
    };
    listas.CIE10 = [this](QWidget *, int) { abiertas << QStringLiteral("CIE10"); };
}

HojaRegistro &AmbienteRegistro::Reg()
{
    if (!reg_) {
        reg_ = std::make_unique<HojaRegistro>(*prog.ctx, listas);
        QObject::connect(&reg_->hoja, &HojaDatos::PideFoco, [this](int i) { focos << i; });
        QObject::connect(&reg_->hoja, &HojaDatos::PideFocoFecha, [this](int i) { focosFecha << i; });
    }
    return *reg_;
}

void AmbienteRegistro::Inserta(const QString &clues, int folio, const QString &fechaIso, bool hoy)
{
    Ejecuta(QStringLiteral("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
                           "VALUES (?, ?, ?, ?, ?)"),
            {clues, folio, fechaIso, QStringLiteral("PATERNO %1").arg(folio),
             hoy ? prog.reloj.Hoy().toString(Qt::ISODate) : QStringLiteral("2004-01-10")});
}

int AmbienteRegistro::Cuenta(const QString &sql)
{
    return prog.ctx->ConexionBD.Valor(sql).toInt();
}

void AmbienteRegistro::Ejecuta(const QString &sql, const QVariantList &valores)
{
    prog.ctx->ConexionBD.EjecutaAccion(sql, valores);
}

void AmbienteRegistro::CapturaValida(const DatosEvento &d)
{
    Vida().BotonPulsado(5);
    LlenaHoja(Hoja(), d);
    Hoja().GridAfeccionesEditado = true;
    ASSERT_TRUE(Reg().eventos.PonAfeccionesTmp(d.diagnosticos));
    ASSERT_TRUE(Reg().eventos.RefrescaGridAfecciones());
}

QString AmbienteRegistro::TituloEsperado(int posicion, int cuenta, int hoy)
{
    return QStringLiteral("Hoja de Registro de Atención por Violencia y/o Lesion. Registro: %1 de %2     "
                          "Capturados en el día: %3")
        .arg(posicion)
        .arg(cuenta)
        .arg(hoy);
}
