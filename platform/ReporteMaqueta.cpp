#include "platform/ReporteMaqueta.h"

#include "platform/BaseDatos.h"

#include <QFontMetricsF>
#include <QImage>
#include <QSqlError>
#include <QSqlRecord>
#include <QStringEncoder>
#include <QHash>
#include <cmath>
#include <cstring>
#include <memory>

bool FuenteLista::Siguiente(QVariantList &fila)
{
    if (siguiente_ >= filas_.size())
        return false;
    fila = filas_[siguiente_++];
    return true;
}

FuenteConsulta::FuenteConsulta(const BaseDatos &bd, const QString &sql, const QVariantList &valores)
    : q_(bd.Ejecuta(sql, valores))
{
    const QSqlRecord r = q_.record();
    for (int i = 0; i < r.count(); ++i)
        campos_ << r.fieldName(i);
}

bool FuenteConsulta::Siguiente(QVariantList &fila)
{
    if (!q_.next()) {
        if (q_.lastError().isValid())
            throw ErrorBD::DeConsulta(q_);
        q_.finish();
        return false;
    }
    fila.resize(campos_.size());
    for (int i = 0; i < campos_.size(); ++i)
        fila[i] = q_.value(i);
    return true;
}

namespace {

enum : quint8 { MarcaNumerado = 0x10 };

template <class T>
void Escribe(char *&p, T v)
{
    std::memcpy(p, &v, sizeof v);
    p += sizeof v;
}

template <class T>
T Lee(const char *&p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    p += sizeof v;
    return v;
}

} // namespace

void DocumentoReporte::AgregaPagina(const PaginaReporte &p, const QVector<int> &numerados)
{
    QByteArray b;
    b.reserve(p.elementos.size() * 40);   // grown once, not per element; squeezed below
    QStringEncoder utf8(QStringEncoder::Utf8);
    for (int i = 0; i < p.elementos.size(); ++i) {
        const ElementoPagina &e = p.elementos[i];
        // The fixed part of an element is gathered first and appended at once.
        char fijo[2 + 4 * sizeof(float) + sizeof(quint32)];
        char *pos = fijo;
        Escribe<quint8>(pos, quint8(quint8(e.tipo) | quint8(quint8(e.alineacion) << 2)
                                 | (numerados.contains(i) ? MarcaNumerado : 0)));
        Escribe<quint8>(pos, e.fuente);
        for (double v : {e.caja.x(), e.caja.y(), e.caja.width(), e.caja.height()})
            Escribe<float>(pos, float(v));
        if (e.tipo == ElementoPagina::Tipo::Texto) {
            // The text encoded straight after its fixed part, its length then written in.
            const qsizetype inicio = b.size();
            b.resize(inicio + qsizetype(sizeof fijo) + utf8.requiredSpace(e.texto.size()));
            char *fin = utf8.appendToBuffer(b.data() + inicio + qsizetype(sizeof fijo), e.texto);
            const quint32 largo = quint32(fin - (b.data() + inicio + qsizetype(sizeof fijo)));
            Escribe<quint32>(pos, largo);
            std::memcpy(b.data() + inicio, fijo, sizeof fijo);
            b.resize(inicio + qsizetype(sizeof fijo) + largo);
        } else {
            Escribe<quint32>(pos, e.color);
            b.append(fijo, sizeof fijo);
        }
    }
    b.squeeze();
    paginas_.append(b);
}

PaginaReporte DocumentoReporte::Pagina(int i) const
{
    PaginaReporte r;
    const QByteArray &b = paginas_[i];
    const QMap<QString, QString> numeros{{QStringLiteral("pagina"), QString::number(i + 1)},
                                         {QStringLiteral("paginas"), QString::number(paginas_.size())}};
    const char *p = b.constData(), *fin = p + b.size();
    while (p < fin) {
        ElementoPagina e;
        const quint8 cabecera = Lee<quint8>(p);
        e.tipo = ElementoPagina::Tipo(cabecera & 0x3);
        e.alineacion = Alineacion((cabecera >> 2) & 0x3);
        e.fuente = Lee<quint8>(p);
        const float x = Lee<float>(p), y = Lee<float>(p), w = Lee<float>(p), h = Lee<float>(p);
        e.caja = QRectF(x, y, w, h);
        if (e.tipo == ElementoPagina::Tipo::Texto) {
            const quint32 n = Lee<quint32>(p);
            e.texto = QString::fromUtf8(p, qsizetype(n));
            p += n;
            if (cabecera & MarcaNumerado)
                e.texto = SustituyeMarcas(e.texto, numeros);
        } else {
            e.color = Lee<quint32>(p);
        }
        r.elementos.append(e);
    }
    return r;
}

