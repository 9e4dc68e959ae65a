// Where message boxes go: real boxes captioned "QORNC" in the program, a recorder in tests.
#pragma once

#include <QString>

class QWidget;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Information(QWidget* owner, const QString& text) = 0;
    virtual void Stop(QWidget* owner, const QString& text) = 0;
};

class QtMessageBoxes : public MessageBoxes {
public:
    void Information(QWidget* owner, const QString& text) override;
    void Stop(QWidget* owner, const QString& text) override;
};
