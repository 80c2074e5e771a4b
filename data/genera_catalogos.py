#!/usr/bin/env python3
"""Writes the catalog CSV files of the VELMORAN template database.

The build does not run this script: it reads the CSV files in catalogos/,
which are kept in the repository. Run it after changing the lists below:

    python3 data/genera_catalogos.py

Each file is named after its table; the first line holds the column names.
Texts are upper case without accents (the search boxes of the catalog windows
type upper-case letters and Ñ only). An empty field loads as NULL.
The ICD-10 list lives in cie10.py beside this script.
"""

import csv
import os
import sys

sys.dont_write_bytecode = True  # leave no cache beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cie10  # noqa: E402

DESTINO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "catalogos")

# ---------------------------------------------------------------------------
# Coded answer catalogs: c<Name> with Cod<Name> and Descripcion.
# Codes the capture rules, reports and tools name are marked with a comment.
# ---------------------------------------------------------------------------
CODIFICADOS = {
    "AfectadoAgresor": [(1, "AFECTADO (PACIENTE)"), (2, "AGRESOR")],
    "Agente": [
        (1, "ARMA DE FUEGO"),
        (2, "OBJETO PUNZOCORTANTE"),
        (3, "OBJETO CONTUNDENTE"),
        (4, "GOLPE CONTRA PISO O PARED"),
        (5, "GOLPE CON PARTES DEL CUERPO"),
        (6, "SUSTANCIA CALIENTE O VAPOR"),
        (7, "FUEGO O FLAMA"),
        (8, "ELECTRICIDAD"),
        (9, "EXPLOSION"),
        (10, "AHORCAMIENTO O ESTRANGULAMIENTO"),
        (11, "SUMERSION"),
        (12, "ASFIXIA POR OBJETO O ALIMENTO"),
        (13, "SUSTANCIA QUIMICA O TOXICA"),
        (14, "DROGA O MEDICAMENTO"),
        (15, "MORDEDURA DE PERRO"),
        (16, "MORDEDURA O PICADURA DE OTRO ANIMAL"),
        (17, "PICADURA DE ALACRAN"),
        (18, "FUERZAS DE LA NATURALEZA"),
        (19, "MAQUINARIA O HERRAMIENTA"),
        (20, "VEHICULO DE MOTOR"),  # opens the vehicle questions
        (21, "VEHICULO SIN MOTOR"),
        (22, "CAIDA"),
        (23, "PROYECTIL DISTINTO DE ARMA DE FUEGO"),
        (24, "OTRO AGENTE"),
        (99, "SE IGNORA"),
    ],
    "Agresor": [(1, "UNICO"), (2, "MAS DE UNO"), (9, "NO ESPECIFICADO")],
    "Area": [
        (1, "CABEZA"),
        (2, "CARA"),
        (3, "OJO"),
        (4, "CUELLO"),
        (5, "COLUMNA VERTEBRAL"),
        (6, "TORAX"),
        (7, "ABDOMEN"),
        (8, "ESPALDA Y/O GLUTEOS"),
        (9, "PELVIS"),
        (10, "REGION GENITAL"),
        (11, "HOMBRO Y BRAZO"),
        (12, "CODO Y ANTEBRAZO"),
        (13, "MUÑECA Y MANO"),
        (14, "CADERA Y MUSLO"),
        (15, "RODILLA Y PIERNA"),
        (16, "TOBILLO Y PIE"),
        (17, "ORGANOS INTERNOS"),
        (18, "AREAS MULTIPLES"),
        (19, "OTRA AREA"),
        (99, "SE IGNORA"),
    ],
    "ClaveEdad": [(0, "HORAS"), (1, "DIAS"), (2, "MESES"), (3, "AÑOS"), (9, "NO ESPECIFICADO")],
    "Consecuencia": [
        (1, "LACERACION O ABRASION"),
        (2, "HERIDA"),
        (3, "FRACTURA"),
        (4, "LUXACION O ESGUINCE"),
        (5, "AMPUTACION O AVULSION"),
        (6, "CONTUSION O HEMATOMA"),
        (7, "ABORTO"),  # women of 9 to 54 years only
        (8, "ASFIXIA"),
        (9, "QUEMADURA"),
        (10, "INTOXICACION O ENVENENAMIENTO"),
        (11, "EMBARAZO"),  # women of 9 to 54 years only
        (12, "TRAUMATISMO CRANEOENCEFALICO"),
        (13, "TRAUMA OCULAR"),
        (14, "LESION DE ORGANOS INTERNOS"),
        (15, "INFECCION DE TRANSMISION SEXUAL"),
        (16, "AFECTACION PSICOLOGICA"),
        (17, "MORDEDURA O PICADURA"),
        (18, "LESIONES MULTIPLES"),
        (19, "DEFUNCION"),  # locks the destination at 5
        (20, "OTRA CONSECUENCIA"),
        (99, "SE IGNORA"),
    ],
    # Text codes. 8 and G open the affiliation fields; 8, G, 9 and 0 stand alone.
    "Derechohabiencia": [
        ("0", "NINGUNA"),
        ("1", "SERVICIO MEDICO PARA TRABAJADORES DEL ESTADO"),
        ("2", "SERVICIO MEDICO DE LA INDUSTRIA PETROLERA"),
        ("3", "SERVICIO MEDICO DE LAS FUERZAS ARMADAS"),
        ("4", "SERVICIO MEDICO DE LA MARINA"),
        ("5", "SERVICIO MEDICO ESTATAL"),
        ("6", "SEGURO PRIVADO"),
        ("7", "OTRA"),
        ("8", "QUIRVAL"),
        ("9", "SE IGNORA"),
        ("G", "BRESTAL"),
    ],
    # 1 to 11, counted in the destination columns of the care-type report.
    "Destino": [
        (1, "DOMICILIO"),
        (2, "TRASLADO A OTRA UNIDAD MEDICA"),
        (3, "SERVICIO ESPECIALIZADO DE ATENCION A LA VIOLENCIA"),
        (4, "CONSULTA EXTERNA"),
        (5, "DEFUNCION"),
        (6, "REFUGIO O ALBERGUE"),
        (7, "DIF"),
        (8, "HOSPITALIZACION"),
        (9, "MINISTERIO PUBLICO"),
        (10, "GRUPO DE AYUDA MUTUA"),
        (11, "OTRO DESTINO"),
    ],
    "Discapacidad": [(1, "SI"), (2, "NO"), (9, "SE IGNORA")],
    # 4 and 5 stand alone in a list; not-single aggressors get the fourth item.
    "Efectos": [
        (1, "ALCOHOL"),
        (2, "DROGAS POR INDICACION MEDICA"),
        (3, "DROGAS ILEGALES"),
        (4, "SE IGNORA"),
        (5, "NINGUNO"),
    ],
    "Embarazada": [(1, "SI"), (2, "NO"), (9, "SE IGNORA")],
    # 3 only for occupants of up to 12 years.
    "Equipo": [
        (1, "CINTURON DE SEGURIDAD"),
        (2, "CASCO"),
        (3, "SILLA PORTA INFANTE"),
        (4, "OTRO EQUIPO"),
        (9, "SE IGNORA"),
    ],
    # Children under 6 get 6; from 6 to 11 years, and whoever does not read,
    # only 1, 5, 6 and 9.
    "Escolaridad": [
        (1, "NINGUNA"),
        (2, "SECUNDARIA"),
        (3, "BACHILLERATO O PREPARATORIA"),
        (4, "PROFESIONAL"),
        (5, "PRIMARIA"),
        (6, "NO APLICA (MENOR DE 6 AÑOS)"),
        (9, "SE IGNORA"),
    ],
    "Festivo": [(1, "SI"), (2, "NO")],
    "Intencionalidad": [
        (1, "ACCIDENTAL"),
        (2, "VIOLENCIA FAMILIAR"),
        (3, "VIOLENCIA NO FAMILIAR"),
        (4, "AUTOINFLIGIDO"),
        (5, "SE IGNORA"),
        (11, "TRATA DE PERSONAS"),
    ],
    "LeeEscribe": [(1, "SI"), (2, "NO"), (9, "SE IGNORA")],
    "LesionadoVehiculo": [(1, "CONDUCTOR"), (2, "OCUPANTE"), (3, "PEATON"), (9, "SE IGNORA")],
    "MP": [(1, "SI"), (2, "NO")],
    # 1 and 5 male relatives, 2 and 6 female ones; 7 and 8 for non-family violence.
    "Parentesco": [
        (1, "PADRE"),
        (2, "MADRE"),
        (3, "PADRASTRO O MADRASTRA"),
        (4, "OTRO PARIENTE"),
        (5, "ESPOSO, CONCUBINO O NOVIO"),
        (6, "ESPOSA, CONCUBINA O NOVIA"),
        (7, "CONOCIDO SIN PARENTESCO"),
        (8, "DESCONOCIDO"),
        (9, "SE IGNORA"),
    ],
    "Prehospitalaria": [(1, "SI"), (2, "NO")],
    "Referido": [
        (1, "INICIATIVA PROPIA"),
        (2, "UNIDAD MEDICA"),
        (3, "MINISTERIO PUBLICO"),  # trafficking
        (4, "INSTITUCION EDUCATIVA"),
        (5, "DESARROLLO SOCIAL (DIF)"),
        (6, "ORGANIZACION DE LA SOCIEDAD CIVIL"),
        (7, "OTRO"),
        (9, "SE IGNORA"),
    ],
    "Responsable": [(1, "MEDICO TRATANTE"), (2, "MEDICO PASANTE"), (3, "PSICOLOGO"), (9, "OTRO")],
    "Servicio": [
        (1, "CONSULTA EXTERNA"),
        (2, "HOSPITALIZACION"),
        (3, "URGENCIAS"),  # asks the time in the emergency room
        (4, "SERVICIO ESPECIALIZADO DE ATENCION A LA VIOLENCIA"),
        (5, "OTRO SERVICIO"),
        (9, "NO ESPECIFICADO"),
    ],
    "Sexo": [(1, "HOMBRE"), (2, "MUJER"), (9, "NO ESPECIFICADO")],
    "Sitio": [
        (1, "VIVIENDA"),
        (2, "ESCUELA"),
        (3, "AREA DEPORTIVA"),
        (4, "VIA PUBLICA"),
        (5, "COMERCIO Y AREAS DE SERVICIO"),
        (6, "TRABAJO"),
        (7, "GRANJA"),
        (8, "CLUB, CANTINA O BAR"),
        (9, "INSTITUCION RESIDENCIAL"),
        (10, "VEHICULO AUTOMOTOR PUBLICO"),
        (11, "VEHICULO AUTOMOTOR PRIVADO"),
        (12, "OTRO LUGAR"),
        (99, "SE IGNORA"),
    ],
    # 3 surgical; 7 and up only when sexual violence (the second violence type) is ticked.
    "TipoAtencion": [
        (1, "MEDICA"),
        (2, "PSICOLOGICA"),
        (3, "QUIRURGICA"),
        (4, "PSIQUIATRICA"),
        (5, "CONSEJERIA"),
        (6, "OTRA ATENCION"),
        (7, "PILDORA ANTICONCEPTIVA DE EMERGENCIA"),
        (8, "PROFILAXIS VIH"),
        (9, "PROFILAXIS OTRAS ITS"),
    ],
    "TipoUnidad": [
        (1, "CONSULTA EXTERNA"),
        (2, "HOSPITALIZACION"),
        (3, "ASISTENCIA SOCIAL"),
        (4, "APOYO"),
    ],
    # The second item (7, sexual) opens every care type; 8 is psychological.
    "TipoViolencia": [
        (6, "FISICA"),
        (7, "SEXUAL"),
        (8, "PSICOLOGICA"),
        (9, "ECONOMICA O PATRIMONIAL"),
        (10, "ABANDONO Y/O NEGLIGENCIA"),
    ],
    "UsoSeguridad": [(1, "SI"), (2, "NO"), (3, "NO APLICA"), (9, "SE IGNORA")],
    "Vez": [(1, "UNICA VEZ"), (2, "REPETIDO"), (9, "NO ESPECIFICADO")],
}

