# Builds the EFF long word list into the program. The list comes from the Debian package
# diceware (scripts/debian-packages.txt); at configure time its file is checked and turned into a
# C++ source, so the program needs no file at run time. Lines are "<five dice digits><TAB><word>"
# (the digits are dropped) or bare words.

set(TESSAREL_EFF_WORDLIST "/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt"
    CACHE FILEPATH "The EFF long word list (from the Debian package diceware)")

function(tessarel_generate_eff_word_list output)
  set(source "${TESSAREL_EFF_WORDLIST}")
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "The EFF long word list is missing: ${source}\n"
                        "Install the Debian package 'diceware' (apt-get install diceware) or point "
                        "TESSAREL_EFF_WORDLIST at a copy of eff_large_wordlist.txt.")
  endif()
  # Configure again whenever the list changes.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  file(STRINGS "${source}" lines)
  set(words "")
  set(entries "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([1-6][1-6][1-6][1-6][1-6][ \t]+)?([a-z]+(-[a-z]+)*)$")
      list(APPEND words "${CMAKE_MATCH_2}")
      string(APPEND entries "    \"${CMAKE_MATCH_2}\",\n")
    elseif(NOT line STREQUAL "")
      message(FATAL_ERROR "The EFF long word list ${source} has a line that is neither \"<dice><TAB><word>\" nor a "
                          "word of lower-case letters: '${line}'")
    endif()
  endforeach()
  list(LENGTH words count)
  if(NOT count EQUAL 7776)
    message(FATAL_ERROR "The EFF long word list ${source} has ${count} words; the long list has 7776.")
  endif()
  set(unique ${words})
  list(REMOVE_DUPLICATES unique)
  list(LENGTH unique distinct)
  if(NOT distinct EQUAL 7776)
    message(FATAL_ERROR "The EFF long word list ${source} repeats words (${distinct} distinct of 7776).")
  endif()
  set(TESSAREL_EFF_SOURCE "${source}")
  set(TESSAREL_EFF_ENTRIES "${entries}")
  # configure_file writes only when the text changes, so a new configure rebuilds nothing.
  configure_file("${PROJECT_SOURCE_DIR}/cmake/EffWordList.cpp.in" "${output}" @ONLY)
endfunction()
