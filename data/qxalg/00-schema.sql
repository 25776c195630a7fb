-- qxalg.db: the algorithm database of the simulated programmer engine.
--
-- The build turns the files of this folder, in name order, into the
-- database (see ../README.md). Device and model details are looked up by
-- the engine when it needs them; nothing here is read by the program
-- itself, which sees these values only through the engine's members.

PRAGMA foreign_keys = ON;

-- One row per setting of the database as a whole.
--   format    the layout version; an engine that reads another layout
--             refuses the file (load result 113)
--   revision  AlgorithmDatabaseRevision, shown by the program in hexadecimal
CREATE TABLE meta (
    key   TEXT PRIMARY KEY,
    value TEXT NOT NULL
) WITHOUT ROWID;

-- The programmer models, in the order of the engine's list (ModelNameAt).
-- Indexes 22, 23 and 24 are the three models of the OEM edition's
-- restricted list.
CREATE TABLE programmer_model (
    model_index     INTEGER PRIMARY KEY CHECK (model_index >= 0),
    name            TEXT NOT NULL UNIQUE,
    site_count      INTEGER NOT NULL CHECK (site_count >= 1),             -- SiteCount
    sites_per_group INTEGER NOT NULL CHECK (sites_per_group >= 1),        -- SiteSlotCount
    concurrent      INTEGER NOT NULL DEFAULT 0 CHECK (concurrent IN (0, 1)), -- IsConcurrentProgrammer
    usb             INTEGER NOT NULL DEFAULT 0 CHECK (usb IN (0, 1)),     -- IsUsbProgrammer
    test_only       INTEGER NOT NULL DEFAULT 0 CHECK (test_only IN (0, 1)), -- TestOnlyStation
    caption_part    TEXT NOT NULL DEFAULT '',                             -- ProgrammerCaptionPart
    caption_number  INTEGER NOT NULL DEFAULT 0,                           -- CaptionPart269
    CHECK (site_count % sites_per_group = 0)
);

-- The capability members of the engine that answer for the selected
-- device. A device lists the ones it has in device.supports.
CREATE TABLE capability (
    name    TEXT PRIMARY KEY,       -- the engine member that reports it
    kind    TEXT NOT NULL CHECK (kind IN ('Boolean', 'Integer', 'Long')),
    meaning TEXT NOT NULL
) WITHOUT ROWID;

-- The device list. Names are unique whatever their letter case, and the
-- engine finds a device by name in either case.
CREATE TABLE device (
    name         TEXT PRIMARY KEY COLLATE NOCASE
                 CHECK (name <> '' AND instr(name, '@') = 0 AND instr(name, ':') = 0),
    manufacturer TEXT NOT NULL,
    package      TEXT NOT NULL,                  -- DeviceProperty4
    device_type  TEXT NOT NULL,                  -- EPROM, Flash, Serial EEPROM, ...
    size         INTEGER NOT NULL CHECK (size >= 0),  -- DeviceSize: words, or fuses
    data_width   INTEGER NOT NULL DEFAULT 8 CHECK (data_width IN (1, 8, 16, 32)), -- bits per word
    -- The capabilities the device has, separated by blanks: a member name
    -- for a Boolean (True), "name=value" for a number. The generator
    -- checks every word against the capability table and spreads them
    -- over device_capability, which is what the engine reads.
    supports     TEXT NOT NULL DEFAULT ''
) WITHOUT ROWID;

CREATE TABLE device_capability (
    device     TEXT NOT NULL COLLATE NOCASE REFERENCES device (name),
    capability TEXT NOT NULL REFERENCES capability (name),
    value      INTEGER NOT NULL,             -- -1 for a Boolean True
    PRIMARY KEY (device, capability)
) WITHOUT ROWID;

-- Named variants, numbered as the engine's members number them:
--   program  ExecuteVariantNameAt 0 .. ExecuteVariantCount - 1
--   secure   SecureVariantNameAt  1 .. SecureVariantCount
--   extra    ExtraCommandNameAt   0 .. ExtraCommandCount - 1
-- concurrent: a program variant that runs on all sites at once
-- (OperationRunsConcurrently).
CREATE TABLE device_variant (
    device     TEXT NOT NULL COLLATE NOCASE REFERENCES device (name),
    kind       TEXT NOT NULL CHECK (kind IN ('program', 'secure', 'extra')),
    position   INTEGER NOT NULL,
    name       TEXT NOT NULL,
    concurrent INTEGER NOT NULL DEFAULT 1 CHECK (concurrent IN (0, 1)),
    PRIMARY KEY (device, kind, position),
    CHECK (position >= CASE kind WHEN 'secure' THEN 1 ELSE 0 END)
) WITHOUT ROWID;

-- Custom actions: each becomes an action tab named after it, in position
-- order. Its procedures run in position order; each is required (REQ),
-- optional (OPT) or recommended (REC), and offers one or more
-- alternatives separated by "|". The engine reports them all in one text
-- (CustomActionList): "@Name:REQ|a|b:OPT|c@Name2:...".
CREATE TABLE custom_action (
    device   TEXT NOT NULL COLLATE NOCASE REFERENCES device (name),
    position INTEGER NOT NULL CHECK (position >= 0),
    name     TEXT NOT NULL CHECK (name <> '' AND instr(name, '@') = 0 AND instr(name, ':') = 0),
    PRIMARY KEY (device, position)
) WITHOUT ROWID;

CREATE TABLE custom_procedure (
    device       TEXT NOT NULL COLLATE NOCASE,
    action       INTEGER NOT NULL,
    position     INTEGER NOT NULL CHECK (position >= 0),
    kind         TEXT NOT NULL CHECK (kind IN ('REQ', 'OPT', 'REC')),
    alternatives TEXT NOT NULL
                 CHECK (alternatives <> '' AND instr(alternatives, '@') = 0 AND instr(alternatives, ':') = 0),
    PRIMARY KEY (device, action, position),
    FOREIGN KEY (device, action) REFERENCES custom_action (device, position)
) WITHOUT ROWID;

-- The algorithm's configuration values (DeviceConfigValue), e.g.
-- "algcfg.virgin", "algcfg.pin_count", "EXTRA_CMDS".
CREATE TABLE device_config (
    device TEXT NOT NULL COLLATE NOCASE REFERENCES device (name),
    key    TEXT NOT NULL,
    value  TEXT NOT NULL,
    PRIMARY KEY (device, key)
) WITHOUT ROWID;

-- The algorithm's parameters (AlgorithmParameter), e.g.
-- "DEFAULT_BUFFER_VALUE". A value that reads as a whole number (decimal, or
-- hexadecimal after "0x") is reported as a number, any other as text.
CREATE TABLE algorithm_parameter (
    device TEXT NOT NULL COLLATE NOCASE REFERENCES device (name),
    name   TEXT NOT NULL,
    value  TEXT NOT NULL,
    PRIMARY KEY (device, name)
) WITHOUT ROWID;
