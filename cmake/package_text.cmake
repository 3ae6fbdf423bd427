# Writes one text file of a package from its UTF-8 source in res/:
# the project's version filled in for @PROJECT_VERSION@, every line ended with
# CR LF, and the bytes in ENCODING:
#   cp932      code page 932, through iconv (the settings file's keys)
#   utf-8-bom  UTF-8 behind a byte order mark
#   ascii      as they are; anything but ASCII is an error
# With DEFAULT_MODE (a settings file), the text is put behind a section
# [prismet] that holds the keys of the section [DEFAULT_MODE]: that mode
# becomes the settings file's default, as a Linux first run makes it.
# cmake -DIN=source -DOUT=file -DENCODING=... -DVERSION=x.y.z [-DPLATFORM=windows]
#       [-DDEFAULT_MODE=name]
#       -P package_text.cmake
file(READ "${IN}" text)
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" text "${text}")
# The css mode's source keys differ by package. On Linux the css mode makes
# fragments to embed in today's pages: the C++26 vocabulary, each source's
# encoding found, UTF-8 out. In the Windows zip it makes the Shift_JIS pages
# its read-me describes, under the built-in header that declares Shift_JIS;
# a second program whose own default header is another (DEFAULT_MODE: the
# built-in header is named after the program) names prismet.top and
# prismet.btm for it.
if(PLATFORM STREQUAL "windows" AND DEFAULT_MODE)
  set(css_source_keys "語彙ファイル=\n前に挿入=prismet.top\n後に挿入=prismet.btm\n相対パスの基準=設定ファイル")
elseif(PLATFORM STREQUAL "windows")
  set(css_source_keys "語彙ファイル=")
else()
  set(css_source_keys "語彙ファイル=prismet-cpp26.voc\n文字コード=自動\n相対パスの基準=設定ファイル")
endif()
string(REPLACE "@CSS_MODE_SOURCE_KEYS@" "${css_source_keys}" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")

if(DEFAULT_MODE)
  # The section's lines run from its header line to the next line that
  # begins with "[" (or the end).
  set(lines "\r\n${text}")
  string(FIND "${lines}" "\r\n[${DEFAULT_MODE}]\r\n" header)
  if(header EQUAL -1)
    message(FATAL_ERROR "${IN}: no section [${DEFAULT_MODE}]")
  endif()
  string(LENGTH "\r\n[${DEFAULT_MODE}]\r\n" header_length)
  math(EXPR body_start "${header} + ${header_length}")
  string(SUBSTRING "${lines}" ${body_start} -1 body)
  string(FIND "\r\n${body}" "\r\n[" body_end)
  if(NOT body_end EQUAL -1)
    string(SUBSTRING "${body}" 0 ${body_end} body)
  endif()
  set(text "[prismet]\r\n${body}${text}")
endif()

if(ENCODING STREQUAL "cp932")
  file(WRITE "${OUT}.utf-8" "${text}")
  execute_process(COMMAND iconv -f UTF-8 -t CP932 "${OUT}.utf-8"
    OUTPUT_FILE "${OUT}" RESULT_VARIABLE failed)
  file(REMOVE "${OUT}.utf-8")
  if(failed)
    file(REMOVE "${OUT}")
    message(FATAL_ERROR "${IN}: not representable in code page 932")
  endif()
elseif(ENCODING STREQUAL "utf-8-bom")
  string(ASCII 239 187 191 bom)
  file(WRITE "${OUT}" "${bom}${text}")
elseif(ENCODING STREQUAL "ascii")
  if(NOT text MATCHES "^[\t\r\n -~]*$")
    message(FATAL_ERROR "${IN}: not ASCII")
  endif()
  file(WRITE "${OUT}" "${text}")
else()
  message(FATAL_ERROR "unknown encoding ${ENCODING}")
endif()
