# Run as a script: writes OUTPUT, a C++ file holding the files of BASE_DIR
# listed in FILES (relative paths, ','-separated) as byte arrays, so that the
# results page is served from the binary with no files on disk.
#   cmake -DBASE_DIR=... -DFILES=... -DOUTPUT=... -P EmbedFiles.cmake

function(content_type_of path out)
  get_filename_component(ext "${path}" LAST_EXT)
  string(TOLOWER "${ext}" ext)
  set(types
    ".html" "text/html; charset=utf-8"
    ".js" "text/javascript; charset=utf-8"
    ".mjs" "text/javascript; charset=utf-8"
    ".css" "text/css; charset=utf-8"
    ".svg" "image/svg+xml"
    ".png" "image/png"
    ".ico" "image/x-icon"
    ".json" "application/json")
  list(FIND types "${ext}" at)
  if(at EQUAL -1)
    set(${out} "application/octet-stream" PARENT_SCOPE)
  else()
    math(EXPR at "${at} + 1")
    list(GET types ${at} type)
    set(${out} "${type}" PARENT_SCOPE)
  endif()
endfunction()

set(body "")
set(table "")
set(n 0)
string(REPLACE "," ";" FILES "${FILES}")
foreach(rel IN LISTS FILES)
  file(READ "${BASE_DIR}/${rel}" hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  content_type_of("${rel}" type)
  string(APPEND body "static const unsigned char f${n}[] = {${bytes}0};\n")
  string(APPEND table "    {\"${rel}\", \"${type}\", {reinterpret_cast<const char*>(f${n}), ${size}}},\n")
  math(EXPR n "${n} + 1")
endforeach()

file(WRITE "${OUTPUT}.tmp" "// Generated from resultspage/ at build time; do not edit.\n#include \"PageAssets.h\"\n\nnamespace quorvel {\nnamespace {\n${body}\nconst PageAsset kAssets[] = {\n${table}};\n}  // namespace\n\nstd::span<const PageAsset> PageAssetFiles() { return kAssets; }\n\n}  // namespace quorvel\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
