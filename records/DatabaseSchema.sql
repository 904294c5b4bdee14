-- The tables of the Vexa archive in a PostgreSQL database (UTF8), schema version 1.
-- Run once, as the database's owner, in one transaction:
--     psql --single-transaction -d DATABASE -f schema.sql
-- ("vexa-archiv init" does the same; "vexa-archiv schema" prints this script.)

CREATE TABLE schema_version (
    verze integer NOT NULL
);
INSERT INTO schema_version (verze) VALUES (1);
COMMENT ON TABLE schema_version IS 'Vexa: the version of these tables; a newer one is refused by an older program';

-- Every change of a record takes the next number, so a running copy asks only for the rows
-- changed since the last number it saw.
CREATE SEQUENCE zaznamy_zmena;

-- A record's line form: its eight texts and each child's three, separated by ";".
CREATE FUNCTION zaznam_radek(cislo_pasu text, prijmeni text, jmeno text, rc text,
        misto_narozeni text, datum_vydani text, platnost text, vydavatel text, deti jsonb)
    RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE
    RETURN concat_ws(';', cislo_pasu, prijmeni, jmeno, rc, misto_narozeni, datum_vydani,
                     platnost, vydavatel)
        || coalesce((SELECT string_agg(concat(';', d->>'jmeno', ';', d->>'rok', ';', d->>'sex'),
                                       '' ORDER BY n)
                     FROM jsonb_array_elements(deti) WITH ORDINALITY AS c(d, n)), '');

CREATE TABLE zaznamy (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    cislo_pasu text NOT NULL DEFAULT '',
    prijmeni text NOT NULL DEFAULT '',
    jmeno text NOT NULL DEFAULT '',
    rc text NOT NULL DEFAULT '',
    misto_narozeni text NOT NULL DEFAULT '',
    datum_vydani text NOT NULL DEFAULT '',
    platnost text NOT NULL DEFAULT '',
    vydavatel text NOT NULL DEFAULT '',
    -- the children in their order: [{"jmeno": ..., "rok": "dd.mm.yyyy", "sex": "M"|"F"}, ...]
    deti jsonb NOT NULL DEFAULT '[]',
    -- kept by the server from the columns above: what a starting copy and an export read
    radek text GENERATED ALWAYS AS (zaznam_radek(cislo_pasu, prijmeni, jmeno, rc,
        misto_narozeni, datum_vydani, platnost, vydavatel, deti)) STORED,
    verze integer NOT NULL DEFAULT 1,
    zmena bigint NOT NULL DEFAULT nextval('zaznamy_zmena'),
    zmenil_uzivatel text NOT NULL DEFAULT '',
    zmenil_pocitac text NOT NULL DEFAULT '',
    zmeneno timestamptz NOT NULL DEFAULT now(),
    -- a removed record is marked, never deleted
    odebral_uzivatel text,
    odebral_pocitac text,
    odebrano timestamptz,
    -- a line end separates the records of an exported archive
    CONSTRAINT zaznamy_jeden_radek CHECK (cislo_pasu || prijmeni || jmeno || rc || misto_narozeni
        || datum_vydani || platnost || vydavatel !~ '\n'),
    CONSTRAINT zaznamy_deti_pole CHECK (jsonb_typeof(deti) = 'array')
);
ALTER SEQUENCE zaznamy_zmena OWNED BY zaznamy.zmena;
COMMENT ON TABLE zaznamy IS 'Vexa: the archived records, removed ones included (odebrano set)';

CREATE INDEX zaznamy_cislo_pasu ON zaznamy (cislo_pasu) WHERE odebrano IS NULL;
CREATE INDEX zaznamy_zmeny ON zaznamy (zmena);