qint64 DocumentoReporte::Bytes() const
{
    qint64 n = 0;
    for (const QByteArray &b : paginas_)
        n += b.size();
    return n;
}

namespace {

constexpr double PuntosPorMm = 72.0 / 25.4;
constexpr double Relleno = 2.0;        // inner padding of a cell, in points
constexpr QRgb ColorRaya = 0xFFB0B0B0; // rule under each row
constexpr QRgb ColorBorde = 0xFF000000;

QFont FuenteQt(const QString &familia, const EstiloReporte &e)
{
    QFont f(familia);
    f.setPointSizeF(e.puntos);
    f.setBold(e.negrita);
    return f;
}

} // namespace

namespace {

// Texts are measured on a 72 dpi device, so that one pixel is one point.
QImage &Lienzo72()
{
    static QImage lienzo = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(qRound(72 / 0.0254));
        i.setDotsPerMeterY(qRound(72 / 0.0254));
        return i;
    }();
    return lienzo;
}

class Maquetador {
public:
    Maquetador(const DefinicionReporte &def, const QMap<QString, QString> &textos, const QStringList &campos,
               const QString &titulo)
        : def_(def), textos_(textos), campos_(campos)
    {
        doc_.titulo = titulo;
        doc_.pagina = QPageLayout(QPageSize(def.tamano), def.orientacion, QMarginsF());
        const QRectF papel = doc_.pagina.fullRectPoints();
        contenido_ = papel.adjusted(def.margenes.left() * PuntosPorMm, def.margenes.top() * PuntosPorMm,
                                    -def.margenes.right() * PuntosPorMm, -def.margenes.bottom() * PuntosPorMm);
        ColocaColumnas();
        double pie = 0;
        for (const LineaReporte &l : def_.pie)
            pie += Alto(l.estilo);
        limite_ = contenido_.bottom() - (pie > 0 ? pie + 4 : 0);
        for (const GrupoReporte &g : def_.grupos)
            indiceGrupos_ << Indice(g.campo, QStringLiteral("grupo"));
        if (!def_.campoEstilo.isEmpty())
            indiceEstilo_ = Indice(def_.campoEstilo, QStringLiteral("estilo"));
    }

    void Fila(const QVariantList &valores)
    {
        int cambia = int(def_.grupos.size());
        for (int i = 0; i < def_.grupos.size(); ++i)
            if (!abiertos_ || valores[indiceGrupos_[i]] != primeras_[i][indiceGrupos_[i]]) {
                cambia = i;
                break;
            }
        if (abiertos_)
            CierraGrupos(cambia);
        for (int i = cambia; i < def_.grupos.size(); ++i)
            AbreGrupo(i, valores);
        abiertos_ = true;

        QString estilo = indiceEstilo_ < 0 ? QString() : valores[indiceEstilo_].toString().trimmed();
        if (estilo.isEmpty())
            estilo = QStringLiteral("normal");
        QVector<double> numeros(def_.columnas.size(), 0);
        QStringList celdas;
        for (int c = 0; c < def_.columnas.size(); ++c) {
            const ColumnaReporte &col = def_.columnas[c];
            QVariant v;
            if (col.suma.isEmpty()) {
                v = valores[indiceColumnas_[c]];
            } else {
                double s = 0;
                for (int i : indiceSumas_[c])
                    s += valores[i].toDouble();
                v = s;
            }
            if (col.total)   // only the summed columns are read as numbers
                numeros[c] = v.toDouble();
            celdas << FormateaValor(v, col.formato);
        }
        for (QVector<double> &acumulado : acumulados_)
            for (int c = 0; c < numeros.size(); ++c)
                acumulado[c] += numeros[c];
        LineaCeldas(celdas, estilo, true);
    }

