#include "capture/ReglasCampos.h"

#include "capture/ReglasTeclas.h"
#include "capture/VidaRegistro.h"
#include "events/CIE10.h"
#include "events/HojaDatos.h"
#include "events/modEvento.h"
#include "lookups/Descripciones.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

namespace {

// The fields whose change moves the enabled state of others.
bool Gobierna(int indice)
{
    switch (indice) {
    case 36: case 37: case 38: case 53: case 56: case 57: case 58: case 61: case 62: case 65: case 71:
        return true;
    default:
        return false;
    }
}

// The number a field holds, written with at least `digitos` digits; an empty
// field stays empty.
QString Rellena(const QString &texto, int digitos)
{
    if (texto.trimmed().isEmpty())
        return texto;
    return QString::number(ValorEntero(texto)).rightJustified(digitos, QLatin1Char('0'));
}

const QString Quirval = QStringLiteral("El número de afiliación al QUIRVAL, no es correcto, verifique por favor.....");
const QString Brestal = QStringLiteral("El número de afiliación al BRESTAL, no es correcto, verifique por favor.....");
const QString Nueves = QStringLiteral("9999999999");

} // namespace

ReglasCampos::ReglasCampos(Contexto &ctx, HojaDatos &hoja) : ReglasCampos(ctx, hoja, ListasReales(ctx, hoja)) {}

ReglasCampos::ReglasCampos(Contexto &ctx, HojaDatos &hoja, ListasSeleccion listas)
    : ctx_(ctx), hoja_(hoja), listas_(std::move(listas))
{
    ExisteRegistro = [this] { return ::ExisteRegistro(ctx_, hoja_); };
    ValidaDiagnostico = [this](const QString &codigo, int campo) {
        return Almacen().ValidaDiagnostico(codigo, campo);
    };
    pedidos_ = QObject::connect(&hoja_, &HojaDatos::PideFoco, [this](int) { ++focos_; });
}

ReglasCampos::~ReglasCampos()
{
    QObject::disconnect(pedidos_);
}

modEvento &ReglasCampos::Almacen()
{
    // The store's checks need no record set of their own: a private instance
    // on the same sheet serves.
    if (!almacen_)
        almacen_ = std::make_unique<modEvento>(ctx_, hoja_);
    return *almacen_;
}

bool ReglasCampos::Capturando() const
{
    return hoja_.EnAlta || hoja_.EnCambio;
}

QString ReglasCampos::T(int indice) const
{
    return hoja_.Texto(indice);
}

bool ReglasCampos::Vacio(int indice) const
{
    return hoja_.Texto(indice).trimmed().isEmpty();
}

// ---------------------------------------------------------------- change

void ReglasCampos::CampoCambiado(int indice)
{
    if (indice == 23 && Capturando()) {
        // The CLUES is kept trimmed: the trimmed text's own change describes it.
        const QString recortado = T(23).trimmed();
        if (recortado != T(23)) {
            hoja_.PonTexto(23, recortado);
            return;
        }
    }
    MuestraDescripcion(indice);
    // A municipality is described within its state and a locality within
    // both: they are looked up again when a code they hang on changes.
    if (indice == 46)
        MuestraDescripcion(47);
    if (indice == 46 || indice == 47)
        MuestraDescripcion(48);
    if (!Capturando()) {
        // Browsing or reading an event: no text or tick is written, only the
        // enabled states follow the texts.
        if (Gobierna(indice))
            HabilitaDependientes();
        return;
    }
    switch (indice) {
    case 36:
    case 37:
        CambioEdad();
        break;
    case 38: Embarazada(); break;
    case 53: Intencionalidad(); break;
    case 56: AgenteLesion(); break;
    case 57: LesionadoEquipo(); break;
    case 58: UsoEquipo(); break;
    case 62: RecibioAtencion(); break;
    case 65:
        if (!enIntencionalidad_)
            Agresor();
        break;
    case 71: Servicio(); break;
    default: break;
    }
}

