-- The tables of a fresh Employee.mdb. The program never creates these; it only reads and
-- writes them. Every text field refuses a value longer than its width, as the time logs do.

-- One row per employee, in the order they were added. ename also names the employee's
-- time-log table.
CREATE TABLE "datalist" (
    "ename" VARCHAR(20) CONSTRAINT "ename holds at most 20 characters" CHECK (length("ename") <= 20),
    "epass" VARCHAR(255) CONSTRAINT "epass holds at most 255 characters" CHECK (length("epass") <= 255),
    "ewage" VARCHAR(50) CONSTRAINT "ewage holds at most 50 characters" CHECK (length("ewage") <= 50),
    "ecomment" TEXT
);

-- The one row of company settings: the name given at the first start, and the three
-- program-wide switches (1 on, anything else off).
CREATE TABLE "Company Data" (
    "company" TEXT,
    "edits" SMALLINT,
    "money" SMALLINT,
    "subs" SMALLINT
);
