// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/booktransfer.h"
#include "frmgetdir.h"

#include <QObject>
#include <memory>

class BookHost;
class MergeForm;
class QWidget;

// The merge dialog: merges books A and B into a target, pausing at each duplicate when the user
// chooses. An abandoned merge leaves the target as it was.
class FrmMerge : public QObject, public PickReceiver {
    Q_OBJECT
public:
    explicit FrmMerge(BookHost* host, QWidget* parent = nullptr);
    ~FrmMerge() override;

    MergeForm* form() const { return m_form; }
    int exec();

    void formLoad();
    void cmdReadClick(int i);
    void cmdMergeClick();
    void cmdAchoiceClick();
    void cmdBchoiceClick();
    void cmdExitClick();

    MergePicks mergePicks() const override;
    void acceptPick(PickPurpose purpose, const QString& path, const QString& name) override;

private:
    void runMerge();
    void choose(BookMerge::Side side);
    void showDuplicate(const BookMerge::Duplicate& d);
    void clearDuplicate();
    void abandon();

    BookHost* m_host;
    MergeForm* m_form;
    std::unique_ptr<BookMerge> m_merge;
    bool m_bookClosed = false;
};