void ReglasCampos::PonDescripcion(int etiqueta, const ::Descripcion &d)
{
    // A lookup that could not run leaves the label as it was.
    if (d.hallazgo != ::Descripcion::Hallazgo::Error)
        hoja_.PonEtiqueta(etiqueta, d.texto);
}

void ReglasCampos::MuestraDescripcion(int indice)
{
    const BaseDatos &bd = ctx_.ConexionBD;
    const bool vacio = Vacio(indice);
    if (indice == 23) {
        const ::Descripcion d = DescClues(bd, T(23).trimmed());
        if (d.hallazgo != ::Descripcion::Hallazgo::Error)
            hoja_.PonEtiqueta(28, d.Encontrada() ? d.texto : QString());
        return;
    }
    const bool conEtiqueta = !CatalogoDeCampo(indice).isEmpty() || (indice >= 46 && indice <= 48) ||
                             (indice >= 76 && indice <= 78);
    if (!conEtiqueta)
        return;
    if (vacio) {
        hoja_.PonEtiqueta(indice, QString());
        return;
    }
    switch (indice) {
    case 37: PonDescripcion(37, DescClaveEdad(bd, T(37).trimmed())); break;
    case 46: PonDescripcion(46, DescEstado(bd, T(46))); break;
    case 47: PonDescripcion(47, DescMunicipio(bd, T(46), T(47))); break;
    case 48: PonDescripcion(48, DescLocalidad(bd, T(46), T(47), T(48))); break;
    case 76:
    case 77:
    case 78: PonDescripcion(indice, NombreCIE10(bd, ctx_.mensajes, T(indice))); break;
    default: PonDescripcion(indice, DescCatalogo(bd, CatalogoDeCampo(indice), T(indice).trimmed())); break;
    }
}

void ReglasCampos::ReglasDeEdad()
{
    Embarazada();
    LeeEscribe();
    Escolaridad();
}

void ReglasCampos::CambioEdad()
{
    ReglasDeEdad();
    const QString unidad = T(37).trimmed();
    if (unidad.isEmpty()) {
        hoja_.HabilitaCampo(36, true);
        return;
    }
    if (unidad == QLatin1String("9")) {
        Desactiva(36, QStringLiteral("999"));
        return;
    }
    if (unidad != QLatin1String("3") && T(36).trimmed() == QLatin1String("999"))
        hoja_.PonTexto(36, QString());
    hoja_.HabilitaCampo(36, true);
}

// ---------------------------------------------------------------- dependent fields

void ReglasCampos::Activa(int indice, const QString &texto)
{
    hoja_.HabilitaCampo(indice, true);
    hoja_.PonTexto(indice, texto);
}

void ReglasCampos::Desactiva(int indice, const QString &texto)
{
    hoja_.HabilitaCampo(indice, false);
    hoja_.PonTexto(indice, texto);
}

qint64 ReglasCampos::Edad() const
{
    return ValorEntero(T(36).trimmed());
}

bool ReglasCampos::AplicaEmbarazo() const
{
    return Edad() >= 9 && Edad() <= 54 && T(38) == QLatin1String("2") && T(37) == QLatin1String("3");
}

bool ReglasCampos::AbreEducacion(int limite) const
{
    return !Vacio(37) && !Vacio(36) && Edad() >= limite && T(37) == QLatin1String("3");
}

void ReglasCampos::Embarazada()
{
    if (!AplicaEmbarazo())
        Desactiva(39, QString());
    else if (!hoja_.CampoHabilitado(39))
        Activa(39, QString());
}

void ReglasCampos::Educacion(int campo, int limite, const QString &fijo)
{
    if (Vacio(37) || Vacio(36))
        return;
    if (!AbreEducacion(limite))
        Desactiva(campo, fijo);
    else if (!hoja_.CampoHabilitado(campo))
        Activa(campo, QString());
}

void ReglasCampos::LeeEscribe()
{
    Educacion(40, 5, QStringLiteral("2"));
}

void ReglasCampos::Escolaridad()
{
    Educacion(41, 6, QStringLiteral("6"));
}

