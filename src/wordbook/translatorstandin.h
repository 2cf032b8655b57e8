#pragma once

#include <QMainWindow>

class QAction;

// Stands where the translation editor will be: the word book hands over to it and it hands back.
class TranslatorStandIn : public QMainWindow {
    Q_OBJECT
public:
    explicit TranslatorStandIn(QWidget* parent = nullptr);

    QAction* mnuReturn;
    QAction* mnuExit;

signals:
    void returnRequested();
    void exitRequested();
};