    DocumentoReporte Termina()
    {
        if (abiertos_)
            CierraGrupos(0);
        if (!def_.total.isEmpty())
            FilaTotal(SustituyeMarcas(def_.total, textos_), acumulados_.value(0));
        if (!hayPagina_)
            NuevaPagina();
        CierraPagina();
        return std::move(doc_);
    }

private:
    int Indice(const QString &campo, const QString &uso) const
    {
        const int i = int(campos_.indexOf(campo));
        if (i < 0)
            throw ErrorReporte(QStringLiteral("El reporte pide el campo %1 (%2), que sus datos no tienen").arg(campo, uso));
        return i;
    }

    void ColocaColumnas()
    {
        double suma = 0;
        for (const ColumnaReporte &c : def_.columnas)
            suma += c.ancho;
        double x = contenido_.left();
        const double escala = contenido_.width() / suma;
        for (const ColumnaReporte &c : def_.columnas) {
            izquierdas_ << x;
            anchos_ << c.ancho * escala;
            x += c.ancho * escala;
            indiceColumnas_ << (c.suma.isEmpty() ? Indice(c.campo, c.titulo) : -1);
            QVector<int> sumas;
            for (const QString &s : c.suma)
                sumas << Indice(s, c.titulo);
            indiceSumas_ << sumas;
        }
        acumulados_.resize(1 + def_.grupos.size());
        for (QVector<double> &a : acumulados_)
            a.fill(0, def_.columnas.size());
    }

    // What the layout needs of a style, worked out once per style.
    struct Medida {
        int fuente = -1;
        double alto = 0;
        QColor fondo;
        std::shared_ptr<QFontMetricsF> metricas;
        QHash<QString, double> palabras;   // widths of the words already measured
        double cifra = -1;                  // width of its widest digit or sign
    };
    Medida &Medidas(const QString &estilo) const
    {
        auto it = medidas_.find(estilo);
        if (it == medidas_.end()) {
            const EstiloReporte e = def_.Estilo(estilo);
            Medida m;
            m.metricas = std::make_shared<QFontMetricsF>(FuenteQt(def_.fuente, e), &Lienzo72());
            m.alto = m.metricas->lineSpacing() + Relleno;
            m.fondo = e.fondo;
            it = medidas_.insert(estilo, m);
        }
        return *it;
    }

    int Fuente(const QString &estilo) { return Fuente(Medidas(estilo), estilo); }

    int Fuente(Medida &m, const QString &estilo)
    {
        if (m.fuente < 0)
            m.fuente = NuevaFuente(estilo);
        return m.fuente;
    }

    int NuevaFuente(const QString &estilo)
    {
        const EstiloReporte e = def_.Estilo(estilo);
        return FuenteDe(e.puntos, e.negrita);
    }

    int FuenteDe(double puntos, bool negrita)
    {
        for (int i = 0; i < doc_.fuentes.size(); ++i) {
            const FuenteDocumento &f = doc_.fuentes[i];
            if (f.puntos == puntos && f.negrita == negrita)
                return i;
        }
        doc_.fuentes.append({def_.fuente, puntos, negrita});
        return int(doc_.fuentes.size()) - 1;
    }

    // The room a text has in a cell `ancho` wide, less the painter's own rounding.
    static double Cabe(double ancho) { return ancho * 0.95 - 2 * Relleno; }

    // The font of `estilo`, made smaller when a line of `texto` is wider than
    // its cell: numbers and captions show whole, never cut.
    int FuenteQueCabe(const QString &estilo, const QString &texto, double ancho)
    {
        return FuenteQueCabe(Medidas(estilo), estilo, texto, ancho, EsNumero(texto));
    }

