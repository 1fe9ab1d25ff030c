# CPack's own installer script, with Turkish as its one language and the uninstaller's shortcut named in
# Turkish (the shops' Windows may be set to any language, the program's words are Turkish), built for 64-bit
# Windows with Unicode text: NSIS's default stub is 32-bit and its text ANSI.
function(kvz_write_turkish_nsis_template folder)
  file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in template)
  string(REGEX REPLACE "[ \t]*!insertmacro MUI_LANGUAGE \"[A-Za-z]+\"[^\n]*\n" "" template "${template}")
  string(REPLACE ";Languages\n" ";Languages\n  !insertmacro MUI_LANGUAGE \"Turkish\"\n" template "${template}")
  string(REPLACE "; CPack install script" "Target amd64-unicode\n; CPack install script" template "${template}")
  string(REPLACE "Uninstall.lnk" "Programı kaldır.lnk" template "${template}")
  file(WRITE ${folder}/NSIS.template.in "${template}")
endfunction()
