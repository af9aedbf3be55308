# Writes one manual page from its template: @VERSION@ and @DATE@ as given,
# and @USAGE@, a line of house(1)'s template, as docs/usage.md in roff.
#   cmake -DDOCS_TOOL=tools/docs.sh -DTEMPLATE=... -DVERSION=... -DDATE=... -DOUTPUT=... -P man-page.cmake
execute_process(COMMAND ${DOCS_TOOL} roff
  OUTPUT_VARIABLE USAGE
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${DOCS_TOOL} roff failed")
endif()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
