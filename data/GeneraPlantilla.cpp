// generaplantilla <data-source-dir> <program-folder>
//
// Builds what the program finds beside its executable:
//   Datos/VELMORAN00.db   the empty template database: schema.sql and every
//                         catalog of catalogos/*.csv (table = file name)
//   RECURSOS/TELMORIX1024.jpg, RECURSOS/TELMORIX800.jpg   background pictures
//   RECURSOS/VELMORAN.png the program's icon
//   Reportes/             the report folder
// Any failure ends with a message on stderr and a non-zero exit code, and
// leaves no template behind.
#include "platform/NombreSql.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>
#include <sqlite3.h>

#include <stdexcept>

namespace {

constexpr int IdAplicacion = 0x564C4D4E; // "VLMN": marks a VELMORAN database
constexpr int VersionEsquema = 1;
const QString NombreConexion = QStringLiteral("plantilla");

struct Fallo : std::runtime_error {
    explicit Fallo(const QString &texto) : std::runtime_error(texto.toStdString()) {}
};

// ---------------------------------------------------------------------------
// CSV (RFC 4180): comma-separated, fields in double quotes may hold commas,
// line breaks and doubled quotes. Each record keeps the line it starts on.
// ---------------------------------------------------------------------------
struct Registro {
    int linea = 0;
    QStringList campos;
};

QList<Registro> LeeCsv(const QString &ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw Fallo(QStringLiteral("%1: no se puede leer (%2)").arg(ruta, f.errorString()));
    QString texto = QString::fromUtf8(f.readAll());
    if (texto.startsWith(QChar(0xFEFF)))
        texto.remove(0, 1);

    QList<Registro> registros;
    Registro actual;
    QString campo;
    bool entreComillas = false;
    bool campoEntrecomillado = false;
    int linea = 1;
    actual.linea = 1;

    auto cierraCampo = [&] {
        actual.campos.append(campo);
        campo.clear();
        campoEntrecomillado = false;
    };
    auto cierraRegistro = [&] {
        cierraCampo();
        // A blank line is no record (the file's last line break included).
        if (!(actual.campos.size() == 1 && actual.campos.first().isEmpty()))
            registros.append(actual);
        actual = Registro();
        actual.linea = linea;
    };

    for (int i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (entreComillas) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < texto.size() && texto.at(i + 1) == QLatin1Char('"')) {
                    campo.append(c);
                    ++i;
                } else {
                    entreComillas = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++linea;
                campo.append(c);
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (!campo.isEmpty() || campoEntrecomillado)
                throw Fallo(QStringLiteral("%1:%2: comilla fuera de lugar").arg(ruta).arg(linea));
            entreComillas = true;
            campoEntrecomillado = true;
        } else if (c == QLatin1Char(',')) {
            cierraCampo();
        } else if (c == QLatin1Char('\r')) {
            // CRLF: the line feed closes the record.
        } else if (c == QLatin1Char('\n')) {
            ++linea;
            cierraRegistro();
        } else {
            if (campoEntrecomillado)
                throw Fallo(QStringLiteral("%1:%2: texto después de la comilla de cierre").arg(ruta).arg(linea));
            campo.append(c);
        }
    }
    if (entreComillas)
        throw Fallo(QStringLiteral("%1:%2: falta la comilla de cierre").arg(ruta).arg(actual.linea));
    cierraRegistro();
    return registros;
}