void ReglasCampos::Intencionalidad()
{
    const QString i = T(53);
    const bool violencia = i == QLatin1String("2") || i == QLatin1String("3");
    if (violencia || i == QLatin1String("4"))
        Activa(54, QString());
    else
        Desactiva(54, QString());

    if (violencia) {
        // Emptying the aggressor here opens his data; it presets nothing.
        enIntencionalidad_ = true;
        for (int c : {65, 66, 67, 68})
            Activa(c, QString());
        enIntencionalidad_ = false;
        hoja_.HabilitaLista(ListaHoja::TipoViolencia, true);
        hoja_.HabilitaLista(ListaHoja::AgresorEfectos, true);
    } else {
        for (int c : {65, 66, 67, 68})
            Desactiva(c, QString());
        for (ListaHoja l : {ListaHoja::TipoViolencia, ListaHoja::AgresorEfectos}) {
            hoja_.HabilitaLista(l, false);
            for (int f = 0; f < hoja_.Elementos(l).size(); ++f)
                hoja_.Marca(l, f, false);
        }
    }
    if (i == QLatin1String("11"))
        Trata();
    else
        NoTrata();
}

void ReglasCampos::Trata()
{
    hoja_.PonTexto(65, QStringLiteral("2"));
    Desactiva(74, QStringLiteral("3"));
    Desactiva(78, QStringLiteral("Y079"));
}

void ReglasCampos::NoTrata()
{
    hoja_.HabilitaCampo(74, true);
    hoja_.HabilitaCampo(78, true);
}

void ReglasCampos::Agresor()
{
    if (T(65) == QLatin1String("1")) {
        for (int c : {66, 67, 68})
            Activa(c, QString());
        hoja_.HabilitaLista(ListaHoja::AgresorEfectos, true);
        return;
    }
    Desactiva(66, QStringLiteral("999"));
    Desactiva(67, QStringLiteral("9"));
    hoja_.HabilitaCampo(68, false);
    const QString i = T(53);
    if (i == QLatin1String("2"))
        hoja_.PonTexto(68, QStringLiteral("4"));
    else if (i == QLatin1String("11") || i == QLatin1String("3"))
        hoja_.PonTexto(68, QStringLiteral("8"));
    hoja_.Marca(ListaHoja::AgresorEfectos, 3, true);
    hoja_.HabilitaLista(ListaHoja::AgresorEfectos, false);
}

void ReglasCampos::AgenteLesion()
{
    if (T(56) == QLatin1String("20")) {
        Activa(57, QString());
        Activa(58, QString());
    } else {
        for (int c : {57, 58, 59})
            Desactiva(c, QString());
    }
}

void ReglasCampos::LesionadoEquipo()
{
    if (T(57) == QLatin1String("1") || T(57) == QLatin1String("2"))
        Activa(58, QString());
    else
        Desactiva(58, QString());
}

void ReglasCampos::UsoEquipo()
{
    if (T(58) == QLatin1String("1"))
        Activa(59, QString());
    else
        Desactiva(59, QString());
}

void ReglasCampos::Pareja(int gobernante, const QString &valor, int a, int b)
{
    if (T(gobernante) == valor) {
        Activa(a, QString());
        Activa(b, QString());
    } else {
        Desactiva(a, QString());
        Desactiva(b, QString());
    }
}

void ReglasCampos::RecibioAtencion()
{
    Pareja(62, QStringLiteral("1"), 63, 64);
}

void ReglasCampos::Servicio()
{
    Pareja(71, QStringLiteral("3"), 72, 73);
}

