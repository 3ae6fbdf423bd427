# Checks package_text.cmake: a settings text made with DEFAULT_MODE holds a
# section [prismet] with the lines of that mode's section, then the whole
# text; without DEFAULT_MODE the text stays as it is; a missing section
# stops the build; the css mode's source keys are each package's.
# cmake -DSCRIPT=path/to/package_text.cmake -DWORK=scratch-folder -P package_text_test.cmake
set(failures 0)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Runs the script on `source` and sets `out` to the bytes it wrote, in hex
# (or to "failed" when the script failed).
function(package_text source encoding mode out)
  file(WRITE "${WORK}/in.txt" "${source}")
  file(REMOVE "${WORK}/out.txt")
  execute_process(COMMAND "${CMAKE_COMMAND}" -DIN=${WORK}/in.txt -DOUT=${WORK}/out.txt -DENCODING=${encoding}
    -DVERSION=1.2.3 -DDEFAULT_MODE=${mode} -DPLATFORM=${platform} -P "${SCRIPT}"
    RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
  if(failed)
    set(${out} "failed" PARENT_SCOPE)
  else()
    file(READ "${WORK}/out.txt" bytes HEX)
    set(${out} "${bytes}" PARENT_SCOPE)
  endif()
endfunction()

# `expected` is text (CR LF written as \r\n) or, for code page 932, hex.
function(expect what source encoding mode expected)
  package_text("${source}" ${encoding} "${mode}" got)
  if(NOT encoding STREQUAL "cp932" AND NOT expected STREQUAL "failed")
    file(WRITE "${WORK}/expected.txt" "${expected}")
    file(READ "${WORK}/expected.txt" expected HEX)
  endif()
  if(got STREQUAL expected)
    message(STATUS "ok: ${what}")
  else()
    message(STATUS "FAILED: ${what}\n  got      ${got}\n  expected ${expected}")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

expect("the mode's lines in [prismet], then the whole text"
  "[a]\nk=1\n[html5]\nx=1\ny=2\n[b]\nz=3\n" ascii html5
  "[prismet]\r\nx=1\r\ny=2\r\n[a]\r\nk=1\r\n[html5]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n")
expect("the mode's section last in the text"
  "[a]\nk=1\n[html5]\nx=1\n" ascii html5
  "[prismet]\r\nx=1\r\n[a]\r\nk=1\r\n[html5]\r\nx=1\r\n")
expect("the mode's section first in the text, CR LF already"
  "[html5]\r\nx=1\r\n[b]\r\n" ascii html5
  "[prismet]\r\nx=1\r\n[html5]\r\nx=1\r\n[b]\r\n")
expect("an empty section gives an empty [prismet]"
  "[html5]\n[b]\nz=3\n" ascii html5
  "[prismet]\r\n[html5]\r\n[b]\r\nz=3\r\n")
expect("only a whole header line names the section"
  "[html5x]\nq=1\nk=[html5]\n[html5]\nx=1\n" ascii html5
  "[prismet]\r\nx=1\r\n[html5x]\r\nq=1\r\nk=[html5]\r\n[html5]\r\nx=1\r\n")
expect("semicolons and the version in values are kept"
  "[html5]\na=&nbsp; b;c\nv=@PROJECT_VERSION@\n" ascii html5
  "[prismet]\r\na=&nbsp; b;c\r\nv=1.2.3\r\n[html5]\r\na=&nbsp; b;c\r\nv=1.2.3\r\n")
expect("without a default mode the text is as it was"
  "[a]\nk=1\n[html5]\nx=1\n" ascii ""
  "[a]\r\nk=1\r\n[html5]\r\nx=1\r\n")
expect("a mode the text has no section for stops the build"
  "[a]\nk=1\n" ascii html5 "failed")
# [prismet]\r\n拡張子=.html\r\n[html5]\r\n拡張子=.html\r\n in code page 932.
expect("the keys in code page 932"
  "[html5]\n拡張子=.html\n" cp932 html5
  "5b707269736d65745d0d0a8a6792a38e713d2e68746d6c0d0a5b68746d6c355d0d0a8a6792a38e713d2e68746d6c0d0a")

# The css mode's keys: Linux's fragment of today's C++; the Windows zip's as
# they always were, and for a second program its Shift_JIS header and footer.
string(ASCII 239 187 191 bom)
set(css_text "[css]\n@CSS_MODE_SOURCE_KEYS@\n[html5]\nx=1\n")
set(platform linux)
expect("Linux: the css mode reads today's C++ in any encoding" "${css_text}" utf-8-bom ""
  "${bom}[css]\r\n語彙ファイル=prismet-cpp26.voc\r\n文字コード=自動\r\n相対パスの基準=設定ファイル\r\n[html5]\r\nx=1\r\n")
set(platform windows)
expect("Windows: the css mode as it was" "${css_text}" utf-8-bom ""
  "${bom}[css]\r\n語彙ファイル=\r\n[html5]\r\nx=1\r\n")
expect("Windows, a second program: the css mode names the Shift_JIS header and footer" "${css_text}" utf-8-bom
  html5
  "${bom}[prismet]\r\nx=1\r\n[css]\r\n語彙ファイル=\r\n前に挿入=prismet.top\r\n後に挿入=prismet.btm\r\n相対パスの基準=設定ファイル\r\n[html5]\r\nx=1\r\n")
set(platform "")

file(REMOVE_RECURSE "${WORK}")
if(failures GREATER 0)
  message(FATAL_ERROR "package_text: ${failures} failed")
endif()
