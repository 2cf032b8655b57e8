// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpviewer.h"

#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QTextBrowser>
#include <QWidget>

namespace {

QString folderOf(HelpBook book) {
    return book == HelpBook::WordBook ? QStringLiteral(":/help/wordbook/")
                                      : QStringLiteral(":/help/translator/");
}

// The contents file lists one page per line: file name, a tab, the title.
QList<QPair<QString, QString>> contentsOf(const QString& folder) {
    QList<QPair<QString, QString>> pages;
    QFile contents(folder + QStringLiteral("contents.txt"));
    if (!contents.open(QIODevice::ReadOnly))
        return pages;
    const QStringList lines =
        QString::fromUtf8(contents.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab > 0)
            pages.append({line.left(tab), line.mid(tab + 1).trimmed()});
    }
    return pages;
}

// A help window is read and put away: Esc closes it, wherever in it the focus is (the contents
// and the page leave the key to it).
class HelpWindow : public QWidget {
public:
    explicit HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
            close();
        else
            QWidget::keyPressEvent(event);
    }
};

} // namespace

bool showHelp(HelpBook book, QWidget* parent) {
    static QPointer<QWidget> openWindows[2];
    QPointer<QWidget>& existing = openWindows[book == HelpBook::WordBook ? 0 : 1];
    const QString folder = folderOf(book);
    const auto pages = contentsOf(folder);
    if (pages.isEmpty())
        return false;
    if (existing) {
        existing->show();
        existing->raise();
        existing->activateWindow();
        return true;
    }
    auto* window = new HelpWindow(parent);
    window->setObjectName(QStringLiteral("helpWindow"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(book == HelpBook::WordBook ? QStringLiteral("Verbanta ﾍﾙﾌﾟ")
                                                      : QStringLiteral("Dualscribe ﾍﾙﾌﾟ"));
    auto* list = new QListWidget(window);
    list->setObjectName(QStringLiteral("helpContents"));
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("helpPage"));
    browser->setSearchPaths({folder});
    for (const auto& page : pages) {
        auto* item = new QListWidgetItem(page.second, list);
        item->setData(Qt::UserRole, page.first);
    }
    QObject::connect(list, &QListWidget::currentItemChanged, browser,
                     [browser](QListWidgetItem* item) {
                         if (item)
                             browser->setSource(QUrl(item->data(Qt::UserRole).toString()));
                     });
    auto* layout = new QHBoxLayout(window);
    layout->addWidget(list, 1);
    layout->addWidget(browser, 3);
    list->setCurrentRow(0);
    window->resize(760, 520);
    window->show();
    existing = window;
    return true;
}