void ReglasCampos::HabilitaDependientes()
{
    hoja_.HabilitaCampo(36, T(37).trimmed() != QLatin1String("9"));
    hoja_.HabilitaCampo(39, AplicaEmbarazo());
    hoja_.HabilitaCampo(40, AbreEducacion(5));
    hoja_.HabilitaCampo(41, AbreEducacion(6));

    const QString i = T(53);
    const bool violencia = i == QLatin1String("2") || i == QLatin1String("3");
    hoja_.HabilitaCampo(54, violencia || i == QLatin1String("4"));
    hoja_.HabilitaCampo(65, violencia);
    const bool unAgresor = violencia && (T(65) == QLatin1String("1") || Vacio(65));
    for (int c : {66, 67, 68})
        hoja_.HabilitaCampo(c, unAgresor);
    hoja_.HabilitaLista(ListaHoja::TipoViolencia, violencia);
    hoja_.HabilitaLista(ListaHoja::AgresorEfectos, unAgresor);
    hoja_.HabilitaCampo(74, i != QLatin1String("11"));
    hoja_.HabilitaCampo(78, i != QLatin1String("11"));

    const bool vehiculo = T(56) == QLatin1String("20");
    const QString rol = T(57);
    const bool equipo = vehiculo && (rol == QLatin1String("1") || rol == QLatin1String("2") || Vacio(57));
    hoja_.HabilitaCampo(57, vehiculo);
    hoja_.HabilitaCampo(58, equipo);
    hoja_.HabilitaCampo(59, equipo && T(58) == QLatin1String("1"));
    for (int c : {63, 64})
        hoja_.HabilitaCampo(c, T(62) == QLatin1String("1"));
    for (int c : {72, 73})
        hoja_.HabilitaCampo(c, T(71) == QLatin1String("3"));
    hoja_.HabilitaCampo(75, T(61).trimmed() != QLatin1String("19"));
}

// ---------------------------------------------------------------- keys

QString ReglasCampos::Permitidos(int indice, bool *espacio) const
{
    return TeclasCampo(indice, T(36), T(37), T(40), T(53), espacio);
}

bool ReglasCampos::TeclaPermitida(int indice, const QString &texto)
{
    if (!Capturando())
        return true;
    bool espacio = false;
    const QString permitidos = Permitidos(indice, &espacio);
    for (const QChar c : texto) {
        if (!CaracterPermitido(c, permitidos, espacio)) {
            ctx_.mensajes.Beep();
            return false;
        }
    }
    return true;
}

QString ReglasCampos::FiltraTexto(int indice, const QString &texto)
{
    if (!Capturando())
        return texto;
    bool espacio = false;
    const QString permitidos = Permitidos(indice, &espacio);
    QString resultado;
    bool rechazo = false;
    for (const QChar c : texto) {
        if (c == QLatin1Char('\b'))
            continue;
        if (CaracterPermitido(c, permitidos, espacio))
            resultado += c == QLatin1Char(' ') ? c : c.toUpper();
        else
            rechazo = true;
    }
    if (rechazo)
        ctx_.mensajes.Beep();
    return resultado;
}

// ---------------------------------------------------------------- leaving

bool ReglasCampos::SaleCampo(int indice, QWidget *padre)
{
    if (!Capturando())
        return true;
    const int antes = focos_;
    switch (indice) {
    case 22:
        if (!Vacio(22) && ValorEntero(T(22)) != 0) {
            hoja_.PonTexto(22, Rellena(T(22), 8));
            ExisteRegistro();
        }
        break;
    case 23:
        ExisteRegistro();
        break;
    case 32:
        SaleCurp();
        break;
    case 33:
    case 34:
        SaleAfiliacion(indice);
        break;
    case 36:
        if (Vacio(36)) {
            const QString u = T(37).trimmed();
            if (u == QLatin1String("0") || u == QLatin1String("1") || u == QLatin1String("2"))
                hoja_.PonTexto(36, QStringLiteral("99"));
            else if (u == QLatin1String("3"))
                hoja_.PonTexto(36, QStringLiteral("999"));
        }
        ValidaEdad();
        break;
    case 37:
        // The age check of the unit runs before its leave rule, as the
        // validation of a field comes before its leaving.
        ValidaEdad();
        if (Vacio(36) && T(37).trimmed() == QLatin1String("3"))
            hoja_.PonTexto(36, QStringLiteral("999"));
        break;
    case 46:
        SaleEstado();
        break;
    case 47:
        SaleMunicipio();
        break;
    case 48:
        if (!Vacio(48))
            hoja_.PonTexto(48, Rellena(T(48), 4));
        break;
    case 49:
    case 69:
        hoja_.PonTexto(indice, ValorEntero(T(indice)) >= 24 ? QString() : Rellena(T(indice), 2));
        break;
    case 50:
    case 64:
    case 70:
    case 73:
        hoja_.PonTexto(indice, ValorEntero(T(indice)) >= 60 ? QString() : Rellena(T(indice), 2));
        break;
    case 63:
    case 72:
        hoja_.PonTexto(indice, Rellena(T(indice), 2));
        break;
    case 61:
        if (T(61).trimmed() == QLatin1String("19"))
            Desactiva(75, QStringLiteral("5"));
        else
            hoja_.HabilitaCampo(75, true);
        break;
    case 66:
        if (!Vacio(66)) {
            const qint64 edad = ValorEntero(T(66));
            if (edad != 999 && (edad < 1 || edad > 120))
                hoja_.PonTexto(66, QString());
        }
        break;
    case 76:
    case 77:
    case 78:
        SaleCIE10(indice, padre);
        break;
    default:
        break;
    }
    return focos_ == antes;
}

