# Writes the bytes of INPUT into OUTPUT, a C++ source defining
# `std::string_view FUNCTION()`, so a data file is built into the programs
# and no file is looked for at run time.
#   cmake -DINPUT=... -DOUTPUT=... -DFUNCTION=... -P embed-text.cmake
file(READ "${INPUT}" bytes HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," chars "${bytes}")
file(WRITE "${OUTPUT}.tmp"
     "// Made from ${INPUT} by cmake/embed-text.cmake; do not edit.\n"
     "#include <string_view>\n\n"
     "namespace {\nconst char kBytes[] = {\n  ${chars}'\\0'};\n}  // namespace\n\n"
     "std::string_view ${FUNCTION}() { return {kBytes, sizeof kBytes - 1}; }\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
