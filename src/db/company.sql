-- The company table of a fresh Employee.mdb, after CREATE TABLE and its qualified name: the
-- one row of company settings, the name given at the first start and the program-wide switches
-- (1 on, anything else off). Files made before "signoff" lack it, which reads as off.
(
    "company" TEXT,
    "edits" SMALLINT,
    "money" SMALLINT,
    "subs" SMALLINT,
    "signoff" SMALLINT
)
