// The floor the client's window is measured against: a plain QDialog carrying the same
// controls and menu, built from the same layout, with nothing behind them.
#pragma once

#include <QDialog>

class BareDialog : public QDialog {
public:
    BareDialog();
};