# ---------------------------------------------------------------------------
# Geography.
# ---------------------------------------------------------------------------
ESTADOS = [
    ("01", "AGUASCALIENTES"), ("02", "BAJA CALIFORNIA"), ("03", "BAJA CALIFORNIA SUR"),
    ("04", "CAMPECHE"), ("05", "COAHUILA DE ZARAGOZA"), ("06", "COLIMA"), ("07", "CHIAPAS"),
    ("08", "CHIHUAHUA"), ("09", "CIUDAD DE MEXICO"), ("10", "DURANGO"), ("11", "GUANAJUATO"),
    ("12", "GUERRERO"), ("13", "HIDALGO"), ("14", "JALISCO"), ("15", "MEXICO"),
    ("16", "MICHOACAN DE OCAMPO"), ("17", "MORELOS"), ("18", "NAYARIT"), ("19", "NUEVO LEON"),
    ("20", "OAXACA"), ("21", "PUEBLA"), ("22", "QUERETARO"), ("23", "QUINTANA ROO"),
    ("24", "SAN LUIS POTOSI"), ("25", "SINALOA"), ("26", "SONORA"), ("27", "TABASCO"),
    ("28", "TAMAULIPAS"), ("29", "TLAXCALA"), ("30", "VERACRUZ DE IGNACIO DE LA LLAVE"),
    ("31", "YUCATAN"), ("32", "ZACATECAS"),
    ("33", "ESTADOS UNIDOS DE AMERICA"), ("34", "OTROS PAISES DE LATINOAMERICA"),
    ("35", "OTROS PAISES"),
    ("36", "ESTADOS UNIDOS MEXICANOS"),  # the start parameters' default state
    ("99", "SE IGNORA"),  # a working state of 99 lists the units of every state
]

