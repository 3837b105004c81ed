-- The archive of computed codes, as the program makes it when missing.
-- An administrator may make it beforehand and grant the desks' role only
--   GRANT SELECT, INSERT, DELETE ON archivio TO <role>;
-- (see the README). One statement: the program runs this text as it is.
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
)
