# Typesets the help file and refuses a PDF that lacks one of its section titles,
# so a broken source fails the build instead of shipping a help file with pages missing.
# Run as: cmake -DGROFF=... -DPDFTOTEXT=... -DSOURCE=vantrell.ms -DOUTPUT=vantrell.pdf -P make_help.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var GROFF PDFTOTEXT SOURCE OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "make_help.cmake needs -D${var}=...")
    endif()
endforeach()

# Written aside first: a failed check leaves no PDF behind, so the next build tries again.
set(partial "${OUTPUT}.partial")
file(REMOVE "${OUTPUT}" "${partial}")

# A4 both for the page layout and for the media box of the PDF.
execute_process(
    COMMAND "${GROFF}" -t -ms -Tpdf -dpaper=a4 -P-pa4 -ww "${SOURCE}"
    OUTPUT_FILE "${partial}"
    ERROR_VARIABLE groff_messages
    RESULT_VARIABLE groff_result)
if(NOT groff_result EQUAL 0)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "groff failed on ${SOURCE} (${groff_result}):\n${groff_messages}")
endif()
if(groff_messages)
    message(WARNING "groff on ${SOURCE}:\n${groff_messages}")
endif()

# Compared in hex: a text read with a limit may come back with a byte more.
file(READ "${partial}" magic LIMIT 5 HEX)
if(NOT magic STREQUAL "255044462d")  # "%PDF-"
    file(REMOVE "${partial}")
    message(FATAL_ERROR "groff wrote no PDF for ${SOURCE}")
endif()

execute_process(
    COMMAND "${PDFTOTEXT}" -q "${partial}" -
    OUTPUT_VARIABLE text
    RESULT_VARIABLE text_result)
if(NOT text_result EQUAL 0)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "pdftotext cannot read the help file typeset from ${SOURCE}")
endif()

# The title and the sections a user looks for from the program's pages.
set(titles
    "Vantrell Help"
    "Welcome to Vantrell"
    "The Biography page"
    "The Galleries page"
    "Adding pictures"
    "Moving and deleting pictures"
    "Work History, Photographers and Web Sites"
    "Adding, editing and deleting records"
    "The Finish page: building your portfolio"
    "Existing portfolios"
    "Burning a portfolio to CD"
    "Templates"
    "Keywords"
    "Skins"
    "The program folder")
# A title counts only as a line of its own (after its section number), not where the
# text merely mentions it.
string(REPLACE "\r" "" text "\n${text}\n")
set(missing "")
foreach(title IN LISTS titles)
    string(REGEX REPLACE "([][.*+?^$()|\\])" "\\\\\\1" pattern "${title}")
    string(REGEX MATCH "\n[ \t]*([0-9]+\\.[ \t]+)?${pattern}[ \t]*\n" found "${text}")
    if(NOT found)
        list(APPEND missing "${title}")
    endif()
endforeach()
if(missing)
    file(REMOVE "${partial}")
    list(JOIN missing "\", \"" missing_text)
    message(FATAL_ERROR "the help file typeset from ${SOURCE} lacks \"${missing_text}\"")
endif()

file(RENAME "${partial}" "${OUTPUT}")
