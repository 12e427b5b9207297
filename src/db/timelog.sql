-- The columns of one employee's time log, in their order. The program puts CREATE TABLE and
-- the qualified name of the employee in front of this text. Rows are read in the order they were
-- added. The date and time is kept as local 'YYYY-MM-DD HH:MM:SS' text.
(
    "Ename" VARCHAR(20) CONSTRAINT "Ename holds at most 20 characters" CHECK (length("Ename") <= 20),
    "datetime" DATETIME CONSTRAINT "datetime holds a date and time" CHECK ("datetime" IS NULL OR "datetime" IS strftime('%Y-%m-%d %H:%M:%S', "datetime")),
    "inoutfx" VARCHAR(11) CONSTRAINT "inoutfx holds at most 11 characters" CHECK (length("inoutfx") <= 11),
    "activity" VARCHAR(30) CONSTRAINT "activity holds at most 30 characters" CHECK (length("activity") <= 30)
)
