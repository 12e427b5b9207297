# Turns the schema files into a header of string constants, so the program and the tool that
# writes the fresh database carry the same text without resource files. DEFINITIONS holds
# CONSTANT=file entries apart by "|".
file(WRITE "${OUTPUT}" "#pragma once\nnamespace horalink {\n")
string(REPLACE "|" ";" definitions "${DEFINITIONS}")
foreach(definition ${definitions})
    string(REPLACE "=" ";" parts "${definition}")
    list(GET parts 0 constant)
    list(GET parts 1 source)
    file(READ "${source}" text)
    file(APPEND "${OUTPUT}" "inline constexpr const char ${constant}[] = R\"sql(${text})sql\";\n")
endforeach()
file(APPEND "${OUTPUT}" "}\n")
