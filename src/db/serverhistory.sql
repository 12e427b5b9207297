-- The change history on a server, as in the file, after CREATE TABLE and its qualified name.
-- A trigger refuses every change and removal of its rows.
(
    "rowid" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    "changed" text NOT NULL,
    "changed_utc" text NOT NULL,
    "who" text,
    "account" text,
    "kind" text NOT NULL,
    "subject" text NOT NULL,
    "row_id" bigint,
    "before" text,
    "after" text
)
