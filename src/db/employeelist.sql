-- The employee list of a fresh Employee.mdb, one row per employee in the order they were
-- added, after CREATE TABLE and its qualified name. ename also names the employee's time-log
-- table. The program never creates this table in a file that it runs on; it only reads and
-- writes it. Every text field refuses a value longer than its width, as the time logs do.
(
    "ename" VARCHAR(20) CONSTRAINT "ename holds at most 20 characters" CHECK (length("ename") <= 20),
    "epass" VARCHAR(255) CONSTRAINT "epass holds at most 255 characters" CHECK (length("epass") <= 255),
    "ewage" VARCHAR(50) CONSTRAINT "ewage holds at most 50 characters" CHECK (length("ewage") <= 50),
    "ecomment" TEXT
)
