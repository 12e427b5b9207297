-- The columns of one employee's time log on a server, in their order, after CREATE TABLE and
-- the qualified name of the employee. The date and time is a timestamp without a zone, read back
-- as 'YYYY-MM-DD HH:MM:SS'; a value bound for it must have exactly that form.
(
    "rowid" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    "Ename" text CONSTRAINT "Ename holds at most 20 characters" CHECK (length("Ename") <= 20),
    "datetime" timestamp(0) without time zone,
    "inoutfx" text CONSTRAINT "inoutfx holds at most 11 characters" CHECK (length("inoutfx") <= 11),
    "activity" text CONSTRAINT "activity holds at most 30 characters" CHECK (length("activity") <= 30)
)
