# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAMESPACE=ns -DSYMBOL=name -P bytes_to_source.cmake
# Writes the bytes of INPUT into a C++ source as `const unsigned char SYMBOL[]`
# and `const std::size_t SYMBOLSize` in namespace NAMESPACE.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n" bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
    "// Generated at build time from ${name}.\n"
    "#include <cstddef>\n"
    "namespace ${NAMESPACE} {\n"
    "extern const unsigned char ${SYMBOL}[] = {\n${bytes}\n};\n"
    "extern const std::size_t ${SYMBOL}Size = ${size};\n"
    "}  // namespace ${NAMESPACE}\n")
