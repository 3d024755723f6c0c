# Merges the catalogs' translations into a desktop entry or a metainfo file, one language at a time with
# msgfmt, the way gettext does it for those files.
# cmake -DMSGFMT=... -DMODE=desktop|xml -DTEMPLATE=FILE -DOUT=FILE -DCATALOGS=a.po;b.po -P Translate.cmake
set(current ${TEMPLATE})
set(step 0)
foreach(po ${CATALOGS})
  get_filename_component(code ${po} NAME_WE)
  math(EXPR step "${step} + 1")
  # msgfmt finds the metainfo's rules by the file's name, so every step keeps the output's name.
  get_filename_component(name ${OUT} NAME)
  set(next ${OUT}.steps/${step}/${name})
  file(MAKE_DIRECTORY ${OUT}.steps/${step})
  execute_process(COMMAND ${MSGFMT} --${MODE} --template=${current} -l ${code} -o ${next} ${po}
    RESULT_VARIABLE status ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "msgfmt --${MODE} with ${po}: ${error}")
  endif()
  set(current ${next})
endforeach()
file(COPY_FILE ${current} ${OUT})
file(REMOVE_RECURSE ${OUT}.steps)
