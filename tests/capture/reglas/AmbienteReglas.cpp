#include "AmbienteReglas.h"

AmbienteReglas::AmbienteReglas()
{
    prog.AbreBase();
    // Catalog rows the tests rely on, whatever the template holds.
    const char *const filas[] = {
        "INSERT OR REPLACE INTO cSexo VALUES (1, 'HOMBRE'), (2, 'MUJER'), (9, 'NO ESPECIFICADO')",
        "INSERT OR REPLACE INTO cClaveEdad VALUES (0, 'HORAS'), (1, 'DIAS'), (2, 'MESES'), (3, 'AÑOS'), "
        "(9, 'NO ESPECIFICADO')",
        "INSERT OR REPLACE INTO cIntencionalidad VALUES (1, 'ACCIDENTAL'), (2, 'VIOLENCIA FAMILIAR'), "
        "(3, 'VIOLENCIA NO FAMILIAR'), (4, 'AUTOINFLIGIDO'), (11, 'TRATA DE PERSONAS')",
        "INSERT OR REPLACE INTO cParentesco VALUES (4, 'PADRE'), (8, 'DESCONOCIDO')",
        "INSERT OR REPLACE INTO cEstados VALUES ('36', 'ESTADO DE PRUEBA'), ('09', 'OTRO ESTADO')",
        "INSERT OR REPLACE INTO cMunicipios (CodEstado, CodMunicipio, Descripcion) VALUES "
        "('36', '001', 'MUNICIPIO UNO'), ('36', '002', 'MUNICIPIO DOS'), ('09', '002', 'MUNICIPIO AJENO')",
        "INSERT OR REPLACE INTO cLocalidades VALUES ('36', '001', '0001', 'LOCALIDAD UNO'), "
        "('36', '002', '0007', 'LOCALIDAD SIETE')",
        "INSERT OR REPLACE INTO CATCLUES (Clues, DescUnidad, CEDOCVE) VALUES ('ZZSSA000001', 'UNIDAD DE PRUEBA', '36')",
        "INSERT OR REPLACE INTO CATCIE10 (Causa, nombre, Capitulo) VALUES "
        "('S001', 'CONTUSION DEL PARPADO', '19'), ('S008', 'TRAUMATISMO SUPERFICIAL', '19'), "
        "('T009', 'TRAUMATISMOS MULTIPLES', '19'), ('V010', 'PEATON LESIONADO', '20'), "
        "('Y040', 'AGRESION CON FUERZA CORPORAL', '20'), ('Y079', 'OTROS SINDROMES DE MALTRATO', '20'), "
        "('A000', 'COLERA', '01'), ('F100', 'TRASTORNOS POR ALCOHOL', '05')",
    };
    for (const char *sql : filas)
        prog.Ejecuta(QString::fromUtf8(sql));

    reglas = std::make_unique<ReglasCampos>(*prog.ctx, hoja, listas);
    reglas->ExisteRegistro = [this] {
        ++consultasClave;
        if (claveDuplicada)
            hoja.Enfoca(22);
        return claveDuplicada;
    };
    manejador.reglas = reglas.get();
    hoja.AsignaManejador(&manejador);
    AnotaFocos(hoja, focos);

    for (const char *e : {"1   ALCOHOL", "2   DROGAS", "3   MEDICAMENTOS", "4   SE IGNORA", "5   NINGUNO"})
        hoja.AgregaElemento(ListaHoja::AgresorEfectos, QString::fromLatin1(e));
    for (const char *e : {"1   FISICA", "2   SEXUAL", "3   PSICOLOGICA"})
        hoja.AgregaElemento(ListaHoja::TipoViolencia, QString::fromLatin1(e));

    // What AgregarEvento leaves: dependent fields and two lists closed, adding.
    hoja.EnAlta = true;
    for (int c : {33, 34, 39, 40, 41, 54, 57, 58, 59, 63, 64, 65, 66, 67, 68, 72, 73})
        hoja.HabilitaCampo(c, false);
    for (ListaHoja l : {ListaHoja::TipoViolencia, ListaHoja::AgresorEfectos})
        hoja.HabilitaLista(l, false);
}