    // The same, with the style's measures and whether `texto` is a number at hand.
    int FuenteQueCabe(Medida &m, const QString &estilo, const QString &texto, double ancho, bool numero)
    {
        const double cabe = Cabe(ancho);
        if (m.cifra < 0)
            for (const QChar c : QStringLiteral("0123456789,.-%"))
                m.cifra = qMax(m.cifra, m.metricas->horizontalAdvance(c));
        if (numero && texto.size() * m.cifra <= cabe && !texto.contains(QLatin1Char('\n')))
            return Fuente(m, estilo);   // a short number fits without measuring it
        double mayor = 0;
        for (const QString &linea : texto.split(QLatin1Char('\n')))
            mayor = qMax(mayor, m.metricas->horizontalAdvance(linea));
        if (mayor <= cabe)
            return Fuente(m, estilo);
        const EstiloReporte e = def_.Estilo(estilo);
        const double puntos = std::floor(e.puntos * cabe / mayor * 4) / 4;   // quarter points: few fonts
        return FuenteDe(qMax(puntos, 1.0), e.negrita);
    }

    static bool EsNumero(const QString &t)
    {
        if (t.isEmpty())
            return false;
        for (const QChar c : t)
            if (!c.isDigit() && c != QLatin1Char(',') && c != QLatin1Char('.') && c != QLatin1Char('-') && c != QLatin1Char('%'))
                return false;
        return true;
    }

    double Alto(const QString &estilo) const { return Medidas(estilo).alto; }

    QVector<ElementoPagina> &Elementos() { return pagina_.elementos; }

    // The page under way goes into the document, encoded.
    void CierraPagina()
    {
        if (!hayPagina_)
            return;
        doc_.AgregaPagina(pagina_, numerados_);
        pagina_.elementos.clear();
        numerados_.clear();
    }

    void Texto(const QRectF &caja, const QString &texto, const QString &estilo, Alineacion a)
    {
        Texto(caja, texto, Fuente(estilo), a);
    }

    void Texto(const QRectF &caja, const QString &texto, int fuente, Alineacion a)
    {
        ElementoPagina e;
        e.fuente = quint8(fuente);
        e.alineacion = a;
        e.caja = caja.adjusted(Relleno, 0, -Relleno, 0);
        e.texto = texto;
        Elementos().append(e);
    }

    void Linea(QPointF a, QPointF b, QRgb color)
    {
        ElementoPagina e;
        e.tipo = ElementoPagina::Tipo::Linea;
        e.caja = QRectF(a, b);
        e.color = color;
        Elementos().append(e);
    }

    void Caja(const QRectF &r, const QString &estilo)
    {
        const QColor fondo = def_.Estilo(estilo).fondo;
        if (fondo.isValid()) {
            ElementoPagina e;
            e.tipo = ElementoPagina::Tipo::Relleno;
            e.caja = r;
            e.color = fondo.rgba();
            Elementos().append(e);
        }
        Linea(r.topLeft(), r.topRight(), ColorBorde);
        Linea(r.bottomLeft(), r.bottomRight(), ColorBorde);
        Linea(r.topLeft(), r.bottomLeft(), ColorBorde);
        Linea(r.topRight(), r.bottomRight(), ColorBorde);
    }

    // Header or footer lines from y; returns the y below them.
    double Lineas(const QVector<LineaReporte> &lineas, double y)
    {
        // Page numbers stay marked until the last page is known.
        QMap<QString, QString> textos = textos_;
        textos[QStringLiteral("pagina")] = QStringLiteral("{pagina}");
        textos[QStringLiteral("paginas")] = QStringLiteral("{paginas}");
        for (const LineaReporte &l : lineas) {
            const QString texto = SustituyeMarcas(l.texto, textos);
            if (l.omitirVacia && texto.trimmed().isEmpty())
                continue;
            const double h = Alto(l.estilo);
            Texto(QRectF(contenido_.left(), y, contenido_.width(), h), texto, l.estilo, l.alineacion);
            if (texto.contains(QLatin1String("{pagina")))
                numerados_.append(int(Elementos().size()) - 1);
            y += h;
        }
        return y;
    }

