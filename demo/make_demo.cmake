# Lays out the demo home folder: the demo datafiles in datfiles/, demo files in roms/ (one of
# them a zip holding a whole set), and an empty tmp/.
file(REMOVE_RECURSE ${HOME}/roms)
file(MAKE_DIRECTORY ${HOME}/datfiles ${HOME}/tmp ${HOME}/roms)
file(GLOB DATFILES ${SOURCE}/datfiles/*)
file(COPY ${DATFILES} DESTINATION ${HOME}/datfiles)
file(COPY ${SOURCE}/files/space_race.bin ${SOURCE}/files/lost.tap ${SOURCE}/files/notes.txt
     DESTINATION ${HOME}/roms)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${HOME}/roms/sample.zip --format=zip
                        samp.u1 samp.u2
                WORKING_DIRECTORY ${SOURCE}/files COMMAND_ERROR_IS_FATAL ANY)
# Files that the demo DATs (Logiqx, ClrMamePro, software list) name.
file(COPY ${SOURCE}/files/pocket_pal.gb ${SOURCE}/files/star_quest.pce DESTINATION ${HOME}/roms)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${HOME}/roms/bolt_runner.zip --format=zip
                        bolt.1 bolt.2
                WORKING_DIRECTORY ${SOURCE}/files COMMAND_ERROR_IS_FATAL ANY)
