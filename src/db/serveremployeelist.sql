-- The employee list on a server, as in Employee.mdb but without rows, after CREATE TABLE and
-- its qualified name. Each table keeps its stored order in an identity column named rowid,
-- which the program reads as the file's own rowid. Text fields refuse what does not fit them
-- with the file's named checks, so a refusal reads alike on both.
(
    "rowid" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    "ename" text CONSTRAINT "ename holds at most 20 characters" CHECK (length("ename") <= 20),
    "epass" text CONSTRAINT "epass holds at most 255 characters" CHECK (length("epass") <= 255),
    "ewage" text CONSTRAINT "ewage holds at most 50 characters" CHECK (length("ewage") <= 50),
    "ecomment" text
)