JURISDICCIONES = {
    "09": [
        ("01", "AZCAPOTZALCO"), ("02", "COYOACAN"), ("03", "CUAJIMALPA DE MORELOS"),
        ("04", "GUSTAVO A. MADERO"), ("05", "IZTACALCO"), ("06", "IZTAPALAPA"),
        ("07", "LA MAGDALENA CONTRERAS"), ("08", "MILPA ALTA"), ("09", "ALVARO OBREGON"),
        ("10", "TLAHUAC"), ("11", "TLALPAN"), ("12", "XOCHIMILCO"), ("13", "BENITO JUAREZ"),
        ("14", "CUAUHTEMOC"), ("15", "MIGUEL HIDALGO"), ("16", "VENUSTIANO CARRANZA"),
    ],
    "15": [
        ("01", "TOLUCA"), ("02", "NAUCALPAN"), ("03", "TLALNEPANTLA"), ("04", "ECATEPEC"),
        ("05", "NEZAHUALCOYOTL"), ("06", "CUAUTITLAN IZCALLI"), ("07", "AMECAMECA"),
        ("08", "TEXCOCO"),
    ],
    "17": [("01", "CUERNAVACA"), ("02", "JOJUTLA"), ("03", "CUAUTLA")],
}

# State: [(municipality, name, jurisdiction, [(locality, name), ...]), ...]
MUNICIPIOS = {
    "09": [
        ("002", "AZCAPOTZALCO", "01", [("0001", "AZCAPOTZALCO")]),
        ("003", "COYOACAN", "02", [("0001", "COYOACAN")]),
        ("004", "CUAJIMALPA DE MORELOS", "03", [
            ("0001", "CUAJIMALPA DE MORELOS"), ("0007", "SAN LORENZO ACOPILCO"),
            ("0010", "SAN PABLO CHIMALPA")]),
        ("005", "GUSTAVO A. MADERO", "04", [("0001", "GUSTAVO A. MADERO")]),
        ("006", "IZTACALCO", "05", [("0001", "IZTACALCO")]),
        ("007", "IZTAPALAPA", "06", [("0001", "IZTAPALAPA")]),
        ("008", "LA MAGDALENA CONTRERAS", "07", [
            ("0001", "LA MAGDALENA CONTRERAS"), ("0010", "SAN BERNABE OCOTEPEC")]),
        ("009", "MILPA ALTA", "08", [
            ("0001", "VILLA MILPA ALTA"), ("0011", "SAN PEDRO ATOCPAN"),
            ("0012", "SAN PABLO OZTOTEPEC"), ("0014", "SAN ANTONIO TECOMITL")]),
        ("010", "ALVARO OBREGON", "09", [("0001", "ALVARO OBREGON")]),
        ("011", "TLAHUAC", "10", [
            ("0001", "TLAHUAC"), ("0009", "SAN ANDRES MIXQUIC"), ("0010", "SAN JUAN IXTAYOPAN")]),
        ("012", "TLALPAN", "11", [
            ("0001", "TLALPAN"), ("0020", "SAN MIGUEL AJUSCO"), ("0025", "PARRES EL GUARDA"),
            ("0031", "SANTO TOMAS AJUSCO")]),
        ("013", "XOCHIMILCO", "12", [
            ("0001", "XOCHIMILCO"), ("0015", "SAN GREGORIO ATLAPULCO"),
            ("0018", "SANTA CECILIA TEPETLAPA")]),
        ("014", "BENITO JUAREZ", "13", [("0001", "BENITO JUAREZ")]),
        ("015", "CUAUHTEMOC", "14", [("0001", "CUAUHTEMOC")]),
        ("016", "MIGUEL HIDALGO", "15", [("0001", "MIGUEL HIDALGO")]),
        ("017", "VENUSTIANO CARRANZA", "16", [("0001", "VENUSTIANO CARRANZA")]),
    ],
    "15": [
        ("002", "ACOLMAN", "08", [
            ("0001", "ACOLMAN DE NEZAHUALCOYOTL"), ("0014", "SANTA CATARINA"),
            ("0020", "SAN BARTOLO")]),
        ("013", "ATIZAPAN DE ZARAGOZA", "03", [
            ("0001", "CIUDAD LOPEZ MATEOS"), ("0012", "CALACOAYA")]),
        ("020", "COACALCO DE BERRIOZABAL", "04", [("0001", "SAN FRANCISCO COACALCO")]),
        ("024", "CUAUTITLAN", "06", [
            ("0001", "CUAUTITLAN"), ("0008", "SANTA MARIA HUECATITLA")]),
        ("025", "CHALCO", "07", [
            ("0001", "CHALCO DE DIAZ COVARRUBIAS"), ("0012", "SAN MARTIN CUAUTLALPAN"),
            ("0018", "SAN MATEO HUITZILZINGO")]),
        ("031", "CHIMALHUACAN", "05", [
            ("0001", "CHIMALHUACAN"), ("0010", "SAN AGUSTIN ATLAPULCO")]),
        ("033", "ECATEPEC DE MORELOS", "04", [
            ("0001", "ECATEPEC DE MORELOS"), ("0010", "SANTA MARIA CHICONAUTLA"),
            ("0012", "GUADALUPE VICTORIA"), ("0016", "SANTO TOMAS CHICONAUTLA")]),
        ("037", "HUIXQUILUCAN", "02", [
            ("0001", "HUIXQUILUCAN DE DEGOLLADO"), ("0021", "MAGDALENA CHICHICASPA")]),
        ("039", "IXTAPALUCA", "07", [
            ("0001", "IXTAPALUCA"), ("0016", "COATEPEC"), ("0022", "SAN FRANCISCO ACUAUTLA")]),
        ("051", "LERMA", "01", [
            ("0001", "LERMA DE VILLADA"), ("0017", "SAN PEDRO TULTEPEC")]),
        ("054", "METEPEC", "01", [
            ("0001", "METEPEC"), ("0009", "SAN GASPAR TLAHUELILPAN")]),
        ("057", "NAUCALPAN DE JUAREZ", "02", [
            ("0001", "NAUCALPAN DE JUAREZ"), ("0027", "SAN FRANCISCO CHIMALPA"),
            ("0035", "SAN JOSE TEJAMANIL")]),
        ("058", "NEZAHUALCOYOTL", "05", [("0001", "CIUDAD NEZAHUALCOYOTL")]),
        ("060", "NICOLAS ROMERO", "03", [
            ("0001", "VILLA NICOLAS ROMERO"), ("0028", "TRANSFIGURACION")]),
        ("070", "LA PAZ", "05", [
            ("0001", "LOS REYES ACAQUILPAN"), ("0011", "SAN SEBASTIAN CHIMALPA")]),
        ("099", "TEXCOCO", "08", [
            ("0001", "TEXCOCO DE MORA"), ("0025", "SAN MIGUEL COATLINCHAN"),
            ("0031", "SAN DIEGO")]),
        ("104", "TLALNEPANTLA DE BAZ", "03", [
            ("0001", "TLALNEPANTLA"), ("0013", "SAN JUAN IXHUATEPEC")]),
        ("106", "TOLUCA", "01", [
            ("0001", "TOLUCA DE LERDO"), ("0027", "SAN PABLO AUTOPAN"),
            ("0030", "SAN ANDRES CUEXCONTITLAN"), ("0045", "CACALOMACAN")]),
        ("109", "TULTITLAN", "06", [
            ("0001", "TULTITLAN DE MARIANO ESCOBEDO"), ("0015", "SAN PABLO DE LAS SALINAS")]),
        ("118", "ZINACANTEPEC", "01", [
            ("0001", "SAN MIGUEL ZINACANTEPEC"), ("0020", "SAN JUAN DE LAS HUERTAS")]),
        ("121", "CUAUTITLAN IZCALLI", "06", [
            ("0001", "CUAUTITLAN IZCALLI"), ("0017", "SAN MATEO IXTACALCO")]),
        ("122", "VALLE DE CHALCO SOLIDARIDAD", "07", [("0001", "XICO")]),
    ],
    "17": [
        ("004", "AYALA", "03", [("0001", "CIUDAD AYALA"), ("0012", "TENEXTEPANGO")]),
        ("006", "CUAUTLA", "03", [("0001", "CUAUTLA"), ("0009", "TETELCINGO")]),
        ("007", "CUERNAVACA", "01", [("0001", "CUERNAVACA"), ("0017", "SANTA MARIA AHUACATITLAN")]),
        ("008", "EMILIANO ZAPATA", "01", [("0001", "EMILIANO ZAPATA"), ("0010", "TEZOYUCA")]),
        ("011", "JIUTEPEC", "01", [("0001", "JIUTEPEC"), ("0021", "TEJALPA")]),
        ("012", "JOJUTLA", "02", [("0001", "JOJUTLA"), ("0008", "TEHUIXTLA")]),
        ("017", "PUENTE DE IXTLA", "02", [("0001", "PUENTE DE IXTLA"), ("0011", "XOXOCOTLA")]),
        ("018", "TEMIXCO", "01", [("0001", "TEMIXCO"), ("0016", "PUEBLO VIEJO")]),
        ("020", "TEPOZTLAN", "01", [("0001", "TEPOZTLAN"), ("0013", "SANTA CATARINA")]),
        ("028", "XOCHITEPEC", "02", [("0001", "XOCHITEPEC"), ("0010", "ALPUYECA")]),
        ("029", "YAUTEPEC", "03", [("0001", "YAUTEPEC DE ZARAGOZA"), ("0020", "OACALCO")]),
        ("031", "ZACATEPEC", "02", [("0001", "ZACATEPEC"), ("0005", "GALEANA")]),
    ],
}

