# Turns the schema files into a header of string constants, so the program and the tool that
# writes the fresh database carry the same text without resource files.
file(READ "${SCHEMA}" schema)
file(READ "${TIMELOG}" timelog)
file(WRITE "${OUTPUT}" "#pragma once\nnamespace horalink {\n"
    "inline constexpr const char schemaSql[] = R\"sql(${schema})sql\";\n"
    "inline constexpr const char timeLogSql[] = R\"sql(${timelog})sql\";\n"
    "}\n")