void ReglasCampos::SaleCurp()
{
    const QString curp = T(32).trimmed();
    if (curp.isEmpty() || (curp.size() >= 10 && ValidaCurp(curp)))
        return;
    ctx_.mensajes.Muestra(QStringLiteral("La CURP no es correcta, verifique por favor.....\n\n"),
                          Mensajes::Icono::Ninguno, TituloAplicacion());
    hoja_.Enfoca(32);
}

bool ReglasCampos::PreguntaAfiliacion(const QString &renglon)
{
    return ctx_.mensajes.Pregunta(renglon + QStringLiteral("\n\n¿Cuenta con el número de afiliación?"),
                                  Mensajes::Icono::Ninguno, TituloHojaRegistro());
}

void ReglasCampos::SaleAfiliacion(int indice)
{
    const int largo33 = T(33).trimmed().size();
    const int largo34 = T(34).trimmed().size();
    if (hoja_.MarcaDerechohabiencia8) {
        if (largo33 == 0 && largo34 == 0)
            return;
        if (indice == 33) {
            if ((largo33 >= 1 && largo33 <= 9) || (largo33 == 0 && largo34 > 0)) {
                hoja_.Enfoca(33);
                if (!PreguntaAfiliacion(Quirval)) {
                    hoja_.PonTexto(33, Nueves);
                    hoja_.PonTexto(34, QStringLiteral("99"));
                }
                return;
            }
        } else if (largo34 < 2 || largo33 < 10) {
            if (PreguntaAfiliacion(Quirval)) {
                hoja_.Enfoca(largo33 >= 10 ? 34 : 33);
            } else {
                hoja_.PonTexto(33, Nueves);
                hoja_.PonTexto(34, QStringLiteral("99"));
            }
            return;
        }
    }
    if (hoja_.MarcaDerechohabienciaG) {
        if (largo33 == 0)
            return;
        if (indice == 33 && largo33 < 10) {
            hoja_.Enfoca(33);
            if (!PreguntaAfiliacion(Brestal))
                hoja_.PonTexto(33, Nueves);
        }
    }
}

void ReglasCampos::SaleEstado()
{
    if (Vacio(46)) {
        hoja_.PonTexto(47, QString());
        hoja_.PonTexto(48, QString());
        return;
    }
    hoja_.PonTexto(46, Rellena(T(46), 2));
    if (hoja_.Etiqueta(46) == CveInexistente()) {
        hoja_.PonTexto(47, QString());
        hoja_.PonTexto(48, QString());
        return;
    }
    // The descriptions of 47 and 48 already follow the state.
    if (!Vacio(47) && hoja_.Etiqueta(47) == CveInexistente())
        hoja_.PonTexto(48, QString());
}

void ReglasCampos::SaleMunicipio()
{
    if (Vacio(47)) {
        hoja_.PonTexto(48, QString());
        return;
    }
    hoja_.PonTexto(47, Rellena(T(47), 3));
    if (hoja_.Etiqueta(47) == CveInexistente())
        hoja_.PonTexto(48, QString());
}