# ---------------------------------------------------------------------------
# Health units. CLUES: state letters, institution letters, six digits.
# Units of institutions other than the health ministry lie outside the
# jurisdictions (CJURCVE "99").
# ---------------------------------------------------------------------------
INSTITUCIONES = [
    ("1", "SECRETARIA DE SALUD"),
    ("2", "QUIRVAL"),
    ("3", "SERVICIO MEDICO PARA TRABAJADORES DEL ESTADO"),
    ("4", "SISTEMA NACIONAL PARA EL DESARROLLO INTEGRAL DE LA FAMILIA"),
    ("5", "SERVICIOS MEDICOS PRIVADOS"),
]
INSTITUCION_DE = {"SSA": "1", "QRV": "2", "STE": "3", "DIF": "4", "SMP": "5"}

TIPOS_UNIDAD = [
    ("A", "ASISTENCIA SOCIAL"),
    ("C", "CONSULTA EXTERNA"),
    ("H", "HOSPITALIZACION"),
    ("P", "APOYO"),
]

PREFIJO_ESTADO = {"09": "DF", "15": "MC", "17": "MS"}

# (state, institution, number, name, municipality, locality, unit type, postal code, address)
UNIDADES = [
    ("09", "SSA", 12, "HOSPITAL GENERAL IZTAPALAPA", "007", "0001", "H", "09310", "ERMITA IZTAPALAPA NO. 3018, COL. SAN LORENZO TEZONCO"),
    ("09", "SSA", 24, "HOSPITAL GENERAL BALBUENA", "017", "0001", "H", "15970", "SUR 103 NO. 1300, COL. AERONAUTICA MILITAR"),
    ("09", "SSA", 36, "HOSPITAL PEDIATRICO COYOACAN", "003", "0001", "H", "04000", "MORELOS NO. 43, COL. DEL CARMEN"),
    ("09", "SSA", 41, "CENTRO DE SALUD T-III AZCAPOTZALCO", "002", "0001", "C", "02000", "AV. AZCAPOTZALCO NO. 612, COL. CENTRO"),
    ("09", "SSA", 53, "CENTRO DE SALUD T-II SAN PEDRO ATOCPAN", "009", "0011", "C", "12200", "AV. NACIONAL S/N, BARRIO PANCHIMALCO"),
    ("09", "SSA", 65, "CENTRO DE SALUD T-I SAN ANDRES MIXQUIC", "011", "0009", "C", "13630", "INDEPENDENCIA S/N, BARRIO SAN MIGUEL"),
    ("09", "SSA", 70, "HOSPITAL GENERAL TICOMAN", "005", "0001", "H", "07330", "PLAN DE SAN LUIS S/N, COL. TICOMAN"),
    ("09", "SSA", 82, "CENTRO DE SALUD T-III TLALPAN", "012", "0001", "C", "14000", "CALVARIO NO. 54, COL. TLALPAN CENTRO"),
    ("09", "SSA", 94, "CENTRO DE SALUD T-I SAN MIGUEL AJUSCO", "012", "0020", "C", "14700", "CAMINO REAL AL AJUSCO S/N"),
    ("09", "SSA", 106, "HOSPITAL MATERNO INFANTIL XOCHIMILCO", "013", "0001", "H", "16000", "PROLONGACION 16 DE SEPTIEMBRE NO. 101"),
    ("09", "SSA", 111, "CENTRO DE SALUD T-III CUAUHTEMOC", "015", "0001", "C", "06700", "JALAPA NO. 112, COL. ROMA"),
    ("09", "SSA", 123, "HOSPITAL GENERAL MIGUEL HIDALGO", "016", "0001", "H", "11340", "PLAN DE SAN LUIS Y DIAZ MIRON S/N"),
    ("09", "SSA", 135, "CENTRO DE SALUD T-II IZTACALCO", "006", "0001", "C", "08000", "AV. TE NO. 950, COL. GRANJAS MEXICO"),
    ("09", "SSA", 140, "CENTRO DE SALUD T-III ALVARO OBREGON", "010", "0001", "C", "01000", "CALLE 10 NO. 245, COL. SAN PEDRO DE LOS PINOS"),
    ("09", "SSA", 152, "CENTRO DE SALUD T-I SAN LORENZO ACOPILCO", "004", "0007", "C", "05410", "CAMINO A SAN LORENZO S/N"),
    ("09", "QRV", 15, "HOSPITAL GENERAL DE ZONA QUIRVAL 1-A", "014", "0001", "H", "03100", "MUNICIPIO LIBRE NO. 270, COL. PORTALES"),
    ("09", "QRV", 27, "UNIDAD DE MEDICINA FAMILIAR QUIRVAL 28", "003", "0001", "C", "04330", "AV. MIGUEL ANGEL DE QUEVEDO NO. 350"),
    ("09", "STE", 10, "HOSPITAL REGIONAL DE TRABAJADORES DEL ESTADO", "014", "0001", "H", "03229", "AV. FELIX CUEVAS NO. 540, COL. DEL VALLE"),
    ("09", "SMP", 18, "CLINICA PRIVADA SANTA FE", "004", "0001", "H", "05348", "AV. VASCO DE QUIROGA NO. 4001"),
    ("15", "SSA", 16, "HOSPITAL GENERAL DE ECATEPEC", "033", "0001", "H", "55000", "AV. CENTRAL S/N, COL. CENTRO"),
    ("15", "SSA", 21, "CENTRO DE SALUD SANTA MARIA CHICONAUTLA", "033", "0010", "C", "55066", "AV. MORELOS S/N, SANTA MARIA CHICONAUTLA"),
    ("15", "SSA", 33, "HOSPITAL GENERAL NEZAHUALCOYOTL", "058", "0001", "H", "57000", "AV. CHIMALHUACAN S/N, COL. BENITO JUAREZ"),
    ("15", "SSA", 45, "CENTRO DE SALUD CHIMALHUACAN", "031", "0001", "C", "56330", "CALLE ZARAGOZA NO. 12, BARRIO SAN PABLO"),
    ("15", "SSA", 50, "HOSPITAL GENERAL DE NAUCALPAN", "057", "0001", "H", "53000", "AV. 16 DE SEPTIEMBRE NO. 25"),
    ("15", "SSA", 62, "CENTRO DE SALUD SAN FRANCISCO CHIMALPA", "057", "0027", "C", "53660", "CALLE HIDALGO S/N, SAN FRANCISCO CHIMALPA"),
    ("15", "SSA", 74, "HOSPITAL GENERAL TLALNEPANTLA", "104", "0001", "H", "54000", "AV. TOLUCA NO. 101, COL. CENTRO"),
    ("15", "SSA", 86, "CENTRO DE SALUD ATIZAPAN", "013", "0001", "C", "52900", "AV. ADOLFO LOPEZ MATEOS S/N"),
    ("15", "SSA", 91, "HOSPITAL GENERAL DE TOLUCA", "106", "0001", "H", "50000", "PASEO TOLLOCAN S/N, COL. UNIVERSIDAD"),
    ("15", "SSA", 103, "CENTRO DE SALUD SAN PABLO AUTOPAN", "106", "0027", "C", "50290", "AV. DEL PANTEON S/N, SAN PABLO AUTOPAN"),
    ("15", "SSA", 115, "CENTRO DE SALUD METEPEC", "054", "0001", "C", "52140", "AV. ESTADO DE MEXICO NO. 300"),
    ("15", "SSA", 120, "HOSPITAL GENERAL CUAUTITLAN", "024", "0001", "H", "54800", "AV. 1 DE MAYO S/N, COL. CENTRO"),
    ("15", "SSA", 132, "CENTRO DE SALUD CUAUTITLAN IZCALLI", "121", "0001", "C", "54700", "AV. DEL VIDRIO S/N, COL. CENTRO URBANO"),
    ("15", "SSA", 144, "HOSPITAL GENERAL DE CHALCO", "025", "0001", "H", "56600", "CARRETERA FEDERAL MEXICO-CUAUTLA KM 30"),
    ("15", "SSA", 156, "CENTRO DE SALUD VALLE DE CHALCO", "122", "0001", "C", "56610", "AV. ALFREDO DEL MAZO S/N, COL. XICO"),
    ("15", "SSA", 161, "CENTRO DE SALUD IXTAPALUCA", "039", "0001", "C", "56530", "CALLE JUAREZ NO. 8, COL. CENTRO"),
    ("15", "SSA", 173, "HOSPITAL GENERAL DE TEXCOCO", "099", "0001", "H", "56100", "AV. JUAREZ SUR NO. 400"),
    ("15", "SSA", 185, "CENTRO DE SALUD LOS REYES LA PAZ", "070", "0001", "C", "56400", "CALLE CUAUHTEMOC S/N, COL. CENTRO"),
    ("15", "DIF", 12, "UNIDAD DE REHABILITACION DIF TOLUCA", "106", "0001", "A", "50010", "AV. INDEPENDENCIA NO. 200"),
    ("15", "QRV", 11, "HOSPITAL GENERAL REGIONAL QUIRVAL 72", "104", "0001", "H", "54030", "FILIBERTO GOMEZ S/N, COL. INDUSTRIAL"),
    ("15", "QRV", 23, "UNIDAD DE MEDICINA FAMILIAR QUIRVAL 93", "033", "0001", "C", "55010", "AV. REVOLUCION S/N"),
    ("15", "STE", 14, "CLINICA DE TRABAJADORES DEL ESTADO TOLUCA", "106", "0001", "C", "50070", "AV. HIDALGO PONIENTE NO. 815"),
    ("17", "SSA", 11, "HOSPITAL GENERAL DE CUERNAVACA", "007", "0001", "H", "62000", "AV. DOMINGO DIEZ NO. 1400"),
    ("17", "SSA", 23, "CENTRO DE SALUD JIUTEPEC", "011", "0001", "C", "62550", "CALLE LAS FUENTES S/N"),
    ("17", "SSA", 35, "CENTRO DE SALUD TEMIXCO", "018", "0001", "C", "62580", "AV. EMILIANO ZAPATA NO. 10"),
    ("17", "SSA", 40, "HOSPITAL GENERAL DE JOJUTLA", "012", "0001", "H", "62900", "AV. UNIVERSIDAD S/N"),
    ("17", "SSA", 52, "HOSPITAL GENERAL DE CUAUTLA", "006", "0001", "H", "62740", "AV. REFORMA NO. 1200"),
    ("17", "SSA", 64, "CENTRO DE SALUD YAUTEPEC", "029", "0001", "C", "62730", "CALLE GALEANA NO. 5"),
    ("17", "QRV", 17, "HOSPITAL GENERAL DE ZONA QUIRVAL CUERNAVACA", "007", "0001", "H", "62450", "BOULEVARD BENITO JUAREZ NO. 9"),
]

