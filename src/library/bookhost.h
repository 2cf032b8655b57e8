// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the book dialogs need from the window that holds the open book.
class BookHost {
public:
    virtual ~BookHost() = default;
    // Brings the open book up to date on disk, closes it and forgets its words.
    virtual void closeBook() = 0;
    // Opens the current book and fills the list. False, with nothing created, when the book's
    // folder or one of its files is missing.
    virtual bool ReopenBook() = 0;
    // Shows the window on the book just chosen.
    virtual void showChosenBook() = 0;
    virtual void ApplyPaletteFont() = 0;
};
