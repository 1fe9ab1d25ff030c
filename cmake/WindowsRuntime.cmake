# Everything a Windows program built with MinGW needs beside it: the Qt libraries it links, the Qt plugins it
# loads at run time (window system, style, the history's SQLite driver, icons), and the MinGW runtime.
function(kvz_windows_runtime_files target out_plugins out_runtime)
  # Qt's imported targets belong to the folder that found them: the SQL plugin is found again here.
  find_package(Qt6 REQUIRED COMPONENTS Sql)
  set(plugins)
  foreach(plugin Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin
                 Qt6::QSQLiteDriverPlugin Qt6::QICOPlugin)
    if(NOT TARGET ${plugin})
      message(FATAL_ERROR "The Windows Qt has no ${plugin}, which the program loads at run time")
    endif()
    get_target_property(location ${plugin} IMPORTED_LOCATION_RELEASE)
    if(NOT location)
      get_target_property(location ${plugin} IMPORTED_LOCATION)
    endif()
    get_filename_component(folder ${location} DIRECTORY)
    get_filename_component(kind ${folder} NAME)
    list(APPEND plugins "${kind}|${location}")
  endforeach()

  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name OUTPUT_VARIABLE libgcc
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  get_filename_component(gcc_folder ${libgcc} DIRECTORY)
  set(runtime)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    find_file(found_${dll} ${dll} PATHS ${gcc_folder} ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    list(APPEND runtime ${found_${dll}})
  endforeach()
  set(${out_plugins} ${plugins} PARENT_SCOPE)
  set(${out_runtime} ${runtime} PARENT_SCOPE)
endfunction()

function(kvz_install_windows_runtime target)
  kvz_windows_runtime_files(${target} plugins runtime)
  install(FILES $<TARGET_RUNTIME_DLLS:${target}> ${runtime} DESTINATION .)
  foreach(entry ${plugins})
    string(REPLACE "|" ";" fields ${entry})
    list(GET fields 0 kind)
    list(GET fields 1 location)
    install(FILES ${location} DESTINATION ${kind})
  endforeach()
endfunction()
