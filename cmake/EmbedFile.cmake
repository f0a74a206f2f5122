# Writes a C++ source defining NAME, a std::string_view in namespace mw of the
# bytes of the file INPUT, so that a program carries the file with it.
#   cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P EmbedFile.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
# Thirty-two bytes a line, each as a hexadecimal escape.
string(REPEAT "." 64 line)
string(REGEX REPLACE "(${line})" "\\1|" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
string(REGEX REPLACE "\\|$" "" escaped "${escaped}")
string(REPLACE "|" "\"\n    \"" escaped "${escaped}")
file(WRITE ${OUTPUT}.tmp
     "// Made by the build from ${INPUT}: do not edit.\n"
     "#include <string_view>\n\nnamespace mw {\nnamespace {\n\nconstexpr char kBytes[] =\n"
     "    \"${escaped}\";\n\n}  // namespace\n\n"
     "extern const std::string_view ${NAME}(kBytes, ${size});\n\n}  // namespace mw\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
