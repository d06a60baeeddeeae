# Makes one help page: copies IN to OUT with each "<!--keys:SECTION-->" line replaced by
# the key table that `orvalis-tool help keys LANGUAGE SECTION LANGDIR` prints.
# Run with -DTOOL= -DIN= -DOUT= -DLANGUAGE= -DLANGDIR=.
file(READ "${IN}" page)
string(REGEX MATCHALL "<!--keys:[a-z]+-->" markers "${page}")
foreach(marker ${markers})
    string(REGEX REPLACE "<!--keys:([a-z]+)-->" "\\1" section "${marker}")
    execute_process(COMMAND "${TOOL}" help keys "${LANGUAGE}" "${section}" "${LANGDIR}"
                    OUTPUT_VARIABLE table RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "orvalis-tool help keys ${LANGUAGE} ${section} failed: ${rc}")
    endif()
    string(REPLACE "${marker}" "${table}" page "${page}")
endforeach()
file(WRITE "${OUT}" "${page}")
