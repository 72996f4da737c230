# Runs the built quorvel-cli as its own process (under Wine for the Windows
# build) and checks its exit statuses and the exact bytes it prints.
#   -DCLI=... -DEMULATOR=... -DSAMPLES=... -DWORK=...
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(expect_run status expected_out)
  execute_process(COMMAND ${EMULATOR} ${CLI} ${ARGN}
    RESULT_VARIABLE got_status OUTPUT_VARIABLE got_out ERROR_VARIABLE got_err)
  if(NOT got_status EQUAL status)
    message(FATAL_ERROR "quorvel-cli ${ARGN}: exit status ${got_status}, expected ${status}\n${got_err}")
  endif()
  if(NOT "${expected_out}" STREQUAL "*" AND NOT got_out STREQUAL expected_out)
    message(FATAL_ERROR "quorvel-cli ${ARGN}: printed\n${got_out}\nexpected\n${expected_out}")
  endif()
  set(last_err "${got_err}" PARENT_SCOPE)
endfunction()

set(fruit "${SAMPLES}/fruit.csv")
expect_run(0 "no,\\x95i\\x96\\xBC,\\x8EY\\x92n
1,\\x82\\xE8\\x82\\xF1\\x82\\xB2,\\x90\\xC2\\x90X
2,\\x82\\xDD\\x82\\xA9\\x82\\xF1,\\x88\\xA4\\x95Q
3,\\x82\\xD4\\x82\\xC7\\x82\\xA4,\\x88\\xA4\\x95Q
4,\\x82\\xE0\\x82\\xE0,\\x90\\xC2\\x90X
" show "${fruit}" --columns 3)

expect_run(0 "no\n\\x95i\\x96\\xBC\n\\x8EY\\x92n\n1\n\\x82\\xE8\\x82\\xF1\\x82\\xB2\n\\x90\\xC2\\x90X\n2\n\\x82\\xDD\\x82\\xA9\\x82\\xF1\n\\x88\\xA4\\x95Q\n3\n\\x82\\xD4\\x82\\xC7\\x82\\xA4\n\\x88\\xA4\\x95Q\n4\n\\x82\\xE0\\x82\\xE0\n\\x90\\xC2\\x90X\n" tokens "${fruit}" --codepage 932)

expect_run(1 "" show "${WORK}/missing.csv")
string(FIND "${last_err}" "missing.csv" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the error message does not name the file: ${last_err}")
endif()

file(COPY "${fruit}" DESTINATION "${WORK}")
expect_run(0 "*" split "${WORK}/fruit.csv" --columns 3 --key 2)
file(GLOB pieces "${WORK}/fruit_*.csv")
list(LENGTH pieces count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR "split wrote ${count} pieces, expected 2")
endif()
file(WRITE "${WORK}/header.csv" "k,v\r\n")
expect_run(1 "" show "${WORK}/header.csv" --columns 2 --sort 0)

expect_run(2 "" show)
expect_run(0 "*" --help)
