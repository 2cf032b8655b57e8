#pragma once

class QTranslator;

// Qt's own texts (standard buttons, the font, colour and file dialogs) in Japanese, like the rest
// of the program. Installs Qt's Japanese translation in the running application and returns it
// (owned by the application), or null when it is not installed and Qt's texts stay English.
QTranslator* installQtJapanese();
