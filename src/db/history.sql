-- The change history of a file, after CREATE TABLE and its qualified name: one row for each
-- change of the record other than an appended clock-in or clock-out, written in the same
-- transaction as the change. changed holds the local wall clock as stamps are kept,
-- changed_utc the same moment in UTC as 'YYYY-MM-DDTHH:MM:SSZ'; who is the signed-on user or
-- the tool, account the system account it ran under; subject the table and row_id the row
-- changed; before and after the row's fields as JSON objects (Null where the row was not, or
-- is no more).
(
    "changed" TEXT NOT NULL,
    "changed_utc" TEXT NOT NULL,
    "who" TEXT,
    "account" TEXT,
    "kind" TEXT NOT NULL,
    "subject" TEXT NOT NULL,
    "row_id" INTEGER,
    "before" TEXT,
    "after" TEXT
)
