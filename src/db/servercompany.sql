-- The company table on a server, after CREATE TABLE and its qualified name.
(
    "rowid" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    "company" text,
    "edits" smallint,
    "money" smallint,
    "subs" smallint,
    "signoff" smallint
)
