# The generator refuses a malformed command line with a non-zero exit and
# writes a contact sheet when asked for one.
# Inputs: ARTGEN (the generator), OUT_DIR (scratch).
file(REMOVE_RECURSE "${OUT_DIR}")
file(MAKE_DIRECTORY "${OUT_DIR}")

function(expect_failure)
  execute_process(COMMAND "${ARTGEN}" ${ARGN} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(rc EQUAL 0)
    message(FATAL_ERROR "vyla-artgen ${ARGN} should have failed")
  endif()
endfunction()

expect_failure()
expect_failure(--out)
expect_failure(--contact-sheet "${OUT_DIR}/sheet.png")
expect_failure(--out "${OUT_DIR}/a" --bogus)
expect_failure(--out "${OUT_DIR}/a" --out "${OUT_DIR}/b")
file(WRITE "${OUT_DIR}/not-a-directory" "")
expect_failure(--out "${OUT_DIR}/not-a-directory")

execute_process(COMMAND "${ARTGEN}" --out "${OUT_DIR}/art" --contact-sheet "${OUT_DIR}/sheet.png"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vyla-artgen with --contact-sheet failed: ${rc}")
endif()
file(READ "${OUT_DIR}/sheet.png" signature LIMIT 8 HEX)
if(NOT signature STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "The contact sheet is not a PNG file")
endif()
file(GLOB written "${OUT_DIR}/art/*.bmp")
list(LENGTH written count)
if(NOT count EQUAL 21)
  message(FATAL_ERROR "Expected 21 bitmaps, got ${count}")
endif()
