# Writes OUT, a header naming the source tree's revision and its date (from git, "unknown"
# without it), only when they changed, so that a build without a new commit recompiles nothing.
execute_process(COMMAND git -C "${SOURCE}" log -1 "--format=%h;%cs"
    OUTPUT_VARIABLE found RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(failed OR NOT found MATCHES ";")
    set(found "unknown;unknown")
endif()
list(GET found 0 revision)
list(GET found 1 date)
file(WRITE "${OUT}.new" "#define VANTRELL_REVISION \"${revision}\"\n#define VANTRELL_REVISION_DATE \"${date}\"\n")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