CAPITULOS = [
    ("01", "CIERTAS ENFERMEDADES INFECCIOSAS Y PARASITARIAS"),
    ("02", "TUMORES (NEOPLASIAS)"),
    ("03", "ENFERMEDADES DE LA SANGRE Y DE LOS ORGANOS HEMATOPOYETICOS, Y CIERTOS TRASTORNOS QUE AFECTAN EL MECANISMO DE LA INMUNIDAD"),
    ("04", "ENFERMEDADES ENDOCRINAS, NUTRICIONALES Y METABOLICAS"),
    ("05", "TRASTORNOS MENTALES Y DEL COMPORTAMIENTO"),
    ("06", "ENFERMEDADES DEL SISTEMA NERVIOSO"),
    ("07", "ENFERMEDADES DEL OJO Y SUS ANEXOS"),
    ("08", "ENFERMEDADES DEL OIDO Y DE LA APOFISIS MASTOIDES"),
    ("09", "ENFERMEDADES DEL SISTEMA CIRCULATORIO"),
    ("10", "ENFERMEDADES DEL SISTEMA RESPIRATORIO"),
    ("11", "ENFERMEDADES DEL SISTEMA DIGESTIVO"),
    ("12", "ENFERMEDADES DE LA PIEL Y DEL TEJIDO SUBCUTANEO"),
    ("13", "ENFERMEDADES DEL SISTEMA OSTEOMUSCULAR Y DEL TEJIDO CONJUNTIVO"),
    ("14", "ENFERMEDADES DEL SISTEMA GENITOURINARIO"),
    ("15", "EMBARAZO, PARTO Y PUERPERIO"),
    ("16", "CIERTAS AFECCIONES ORIGINADAS EN EL PERIODO PERINATAL"),
    ("17", "MALFORMACIONES CONGENITAS, DEFORMIDADES Y ANOMALIAS CROMOSOMICAS"),
    ("18", "SINTOMAS, SIGNOS Y HALLAZGOS ANORMALES CLINICOS Y DE LABORATORIO, NO CLASIFICADOS EN OTRA PARTE"),
    ("19", "TRAUMATISMOS, ENVENENAMIENTOS Y ALGUNAS OTRAS CONSECUENCIAS DE CAUSAS EXTERNAS"),
    ("20", "CAUSAS EXTERNAS DE MORBILIDAD Y DE MORTALIDAD"),
    ("21", "FACTORES QUE INFLUYEN EN EL ESTADO DE SALUD Y CONTACTO CON LOS SERVICIOS DE SALUD"),
    ("22", "CODIGOS PARA PROPOSITOS ESPECIALES"),
]


