# windows_text(SOURCE OUTPUT [BOM]): writes a UTF-8 text file of the
# repository as Windows tools expect it: CR LF line ends and, with BOM, a
# byte-order mark, so that Notepad takes it for UTF-8. @VAR@ references
# in the text are replaced by the variables' values. Made at configure
# time, and again whenever the source changes.
function(windows_text source output)
  cmake_parse_arguments(PARSE_ARGV 2 arg "BOM" "" "")
  get_filename_component(source ${source} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} text)
  string(CONFIGURE "${text}" text @ONLY)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  if(arg_BOM)
    string(ASCII 239 187 191 bom)
    set(text "${bom}${text}")
  endif()
  file(WRITE ${output} "${text}")
endfunction()
