// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QTextDocument;
class QWidget;

// Writing a pane's document as a word-processor document (.docx, .odt) through LibreOffice with
// the progress window. The file is replaced only once the whole new document is ready.
namespace documentexport {

enum class Written { Done, Failed, Cancelled };

Written exportDocument(const QTextDocument& document, const QString& path, QWidget* parent,
                       QString* error);

} // namespace documentexport