def escribe(tabla, columnas, filas):
    ruta = os.path.join(DESTINO, tabla + ".csv")
    with open(ruta, "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(columnas)
        for fila in filas:
            w.writerow(["" if v is None else v for v in fila])
    return len(filas)


def digito_verificador(clues):
    # Two digits that change with every character of the code.
    total = sum((i + 1) * ord(c) for i, c in enumerate(clues))
    return "%02d" % (total % 97)


def unidades():
    jur_de = {}
    for edo, mpos in MUNICIPIOS.items():
        for mpo, _, jur, locs in mpos:
            jur_de[(edo, mpo)] = jur
    filas = []
    for edo, ins, num, nombre, mpo, loc, tun, cp, dom in UNIDADES:
        clues = "%s%s%06d" % (PREFIJO_ESTADO[edo], ins, num)
        assert len(clues) == 11, clues
        jur = jur_de[(edo, mpo)] if ins == "SSA" else "99"
        complejidad = "002" if tun == "H" else "001"
        estancia = "S" if tun == "H" else "N"
        filas.append((clues, nombre, edo, jur, mpo, loc, digito_verificador(clues),
                      INSTITUCION_DE[ins], tun, complejidad, dom, cp, estancia))
    return filas


def revisa_geografia():
    for edo, mpos in MUNICIPIOS.items():
        jurs = {j for j, _ in JURISDICCIONES[edo]}
        for mpo, _, jur, locs in mpos:
            assert jur in jurs, (edo, mpo, jur)
            assert any(l == "0001" for l, _ in locs), (edo, mpo)
    locs = {(e, m, l) for e, ms in MUNICIPIOS.items() for m, _, _, ls in ms for l, _ in ls}
    for edo, _, _, _, mpo, loc, _, _, _ in UNIDADES:
        assert (edo, mpo, loc) in locs, (edo, mpo, loc)


def main():
    os.makedirs(DESTINO, exist_ok=True)
    revisa_geografia()
    total = 0
    for nombre, filas in sorted(CODIFICADOS.items()):
        total += escribe("c" + nombre, ["Cod" + nombre, "Descripcion"], filas)
    total += escribe("cEstados", ["CodEstado", "Descripcion"], ESTADOS)
    total += escribe("cJurisdicciones", ["CodEstado", "CodJurisdiccion", "Descripcion"],
                     [(e, j, d) for e in sorted(JURISDICCIONES) for j, d in JURISDICCIONES[e]])
    total += escribe("cMunicipios", ["CodEstado", "CodMunicipio", "Descripcion", "CodJurisdiccion"],
                     [(e, m, d, j) for e in sorted(MUNICIPIOS) for m, d, j, _ in MUNICIPIOS[e]])
    total += escribe("cLocalidades", ["CodEstado", "CodMunicipio", "CodLocalidad", "Descripcion"],
                     [(e, m, l, d) for e in sorted(MUNICIPIOS) for m, _, _, ls in MUNICIPIOS[e]
                      for l, d in ls])
    total += escribe("CATCLUES", ["Clues", "DescUnidad", "CEDOCVE", "CJURCVE", "CMPOCVE", "CLOCCVE",
                                  "CVERCVE", "CINSCVE", "CTUNCVE", "CCOMCVE", "DomUnidad", "CP",
                                  "Corta_estancia"], sorted(unidades()))
    total += escribe("SECINS", ["CINSCVE", "Descripcion"], INSTITUCIONES)
    total += escribe("SECTUN", ["CTUNCVE", "Descripcion"], TIPOS_UNIDAD)
    total += escribe("CAPITULO", ["IdCapitulo", "DESCRIP"], CAPITULOS)
    total += escribe("CATCIE10", cie10.COLUMNAS, cie10.filas())
    print("%d filas escritas en %s" % (total, DESTINO))


if __name__ == "__main__":
    main()