void ReglasCampos::SaleCIE10(int indice, QWidget *padre)
{
    const QString codigo = T(indice).trimmed();
    if (codigo.isEmpty() || ValidaDiagnostico(codigo, indice))
        return;
    ctx_.mensajes.Beep();
    if (listas_.CIE10)
        listas_.CIE10(padre, indice);
    // Back to the field, whether a code was chosen or not: it is checked
    // again when the user next leaves it.
    if (hoja_.Editable(indice))
        hoja_.Enfoca(indice);
}

// ---------------------------------------------------------------- double click

void ReglasCampos::DobleClic(int indice, QWidget *padre)
{
    if (!hoja_.Editable(indice))
        return;
    auto llama = [](const auto &f, auto &&...args) {
        if (f)
            f(args...);
    };
    switch (indice) {
    case 23: llama(listas_.Clues, padre); return;
    case 46: llama(listas_.Estado, padre); return;
    case 47: llama(listas_.Municipio, padre, T(46).trimmed()); return;
    case 48: llama(listas_.Localidad, padre, T(46).trimmed(), T(47).trimmed()); return;
    case 76:
    case 77:
    case 78: llama(listas_.CIE10, padre, indice); return;
    default: break;
    }
    CodigosCatalogo codigos;
    if (CodigosCampo(indice, T(36), T(37), T(40), T(53), &codigos))
        llama(listas_.Catalogo, padre, indice, CatalogoDeCampo(indice), codigos);
}

// ---------------------------------------------------------------- age and CURP

bool ValidaCurp(const QString &curp)
{
    static const QString letras = QStringLiteral("ABCDEFGHIJKLMNÑOPQRSTUVWXYZ");
    static const QString digitos = QStringLiteral("0123456789");
    if (curp.size() < 10)
        return false;
    for (int i = 0; i < 10; ++i)
        if (!(i < 4 ? letras : digitos).contains(curp.at(i)))
            return false;
    return true;
}

bool ValidaEdad(Contexto &ctx, HojaDatos &hoja)
{
    ReglasCampos reglas(ctx, hoja, ListasSeleccion{});
    return reglas.ValidaEdad();
}

bool ReglasCampos::ValidaEdad()
{
    static const char *const Mensaje[] = {
        "Edad incorrecta para clave de edad en HORAS, verifique por favor.....",
        "Edad incorrecta para clave de edad en DIAS, verifique por favor.....",
        "Edad incorrecta para clave de edad en MESES, verifique por favor.....",
        "Edad incorrecta para clave de edad en AÑOS, verifique por favor.....",
    };
    static const int Limite[] = {23, 29, 11, 130};
    static const int Excepcion[] = {99, 99, 99, 999};

    bool resultado = true;
    const QString edadTexto = hoja_.Texto(36).trimmed();
    if (!edadTexto.isEmpty()) {
        bool esNumero = false;
        const int edad = edadTexto.toInt(&esNumero);
        if (!esNumero) {
            // What cannot be read as a number ends the check as it stands.
            ctx_.mensajes.Beep();
            return resultado;
        }
        QString mensaje;
        if (edad == 0) {
            ctx_.mensajes.Beep();
            mensaje = QStringLiteral("La Edad no puede ser 0 (cero), verifique por favor....");
        } else {
            const int unidad = hoja_.Texto(37).trimmed().toInt(&esNumero);
            if (!esNumero) {
                ctx_.mensajes.Beep();
                return resultado;
            }
            if (unidad >= 0 && unidad <= 3) {
                if (edad > Limite[unidad] && edad != Excepcion[unidad])
                    mensaje = QString::fromUtf8(Mensaje[unidad]);
            } else if (unidad == 9) {
                hoja_.PonTexto(36, QStringLiteral("999"));
            } else {
                resultado = false;
            }
        }
        if (!mensaje.isEmpty()) {
            ctx_.mensajes.Informa(mensaje, TituloHojaRegistro());
            hoja_.PonPagina(0);
            hoja_.HabilitaMarco(Marco::Afectado, true);
            hoja_.Enfoca(36);
            return false;
        }
    }
    ReglasDeEdad();
    return resultado;
}