    int ColumnaDe(const QString &nombre) const
    {
        for (int c = 0; c < def_.columnas.size(); ++c)
            if (def_.columnas[c].campo == nombre || def_.columnas[c].titulo == nombre)
                return c;
        return -1;
    }

    void NuevaPagina()
    {
        CierraPagina();
        hayPagina_ = true;
        anteriores_.clear();
        double y = Lineas(def_.encabezado, contenido_.top());
        if (!def_.encabezado.isEmpty())
            y += 6;
        if (!def_.pie.isEmpty())
            Lineas(def_.pie, limite_ + 4);

        const QString estilo = QStringLiteral("columnas");
        const double h = Alto(estilo) - Relleno;
        for (const BandaReporte &b : def_.bandas) {
            const int desde = ColumnaDe(b.desde), hasta = ColumnaDe(b.hasta);
            if (desde < 0 || hasta < desde)
                continue;
            const QRectF r(izquierdas_[desde], y, izquierdas_[hasta] + anchos_[hasta] - izquierdas_[desde], h + Relleno);
            Caja(r, estilo);
            Texto(r, b.texto, FuenteQueCabe(estilo, b.texto, r.width()), Alineacion::Centro);
        }
        if (!def_.bandas.isEmpty())
            y += h + Relleno;
        if (titulos_.isEmpty())
            PreparaTitulos();
        for (int c = 0; c < def_.columnas.size(); ++c) {
            const QRectF r(izquierdas_[c], y, anchos_[c], h * renglonesTitulo_ + Relleno);
            Caja(r, estilo);
            Texto(r, titulos_[c], fuentesTitulo_[c], Alineacion::Centro);
        }
        y_ = y + h * renglonesTitulo_ + Relleno;
        inicioDatos_ = y_;
        // A group that runs over pages is named again at the top of each.
        for (int i = 0; i < gruposNombrados_; ++i)
            EncabezadoGrupo(i);
    }

    // Column captions wrapped at blanks to their cells; a word wider than its
    // cell takes a smaller font.
    void PreparaTitulos()
    {
        const QString estilo = QStringLiteral("columnas");
        for (int c = 0; c < def_.columnas.size(); ++c) {
            QStringList lineas;
            for (const QString &l : def_.columnas[c].titulo.split(QLatin1Char('\n')))
                lineas << Ajusta(l, estilo, anchos_[c], false);
            titulos_ << lineas.join(QLatin1Char('\n'));
            fuentesTitulo_ << FuenteQueCabe(estilo, titulos_.last(), anchos_[c]);
            renglonesTitulo_ = qMax(renglonesTitulo_, int(titulos_.last().count(QLatin1Char('\n'))) + 1);
        }
    }

    // Starts a new page when `alto` does not fit below the current line.
    void Reserva(double alto)
    {
        if (!hayPagina_ || y_ + alto > limite_)
            NuevaPagina();
    }

    // A text broken into lines no wider than `ancho` (points), at blanks
    // where it can, inside a word where it must (unless `partePalabras` is false).
    QString Ajusta(const QString &texto, const QString &estilo, double ancho, bool partePalabras = true) const
    {
        // The same names come back row after row: each is broken once.
        const QString clave = estilo + QLatin1Char('\x1f') + QString::number(ancho) + QLatin1Char(partePalabras ? '\x1f' : '\x1e')
            + texto;
        if (const auto it = ajustados_.constFind(clave); it != ajustados_.constEnd())
            return *it;
        if (ajustados_.size() > 20000)
            ajustados_.clear();
        Medida &medida = Medidas(estilo);
        const QFontMetricsF &m = *medida.metricas;
        ancho = Cabe(ancho);
        QString r = texto;
        if (m.horizontalAdvance(texto) > ancho) {
            // Words measured one by one: a line is its words and the blanks between them.
            const double blanco = m.horizontalAdvance(QLatin1Char(' '));
            QStringList lineas;
            QString linea;
            double largo = 0;
            for (const QString &palabra : texto.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                auto medido = medida.palabras.constFind(palabra);
                if (medido == medida.palabras.cend())
                    medido = medida.palabras.insert(palabra, m.horizontalAdvance(palabra));
                const double w = *medido;
                if (!linea.isEmpty() && largo + blanco + w <= ancho) {
                    linea += QLatin1Char(' ') + palabra;
                    largo += blanco + w;
                    continue;
                }
                if (!linea.isEmpty())
                    lineas << linea;
                linea = palabra;
                largo = w;
                while (partePalabras && largo > ancho && linea.size() > 1) {   // a word wider than the cell is cut
                    int n = int(linea.size()) - 1;
                    while (n > 1 && m.horizontalAdvance(linea.left(n)) > ancho)
                        --n;
                    lineas << linea.left(n);
                    linea = linea.mid(n);
                    largo = m.horizontalAdvance(linea);
                }
            }
            if (!linea.isEmpty())
                lineas << linea;
            r = lineas.join(QLatin1Char('\n'));
        }
        ajustados_.insert(clave, r);
        return r;
    }

