# Turns the schema files into a header of string constants, so the program and the tool that
# writes the fresh database carry the same text without resource files.
file(READ "${SCHEMA}" schema)
file(READ "${TIMELOG}" timelog)
file(READ "${SERVER_SCHEMA}" server_schema)
file(READ "${SERVER_TIMELOG}" server_timelog)
file(WRITE "${OUTPUT}" "#pragma once\nnamespace horalink {\n"
    "inline constexpr const char schemaSql[] = R\"sql(${schema})sql\";\n"
    "inline constexpr const char timeLogSql[] = R\"sql(${timelog})sql\";\n"
    "inline constexpr const char serverSchemaSql[] = R\"sql(${server_schema})sql\";\n"
    "inline constexpr const char serverTimeLogSql[] = R\"sql(${server_timelog})sql\";\n"
    "}\n")