// ---------------------------------------------------------------------------
// Database.
// ---------------------------------------------------------------------------
QSqlQuery Ejecuta(QSqlDatabase &db, const QString &sql, const QVariantList &valores = {})
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw Fallo(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
    for (const QVariant &v : valores)
        q.addBindValue(v);
    if (!q.exec())
        throw Fallo(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
    return q;
}

sqlite3 *ManejadorDe(QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        throw Fallo(QStringLiteral("el controlador QSQLITE no entrega su conexión SQLite"));
    sqlite3 *h = *static_cast<sqlite3 *const *>(v.constData());
    if (!h)
        throw Fallo(QStringLiteral("la conexión SQLite no está abierta"));
    return h;
}

// The schema is a script of many statements: SQLite runs it whole.
void EjecutaEsquema(QSqlDatabase &db, const QString &rutaEsquema)
{
    QFile f(rutaEsquema);
    if (!f.open(QIODevice::ReadOnly))
        throw Fallo(QStringLiteral("%1: no se puede leer (%2)").arg(rutaEsquema, f.errorString()));
    const QByteArray script = f.readAll();
    char *error = nullptr;
    if (sqlite3_exec(ManejadorDe(db), script.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString texto = QString::fromUtf8(error ? error : "error desconocido");
        sqlite3_free(error);
        throw Fallo(QStringLiteral("%1: %2").arg(rutaEsquema, texto));
    }
}

// The table's columns as the schema spells them, keyed in upper case.
QHash<QString, QString> ColumnasDe(QSqlDatabase &db, const QString &tabla)
{
    QHash<QString, QString> columnas;
    QSqlQuery q = Ejecuta(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"), {tabla});
    while (q.next()) {
        const QString nombre = q.value(0).toString();
        columnas.insert(nombre.toUpper(), nombre);
    }
    return columnas;
}

QString TablaDelEsquema(QSqlDatabase &db, const QString &nombre)
{
    QSqlQuery q = Ejecuta(db,
                          QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                          {nombre});
    return q.next() ? q.value(0).toString() : QString();
}

int CargaCatalogo(QSqlDatabase &db, const QString &rutaCsv)
{
    const QString tabla = TablaDelEsquema(db, QFileInfo(rutaCsv).completeBaseName());
    if (tabla.isEmpty())
        throw Fallo(QStringLiteral("%1: no hay en el esquema una tabla con ese nombre").arg(rutaCsv));

    const QList<Registro> registros = LeeCsv(rutaCsv);
    if (registros.isEmpty())
        throw Fallo(QStringLiteral("%1: falta la línea de nombres de columna").arg(rutaCsv));

    const QHash<QString, QString> columnas = ColumnasDe(db, tabla);
    QStringList nombres;
    for (const QString &c : registros.first().campos) {
        const QString nombre = columnas.value(c.trimmed().toUpper());
        if (nombre.isEmpty())
            throw Fallo(QStringLiteral("%1: la tabla %2 no tiene la columna \"%3\"").arg(rutaCsv, tabla, c));
        if (nombres.contains(nombre))
            throw Fallo(QStringLiteral("%1: la columna %2 está dos veces").arg(rutaCsv, nombre));
        nombres.append(nombre);
    }

    QStringList columnasSql, marcas;
    for (const QString &n : nombres) {
        columnasSql.append(CitaNombre(n));
        marcas.append(QStringLiteral("?"));
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(CitaNombre(tabla), columnasSql.join(QLatin1Char(',')), marcas.join(QLatin1Char(',')));
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw Fallo(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));

    const QVariant nulo(QMetaType::fromType<QString>());
    for (int i = 1; i < registros.size(); ++i) {
        const Registro &r = registros.at(i);
        if (r.campos.size() != nombres.size())
            throw Fallo(QStringLiteral("%1:%2: %3 campos, se esperaban %4")
                            .arg(rutaCsv).arg(r.linea).arg(r.campos.size()).arg(nombres.size()));
        for (int c = 0; c < r.campos.size(); ++c)
            q.bindValue(c, r.campos.at(c).isEmpty() ? nulo : QVariant(r.campos.at(c)));
        if (!q.exec())
            throw Fallo(QStringLiteral("%1:%2: %3").arg(rutaCsv).arg(r.linea).arg(q.lastError().text()));
    }
    return registros.size() - 1;
}

void GeneraBase(const QString &fuente, const QString &destino)
{
    const QString temporal = destino + QStringLiteral(".tmp");
    QFile::remove(temporal);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), NombreConexion);
        db.setDatabaseName(temporal);
        if (!db.open())
            throw Fallo(QStringLiteral("%1: %2").arg(temporal, db.lastError().text()));
        try {
            EjecutaEsquema(db, QDir(fuente).filePath(QStringLiteral("schema.sql")));

            const QDir dirCatalogos(QDir(fuente).filePath(QStringLiteral("catalogos")));
            const QStringList archivos = dirCatalogos.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
            if (archivos.isEmpty())
                throw Fallo(QStringLiteral("%1: no hay catálogos (*.csv)").arg(dirCatalogos.path()));
            if (!db.transaction())
                throw Fallo(db.lastError().text());
            int filas = 0;
            for (const QString &a : archivos)
                filas += CargaCatalogo(db, dirCatalogos.filePath(a));
            if (!db.commit())
                throw Fallo(db.lastError().text());

            Ejecuta(db, QStringLiteral("PRAGMA application_id = %1").arg(IdAplicacion));
            Ejecuta(db, QStringLiteral("PRAGMA user_version = %1").arg(VersionEsquema));
            QSqlQuery revision = Ejecuta(db, QStringLiteral("PRAGMA integrity_check"));
            if (!revision.next() || revision.value(0).toString() != QLatin1String("ok"))
                throw Fallo(QStringLiteral("la plantilla no pasa la revisión de integridad"));
            revision.finish();
            Ejecuta(db, QStringLiteral("VACUUM"));
            QTextStream(stdout) << "generaplantilla: " << archivos.size() << " catálogos, " << filas
                                << " filas en " << destino << Qt::endl;
        } catch (...) {
            db.rollback();
            db.close();
            QFile::remove(temporal);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(NombreConexion);

    if (!QFile::rename(temporal, destino))
        throw Fallo(QStringLiteral("no se pudo renombrar %1 como %2").arg(temporal, destino));
}

// ---------------------------------------------------------------------------
// Background pictures of the main window.
// ---------------------------------------------------------------------------
void PintaFondo(const QString &ruta, const QSize &tamano)
{
    QImage imagen(tamano, QImage::Format_RGB32);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient degradado(0, 0, 0, tamano.height());
    degradado.setColorAt(0.0, QColor(232, 240, 248));
    degradado.setColorAt(0.6, QColor(196, 216, 236));
    degradado.setColorAt(1.0, QColor(160, 190, 222));
    p.fillRect(imagen.rect(), degradado);

    // A soft band behind the title, fading at its edges.
    const int alturaBanda = tamano.height() / 5;
    const QRect banda(0, (tamano.height() - alturaBanda) / 2, tamano.width(), alturaBanda);
    QLinearGradient luz(0, banda.top(), 0, banda.bottom());
    luz.setColorAt(0.0, QColor(255, 255, 255, 0));
    luz.setColorAt(0.5, QColor(255, 255, 255, 110));
    luz.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(banda, luz);

    QFont fuente(QStringLiteral("DejaVu Sans"));
    fuente.setBold(true);
    fuente.setPixelSize(tamano.height() / 11);
    p.setFont(fuente);
    p.setPen(QColor(255, 255, 255, 160));
    p.drawText(banda.translated(2, 2), Qt::AlignCenter, QStringLiteral("Sistema VELMORAN"));
    p.setPen(QColor(30, 60, 100));
    p.drawText(banda, Qt::AlignCenter, QStringLiteral("Sistema VELMORAN"));
    p.end();

    QFile::remove(ruta);
    if (!imagen.save(ruta, "JPG", 90))
        throw Fallo(QStringLiteral("%1: no se pudo guardar la imagen (¿falta el complemento JPEG de Qt?)").arg(ruta));
}

// The program's icon: a white cross on a blue tile, as the health service's
// forms carry it.
void PintaIcono(const QString &ruta)
{
    const int lado = 256;
    QImage imagen(lado, lado, QImage::Format_ARGB32);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient degradado(0, 0, 0, lado);
    degradado.setColorAt(0.0, QColor(58, 110, 180));
    degradado.setColorAt(1.0, QColor(24, 58, 112));
    p.setPen(Qt::NoPen);
    p.setBrush(degradado);
    p.drawRoundedRect(QRectF(8, 8, lado - 16, lado - 16), 40, 40);
    p.setBrush(Qt::white);
    const qreal brazo = lado * 0.2, largo = lado * 0.6, inicio = (lado - largo) / 2, centro = (lado - brazo) / 2;
    p.drawRect(QRectF(centro, inicio, brazo, largo));
    p.drawRect(QRectF(inicio, centro, largo, brazo));
    p.end();
    QFile::remove(ruta);
    if (!imagen.save(ruta, "PNG"))
        throw Fallo(QStringLiteral("%1: no se pudo guardar el icono").arg(ruta));
}

QString CreaCarpeta(const QString &programa, const QString &nombre)
{
    const QString ruta = QDir(programa).filePath(nombre);
    if (!QDir().mkpath(ruta))
        throw Fallo(QStringLiteral("no se pudo crear la carpeta %1").arg(ruta));
    return ruta;
}

} // namespace

int main(int argc, char **argv)
{
    // Pictures are painted without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "uso: generaplantilla <carpeta-de-datos> <carpeta-del-programa>" << Qt::endl;
        return 2;
    }
    const QString fuente = QFileInfo(args.at(1)).absoluteFilePath();
    const QString programa = QFileInfo(args.at(2)).absoluteFilePath();

    try {
        const QString datos = CreaCarpeta(programa, QStringLiteral("Datos"));
        const QString recursos = CreaCarpeta(programa, QStringLiteral("RECURSOS"));
        CreaCarpeta(programa, QStringLiteral("Reportes"));

        const QString plantilla = QDir(datos).filePath(QStringLiteral("VELMORAN00.db"));
        // A failed build must not leave an older template looking current.
        if (QFile::exists(plantilla) && !QFile::remove(plantilla))
            throw Fallo(QStringLiteral("no se pudo borrar la plantilla anterior %1").arg(plantilla));
        GeneraBase(fuente, plantilla);

        PintaFondo(QDir(recursos).filePath(QStringLiteral("TELMORIX1024.jpg")), QSize(1024, 768));
        PintaFondo(QDir(recursos).filePath(QStringLiteral("TELMORIX800.jpg")), QSize(800, 600));
        PintaIcono(QDir(recursos).filePath(QStringLiteral("VELMORAN.png")));
    } catch (const std::exception &e) {
        QTextStream(stderr) << "generaplantilla: " << QString::fromStdString(e.what()) << Qt::endl;
        return 1;
    }
    return 0;
}
