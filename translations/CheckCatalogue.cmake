# Fails when a catalogue is behind the sources: a text the windows or the
# plain code show that has no finished translation, or a translation whose
# text is gone. Runs the scanner on a copy, never on the catalogue itself.
# -DLUPDATE=program -DSOURCE_DIR=repo -DTS=catalogue -DWORK=scratch folder
file(MAKE_DIRECTORY ${WORK})
get_filename_component(name ${TS} NAME)
set(copy ${WORK}/${name})
file(COPY_FILE ${TS} ${copy})
execute_process(COMMAND ${LUPDATE} ${SOURCE_DIR}/src -extensions cpp,h -locations none -silent
                        -tr-function-alias QT_TRANSLATE_NOOP+=VK_TR_NOOP -ts ${copy}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the scanner failed (${result})")
endif()
file(READ ${copy} text)
string(REGEX MATCHALL "<translation type=\"(unfinished|vanished|obsolete)\"" marks "${text}")
list(LENGTH marks count)
if(count GREATER 0)
  # The texts themselves, where no comment stands between text and translation.
  string(REGEX MATCHALL "<source>[^<]*</source>[ \r\n]*<translation type=\"(unfinished|vanished|obsolete)\""
         stale "${text}")
  string(REPLACE ";" "\n" stale "${stale}")
  message(FATAL_ERROR "${name}: ${count} text(s) without a finished translation or no longer "
                      "in the sources (cmake --build BUILD --target update_translations):\n${stale}")
endif()
message(STATUS "${name}: every text translated")
