-- VELMORAN template database: every persistent table.
-- Dates are ISO text yyyy-MM-dd; text codes compare without regard to case;
-- numeric catalog codes are INTEGER so that they sort 1, 2, 10.

-- ---------------------------------------------------------------------------
-- Care events: one row per event, in the insert's column order.
-- ---------------------------------------------------------------------------
CREATE TABLE D_EVENTO (
    Clues                TEXT(11) NOT NULL COLLATE NOCASE,
    Folio                INTEGER  NOT NULL,
    fechaAtencion        TEXT     NOT NULL
                         CHECK (fechaAtencion GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'),
    Paterno              TEXT(50),
    Materno              TEXT(50),
    Nombre               TEXT(50),
    CURP                 TEXT(18) COLLATE NOCASE,
    Afiliacion           TEXT(12) COLLATE NOCASE,
    Expediente           TEXT(13) COLLATE NOCASE,
    CodClaveEdad         INTEGER,
    Edad                 INTEGER,
    CodSexo              INTEGER,
    CodEmbarazada        INTEGER,
    CodLeeEscribe        INTEGER,
    CodEscolaridad       INTEGER,
    Calle                TEXT(100),
    EntreCalleUno        TEXT(50),
    EntreCalleDos        TEXT(50),
    Colonia              TEXT(50),
    CodEstado            TEXT(2) COLLATE NOCASE,
    CodMunicipio         TEXT(3) COLLATE NOCASE,
    CodLocalidad         TEXT(4) COLLATE NOCASE,
    FechaOcurrencia      TEXT
                         CHECK (FechaOcurrencia IS NULL
                                OR FechaOcurrencia GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'),
    HoraOcurrencia       TEXT(5),
    CodFestivo           INTEGER,
    CodDiscapacidad      INTEGER,
    CodIntencionalidad   INTEGER,
    CodVez               INTEGER,
    CodSitio             INTEGER,
    CodAgente            INTEGER,
    CodLesionadoVehiculo INTEGER,
    CodUsoSeguridad      INTEGER,
    CodEquipo            INTEGER,
    CodArea              INTEGER,
    CodConsecuencia      INTEGER,
    CodPrehospitalaria   INTEGER,
    HorasTraslado        INTEGER,
    MinutosTraslado      INTEGER,
    CodAgresor           INTEGER,
    EdadAgresor          INTEGER,
    CodSexoAgresor       INTEGER,
    CodParentescoAgresor INTEGER,
    HoraAtencion         TEXT(5),
    CodServicio          INTEGER,
    HorasUrgencias       INTEGER,
    MinutosUrgencias     INTEGER,
    CodReferido          INTEGER,
    CodDestino           INTEGER,
    CodAfecprin          TEXT(4) COLLATE NOCASE,
    CodCausaExt          TEXT(4) COLLATE NOCASE,
    CodMP                INTEGER,
    CodResponsable       INTEGER,
    NombreResponsable    TEXT(50),
    FechaCaptura         TEXT
                         CHECK (FechaCaptura IS NULL
                                OR FechaCaptura GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'),
    FechaEdicion         TEXT
                         CHECK (FechaEdicion IS NULL
                                OR FechaEdicion GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'),
    PRIMARY KEY (Clues, Folio, fechaAtencion)
);

-- The daily count on the capture sheet's caption.
CREATE INDEX IX_D_EVENTO_FechaCaptura ON D_EVENTO (FechaCaptura);

-- ---------------------------------------------------------------------------
-- Detail rows of an event. Each key starts with the event key, so the primary
-- key's index serves every statement about one event; deleting an event takes
-- its details along (foreign keys are switched on by every connection).
-- ---------------------------------------------------------------------------
CREATE TABLE D_Derechohabiencia (
    CLUES               TEXT(11) NOT NULL COLLATE NOCASE,
    Folio               INTEGER  NOT NULL,
    fechaAtencion       TEXT     NOT NULL,
    CodDerechohabiencia TEXT(2)  NOT NULL COLLATE NOCASE,
    PRIMARY KEY (CLUES, Folio, fechaAtencion, CodDerechohabiencia),
    FOREIGN KEY (CLUES, Folio, fechaAtencion)
        REFERENCES D_EVENTO (Clues, Folio, fechaAtencion) ON DELETE CASCADE
);

CREATE TABLE D_TipoViolencia (
    CLUES            TEXT(11) NOT NULL COLLATE NOCASE,
    Folio            INTEGER  NOT NULL,
    fechaAtencion    TEXT     NOT NULL,
    CodTipoViolencia INTEGER  NOT NULL,
    PRIMARY KEY (CLUES, Folio, fechaAtencion, CodTipoViolencia),
    FOREIGN KEY (CLUES, Folio, fechaAtencion)
        REFERENCES D_EVENTO (Clues, Folio, fechaAtencion) ON DELETE CASCADE
);

-- CodAfectadoAgresor: 1 the patient, 2 the aggressor; one substance may stand once for each.
CREATE TABLE D_BajoEfectos (
    CLUES              TEXT(11) NOT NULL COLLATE NOCASE,
    Folio              INTEGER  NOT NULL,
    fechaAtencion      TEXT     NOT NULL,
    CodAfectadoAgresor INTEGER  NOT NULL CHECK (CodAfectadoAgresor IN (1, 2)),
    CodEfectos         INTEGER  NOT NULL,
    PRIMARY KEY (CLUES, Folio, fechaAtencion, CodAfectadoAgresor, CodEfectos),
    FOREIGN KEY (CLUES, Folio, fechaAtencion)
        REFERENCES D_EVENTO (Clues, Folio, fechaAtencion) ON DELETE CASCADE
);

CREATE TABLE D_TipoAtencion (
    CLUES           TEXT(11) NOT NULL COLLATE NOCASE,
    Folio           INTEGER  NOT NULL,
    fechaAtencion   TEXT     NOT NULL,
    CodTipoAtencion INTEGER  NOT NULL,
    PRIMARY KEY (CLUES, Folio, fechaAtencion, CodTipoAtencion),
    FOREIGN KEY (CLUES, Folio, fechaAtencion)
        REFERENCES D_EVENTO (Clues, Folio, fechaAtencion) ON DELETE CASCADE
);

-- Final diagnoses in order of importance: one row per position, no cause twice.
CREATE TABLE D_Diagnosticos (
    CLUES          TEXT(11) NOT NULL COLLATE NOCASE,
    Folio          INTEGER  NOT NULL,
    fechaAtencion  TEXT     NOT NULL,
    CodDiagnostico TEXT(4)  NOT NULL COLLATE NOCASE,
    Orden          INTEGER  NOT NULL CHECK (Orden >= 1),
    PRIMARY KEY (CLUES, Folio, fechaAtencion, Orden),
    UNIQUE (CLUES, Folio, fechaAtencion, CodDiagnostico),
    FOREIGN KEY (CLUES, Folio, fechaAtencion)
        REFERENCES D_EVENTO (Clues, Folio, fechaAtencion) ON DELETE CASCADE
);

-- ---------------------------------------------------------------------------
-- Coded answer catalogs: c<Name> with Cod<Name> and Descripcion.
-- ---------------------------------------------------------------------------
CREATE TABLE cAfectadoAgresor   (CodAfectadoAgresor   INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cAgente            (CodAgente            INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cAgresor           (CodAgresor           INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cArea              (CodArea              INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cClaveEdad         (CodClaveEdad         INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cConsecuencia      (CodConsecuencia      INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cDerechohabiencia  (CodDerechohabiencia  TEXT(2) NOT NULL COLLATE NOCASE PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cDestino           (CodDestino           INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cDiscapacidad      (CodDiscapacidad      INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cEfectos           (CodEfectos           INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cEmbarazada        (CodEmbarazada        INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cEquipo            (CodEquipo            INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cEscolaridad       (CodEscolaridad       INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cFestivo           (CodFestivo           INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cIntencionalidad   (CodIntencionalidad   INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cLeeEscribe        (CodLeeEscribe        INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cLesionadoVehiculo (CodLesionadoVehiculo INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cMP                (CodMP                INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cParentesco        (CodParentesco        INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cPrehospitalaria   (CodPrehospitalaria   INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cReferido          (CodReferido          INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cResponsable       (CodResponsable       INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cServicio          (CodServicio          INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cSexo              (CodSexo              INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cSitio             (CodSitio             INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cTipoAtencion      (CodTipoAtencion      INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cTipoUnidad        (CodTipoUnidad        INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cTipoViolencia     (CodTipoViolencia     INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cUsoSeguridad      (CodUsoSeguridad      INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));
CREATE TABLE cVez               (CodVez               INTEGER NOT NULL PRIMARY KEY, Descripcion TEXT(50));

-- ---------------------------------------------------------------------------
-- Geographic catalogs; the windows bind their columns by position.
-- ---------------------------------------------------------------------------
CREATE TABLE cEstados (
    CodEstado   TEXT(2) NOT NULL COLLATE NOCASE PRIMARY KEY,
    Descripcion TEXT(35)
);

CREATE TABLE cJurisdicciones (
    CodEstado       TEXT(2) NOT NULL COLLATE NOCASE,
    CodJurisdiccion TEXT(2) NOT NULL COLLATE NOCASE,
    Descripcion     TEXT(35),
    PRIMARY KEY (CodEstado, CodJurisdiccion)
);

CREATE TABLE cMunicipios (
    CodEstado       TEXT(2) NOT NULL COLLATE NOCASE,
    CodMunicipio    TEXT(3) NOT NULL COLLATE NOCASE,
    Descripcion     TEXT(50),
    CodJurisdiccion TEXT(2) COLLATE NOCASE,
    PRIMARY KEY (CodEstado, CodMunicipio)
);

CREATE TABLE cLocalidades (
    CodEstado    TEXT(2) NOT NULL COLLATE NOCASE,
    CodMunicipio TEXT(3) NOT NULL COLLATE NOCASE,
    CodLocalidad TEXT(4) NOT NULL COLLATE NOCASE,
    Descripcion  TEXT(50),
    PRIMARY KEY (CodEstado, CodMunicipio, CodLocalidad)
);

-- ---------------------------------------------------------------------------
-- Health units. CJURCVE "99": a unit of another institution, outside the
-- health jurisdictions.
-- ---------------------------------------------------------------------------
CREATE TABLE CATCLUES (
    Clues          TEXT(11)  NOT NULL COLLATE NOCASE PRIMARY KEY,
    DescUnidad     TEXT(100),
    CEDOCVE        TEXT(2)   COLLATE NOCASE,
    CJURCVE        TEXT(2)   COLLATE NOCASE,
    CMPOCVE        TEXT(3)   COLLATE NOCASE,
    CLOCCVE        TEXT(4)   COLLATE NOCASE,
    CVERCVE        TEXT(2)   COLLATE NOCASE,
    CINSCVE        TEXT(1)   COLLATE NOCASE,
    CTUNCVE        TEXT(1)   COLLATE NOCASE,
    CCOMCVE        TEXT(3)   COLLATE NOCASE,
    DomUnidad      TEXT(100),
    CP             TEXT(5)   COLLATE NOCASE,
    Corta_estancia TEXT(1)   COLLATE NOCASE
);

CREATE INDEX IX_CATCLUES_Estado ON CATCLUES (CEDOCVE, CJURCVE, CMPOCVE);

-- Institutions and unit types named by CATCLUES.CINSCVE and CTUNCVE.
CREATE TABLE SECINS (
    CINSCVE     TEXT(1) NOT NULL COLLATE NOCASE PRIMARY KEY,
    Descripcion TEXT(60)
);

CREATE TABLE SECTUN (
    CTUNCVE     TEXT(1) NOT NULL COLLATE NOCASE PRIMARY KEY,
    Descripcion TEXT(60)
);

-- ---------------------------------------------------------------------------
-- ICD-10. Causa: 3 characters (category) or 4 (the codes that are recorded;
-- a category without subdivisions has its 4-character form with X).
-- lsex '1' males only, '2' females only, else both. linf/lsup: three digits
-- of age and the unit letter H, D, M or A ("010A"); NULL when unlimited.
-- Flags hold 'T' when set: triv trivial cause, errad eradicated, NotSemanal
-- weekly notification, nin immediate notification, no_cbd notified at death,
-- a asterisk code, no_aph not accepted as principal affection.
-- Actualizac 'B': withdrawn from the list.
-- ---------------------------------------------------------------------------
CREATE TABLE CATCIE10 (
    Causa      TEXT(4)   NOT NULL COLLATE NOCASE PRIMARY KEY,
    nombre     TEXT(250),
    Capitulo   TEXT(2)   COLLATE NOCASE,
    lsex       TEXT(1),
    linf       TEXT(4)   COLLATE NOCASE,
    lsup       TEXT(4)   COLLATE NOCASE,
    triv       TEXT(1)   COLLATE NOCASE,
    errad      TEXT(1)   COLLATE NOCASE,
    NotSemanal TEXT(1)   COLLATE NOCASE,
    nin        TEXT(1)   COLLATE NOCASE,
    no_cbd     TEXT(1)   COLLATE NOCASE,
    a          TEXT(1)   COLLATE NOCASE,
    no_aph     TEXT(1)   COLLATE NOCASE,
    Actualizac TEXT(1)   COLLATE NOCASE,
    LM_MORTA   TEXT(4)   COLLATE NOCASE,
    PRINMORTA  TEXT(4)   COLLATE NOCASE
);

CREATE INDEX IX_CATCIE10_Capitulo ON CATCIE10 (Capitulo, Causa);

CREATE TABLE CAPITULO (
    IdCapitulo TEXT(2) NOT NULL COLLATE NOCASE PRIMARY KEY,
    DESCRIP    TEXT(150)
);

-- ---------------------------------------------------------------------------
-- Operations log. TIPO 1 backup, 2 send package, 3 reception.
-- FECHA: moment of the insert, "yyyy-MM-dd HH:mm:ss" local time.
-- FECHAINI/FECHAFIN: the sent period (yyyy-MM-dd) or empty.
-- ---------------------------------------------------------------------------
CREATE TABLE BITACORA (
    TIPO      INTEGER NOT NULL CHECK (TIPO IN (1, 2, 3)),
    NOMBRE    TEXT(255),
    RUTA      TEXT(255),
    FECHA     TEXT NOT NULL DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')),
    UNIDADES  INTEGER,
    EVENTOS   INTEGER,
    FECHAINI  TEXT(10),
    FECHAFIN  TEXT(10),
    CATALOGOS INTEGER
);
