#pragma once

class QLineEdit;

// A box entered from the keyboard (Tab, Backtab, a shortcut) or moved into by the program
// selects its whole text, so what is typed or scanned next replaces it; a mouse click places
// the caret as usual. Qt's line edit selects only on Tab, Backtab and shortcuts.
void selectOnEntry(QLineEdit* edit);
