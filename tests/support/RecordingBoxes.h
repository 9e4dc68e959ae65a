// Message boxes that never block: each is recorded with its kind and text.
#pragma once

#include <QString>

#include <vector>

#include "ui/MessageBoxes.h"

struct RecordedBox {
    QString kind; // "information" or "stop"
    QString text;
};

class RecordingBoxes : public MessageBoxes {
public:
    void Information(QWidget*, const QString& text) override { boxes.push_back({QStringLiteral("information"), text}); }
    void Stop(QWidget*, const QString& text) override { boxes.push_back({QStringLiteral("stop"), text}); }

    [[nodiscard]] QStringList texts() const
    {
        QStringList all;
        for (const RecordedBox& box : boxes)
            all.append(box.text);
        return all;
    }

    std::vector<RecordedBox> boxes;
};