    // The cells as a row shows them: repeated values blank, long texts
    // wrapped; returns the row's height.
    double Prepara(QStringList &celdas, const QStringList &completas, const QString &estilo) const
    {
        celdas = completas;
        int renglones = 1;
        for (int c = 0; c < celdas.size(); ++c) {
            const ColumnaReporte &col = def_.columnas[c];
            if (col.suprimeRepetidos && estilo == estiloAnterior_ && c < anteriores_.size() && celdas[c] == anteriores_[c])
                celdas[c].clear();
            if (col.ajusta && !celdas[c].isEmpty()) {
                celdas[c] = Ajusta(celdas[c], estilo, anchos_[c]);
                renglones = qMax(renglones, int(celdas[c].count(QLatin1Char('\n'))) + 1);
            }
        }
        return Alto(estilo) + (renglones - 1) * (Alto(estilo) - Relleno);
    }

    // `rotulo`: the first cell is a caption that runs over the blank cells after it.
    void LineaCeldas(const QStringList &completas, const QString &estilo, bool raya, bool rotulo = false)
    {
        QStringList celdas;
        double h = Prepara(celdas, completas, estilo);
        if (!hayPagina_ || y_ + h > limite_) {
            NuevaPagina();   // a new page shows every value again
            h = Prepara(celdas, completas, estilo);
        }
        anteriores_ = completas;
        estiloAnterior_ = estilo;
        Medida &medida = Medidas(estilo);   // looked up once for the row's cells
        const QColor fondo = medida.fondo;
        if (fondo.isValid() && estilo != QLatin1String("normal")) {
            ElementoPagina e;
            e.tipo = ElementoPagina::Tipo::Relleno;
            e.caja = QRectF(contenido_.left(), y_, contenido_.width(), h);
            e.color = fondo.rgba();
            Elementos().append(e);
        }
        for (int c = 0; c < celdas.size(); ++c) {
            if (celdas[c].isEmpty())
                continue;
            int hasta = c;
            while (rotulo && c == 0 && hasta + 1 < celdas.size() && celdas[hasta + 1].isEmpty())
                ++hasta;
            const double ancho = izquierdas_[hasta] + anchos_[hasta] - izquierdas_[c];
            const int fuente = EsNumero(celdas[c]) ? FuenteQueCabe(medida, estilo, celdas[c], ancho, true) : Fuente(medida, estilo);
            Texto(QRectF(izquierdas_[c], y_, ancho, h), celdas[c], fuente,
                  rotulo && c == 0 ? Alineacion::Izquierda : def_.columnas[c].alineacion);
        }
        y_ += h;
        if (raya)
            Linea(QPointF(contenido_.left(), y_), QPointF(contenido_.right(), y_), ColorRaya);
    }

