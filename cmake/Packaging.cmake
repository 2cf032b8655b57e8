# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a build folder (scripts/package.sh does it all). It
# depends on what the program needs when it runs: the shared libraries it links (Qt 6 Widgets
# and PrintSupport, ICU, found by dpkg-shlibdeps), Qt's platform plugins, the fonts it
# substitutes for the Windows fonts its settings name, and Qt's Japanese translation.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verbanta)
set(CPACK_PACKAGE_VENDOR "${VERBANTA_DEVELOPER}")
set(CPACK_PACKAGE_CONTACT "${VERBANTA_DEVELOPER} <${VERBANTA_CONTACT}>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VERBANTA_WEB_URL}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vocabulary notebook with a translation editor")
# Debian wants the description's lines shorter than 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
  "Verbanta keeps books of headwords, each with a meaning and an example
sentence, lists and searches them as you type, and quizzes you on them.
Its translation editor shows an original above its translation and looks
words up in the current book. The interface is Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic, fonts-liberation2 | fonts-liberation")
# The meanings offered when a word is registered come from these dictionaries when installed; the
# spelling check works with any Hunspell dictionary, English being the one offered by default;
# LibreOffice converts word-processor documents; MeCab's dictionary lets the editor read a
# Japanese original as words; the translation memory keeps its pairs through Qt SQL's SQLite
# driver, a plugin that the library dependencies do not name.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "edict, wordnet-base, hunspell-en-us, mecab-ipadic-utf8, libreoffice-writer, libqt6sql6-sqlite")
include(CPack)
