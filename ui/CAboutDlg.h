// The About box: the product, its version and its maker, and an OK button.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    [[nodiscard]] static QString AboutText();
};