    void FilaTotal(const QString &rotulo, const QVector<double> &sumas)
    {
        QStringList celdas;
        for (int c = 0; c < def_.columnas.size(); ++c) {
            const ColumnaReporte &col = def_.columnas[c];
            celdas << (col.total ? FormateaValor(sumas.value(c), col.formato) : QString());
        }
        celdas[0] = rotulo;
        const QString estilo = QStringLiteral("total");
        Reserva(Alto(estilo));
        Linea(QPointF(contenido_.left(), y_), QPointF(contenido_.right(), y_), ColorBorde);
        LineaCeldas(celdas, estilo, false, true);
        Linea(QPointF(contenido_.left(), y_), QPointF(contenido_.right(), y_), ColorBorde);
    }

    QMap<QString, QString> TextosCon(const QVariantList &valores) const
    {
        QMap<QString, QString> t = textos_;
        for (int i = 0; i < campos_.size(); ++i)
            t[campos_[i]] = valores[i].toString().trimmed();
        return t;
    }

    void AbreGrupo(int nivel, const QVariantList &valores)
    {
        const GrupoReporte &g = def_.grupos[nivel];
        primeras_.resize(def_.grupos.size());
        primeras_[nivel] = valores;
        acumulados_[nivel + 1].fill(0);
        anteriores_.clear();
        gruposNombrados_ = nivel;
        if (g.saltoPagina && hayPagina_ && y_ > inicioDatos_)
            NuevaPagina();
        if (!g.encabezado.isEmpty()) {
            Reserva(Alto(QStringLiteral("grupo")) + Alto(QStringLiteral("normal")));   // never alone at a page's foot
            EncabezadoGrupo(nivel);
        }
        gruposNombrados_ = nivel + 1;
    }

    void EncabezadoGrupo(int nivel)
    {
        const GrupoReporte &g = def_.grupos[nivel];
        if (g.encabezado.isEmpty())
            return;
        const QString estilo = QStringLiteral("grupo");
        Texto(QRectF(contenido_.left(), y_, contenido_.width(), Alto(estilo)),
              SustituyeMarcas(g.encabezado, TextosCon(primeras_[nivel])), estilo, Alineacion::Izquierda);
        y_ += Alto(estilo);
    }

    void CierraGrupos(int desde)
    {
        for (int i = int(def_.grupos.size()) - 1; i >= desde; --i) {
            gruposNombrados_ = i + 1;   // a subtotal on a new page still names its group
            if (!def_.grupos[i].subtotal.isEmpty())
                FilaTotal(SustituyeMarcas(def_.grupos[i].subtotal, TextosCon(primeras_[i])), acumulados_[i + 1]);
        }
        gruposNombrados_ = desde;
    }

    const DefinicionReporte &def_;
    const QMap<QString, QString> &textos_;
    const QStringList campos_;
    DocumentoReporte doc_;
    mutable QHash<QString, Medida> medidas_;
    mutable QHash<QString, QString> ajustados_;
    PaginaReporte pagina_;                  // the page under way
    bool hayPagina_ = false;
    QVector<int> numerados_;                // its elements whose texts carry page numbers
    QStringList anteriores_;                // cells of the row above, for repeated values
    QString estiloAnterior_;
    int indiceEstilo_ = -1;
    QRectF contenido_;
    double limite_ = 0;
    double y_ = 0;
    double inicioDatos_ = 0;   // y of the first row under the captions
    QVector<double> izquierdas_, anchos_;
    QVector<int> indiceColumnas_;
    QVector<QVector<int>> indiceSumas_;
    QVector<int> indiceGrupos_;
    QVector<QVector<double>> acumulados_;   // [0] the grand total, [1 + n] group n
    QVector<QVariantList> primeras_;        // first row of each open group
    int gruposNombrados_ = 0;               // open groups whose heading a new page repeats
    QStringList titulos_;                   // column captions as wrapped
    QVector<int> fuentesTitulo_;
    int renglonesTitulo_ = 1;
    bool abiertos_ = false;
};

} // namespace

DocumentoReporte MaquetaReporte(const DefinicionReporte &def, const QMap<QString, QString> &textos,
                                FuenteFilas &filas, const QString &titulo)
{
    Maquetador m(def, textos, filas.Campos(), titulo);
    QVariantList fila;
    while (filas.Siguiente(fila))
        m.Fila(fila);
    return m.Termina();
}
