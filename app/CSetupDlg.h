// The setup dialog, "Enter information": user name, password and server address. Accepting it
// checks the values, saves info.cfg and replaces the identity; the close box does nothing.
#pragma once

#include <QDialog>

#include <filesystem>

class QLineEdit;
class MessageBoxes;
struct ClientState;

class CSetupDlg : public QDialog {
    Q_OBJECT

public:
    CSetupDlg(ClientState& state, std::filesystem::path configDir, MessageBoxes& boxes, QWidget* parent = nullptr);

    void OnOK();
    [[nodiscard]] QLineEdit* nameEdit() const { return m_name; }
    [[nodiscard]] QLineEdit* passwordEdit() const { return m_password; }
    [[nodiscard]] QLineEdit* serverEdit() const { return m_server; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ClientState& m_state;
    std::filesystem::path m_configDir;
    MessageBoxes& m_boxes;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_server = nullptr;
};
