-- The archive of computed codes, as the program makes it when missing, and
-- the log of its changes by which open desks catch up. Safe to run again:
-- an archive made by an earlier version gets the log. An administrator may
-- make it all beforehand and grant the desks' role only
--   GRANT SELECT, INSERT, DELETE ON archivio TO <role>;
--   GRANT SELECT, UPDATE ON archivio_versione TO <role>;
--   GRANT SELECT, INSERT ON archivio_modifiche TO <role>;
-- (see the README).
BEGIN;
-- Two desks making it at once: the second waits, then finds it made.
SELECT pg_advisory_xact_lock(hashtext('viveze archivio'));

CREATE TABLE IF NOT EXISTS archivio (
  -- The order records were added in, which the grid shows.
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  cognome text NOT NULL,
  nome text NOT NULL,
  sex text NOT NULL,
  comune text NOT NULL,
  data date NOT NULL,
  -- One record per code, however many desks archive it at once.
  codicefiscale text NOT NULL UNIQUE
);

-- One row: the number of the last change. Each changing statement takes
-- the next number under the row's lock, held to its commit, so changes are
-- numbered in the order they are committed: a desk that has read the log up
-- to a number has seen every change before it.
CREATE TABLE IF NOT EXISTS archivio_versione (
  uno boolean PRIMARY KEY DEFAULT true CHECK (uno),
  numero bigint NOT NULL
);
INSERT INTO archivio_versione (uno, numero) VALUES (true, 0) ON CONFLICT DO NOTHING;

-- Every record added or deleted, by its change's number; a row with no
-- identity says that the table was emptied at once.
CREATE TABLE IF NOT EXISTS archivio_modifiche (
  numero bigint NOT NULL,
  id bigint,
  codicefiscale text,
  aggiunto boolean NOT NULL
);
CREATE INDEX IF NOT EXISTS archivio_modifiche_numero ON archivio_modifiche (numero);

CREATE OR REPLACE FUNCTION archivio_modificato() RETURNS trigger LANGUAGE plpgsql AS $body$
DECLARE
  n bigint;
BEGIN
  -- A statement that changed nothing (a code already there) takes no number.
  IF TG_OP = 'INSERT' THEN
    IF NOT EXISTS (SELECT 1 FROM nuovi) THEN RETURN NULL; END IF;
  ELSIF TG_OP = 'DELETE' THEN
    IF NOT EXISTS (SELECT 1 FROM tolti) THEN RETURN NULL; END IF;
  END IF;
  UPDATE archivio_versione SET numero = numero + 1 RETURNING numero INTO n;
  IF TG_OP = 'INSERT' THEN
    INSERT INTO archivio_modifiche SELECT n, id, codicefiscale, true FROM nuovi;
  ELSIF TG_OP = 'DELETE' THEN
    INSERT INTO archivio_modifiche SELECT n, id, codicefiscale, false FROM tolti;
  ELSE
    INSERT INTO archivio_modifiche VALUES (n, NULL, NULL, false);
  END IF;
  -- Sent at the commit, and only then: open desks take the change in.
  PERFORM pg_notify('archivio', '');
  RETURN NULL;
END
$body$;

DROP TRIGGER IF EXISTS archivio_aggiunti ON archivio;
CREATE TRIGGER archivio_aggiunti AFTER INSERT ON archivio
  REFERENCING NEW TABLE AS nuovi FOR EACH STATEMENT EXECUTE FUNCTION archivio_modificato();
DROP TRIGGER IF EXISTS archivio_tolti ON archivio;
CREATE TRIGGER archivio_tolti AFTER DELETE ON archivio
  REFERENCING OLD TABLE AS tolti FOR EACH STATEMENT EXECUTE FUNCTION archivio_modificato();
DROP TRIGGER IF EXISTS archivio_svuotato ON archivio;
CREATE TRIGGER archivio_svuotato AFTER TRUNCATE ON archivio
  FOR EACH STATEMENT EXECUTE FUNCTION archivio_modificato();
COMMIT;
