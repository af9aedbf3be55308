# Writes one manual page from its template: @VERSION@ and @DATE@ as given,
# and @DESCRIPTION@ and @USAGE@, lines of house(1)'s template, as
# docs/description.md and docs/usage.md in roff.
#   cmake -DDOCS_TOOL=tools/docs.sh -DDOCS_DIR=docs -DTEMPLATE=... -DVERSION=... -DDATE=... -DOUTPUT=... -P man-page.cmake
foreach(part DESCRIPTION USAGE)
  string(TOLOWER ${part} file)
  execute_process(COMMAND ${DOCS_TOOL} roff ${DOCS_DIR}/${file}.md
    OUTPUT_VARIABLE ${part}
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${DOCS_TOOL} roff ${file}.md failed")
  endif()
endforeach()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
