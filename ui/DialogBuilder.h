// Building a window's controls from its layout template, converting dialog units to pixels with
// the window font's metrics so the layout keeps its proportions on any font.
#pragma once

#include <QFont>
#include <QHash>
#include <QRect>
#include <QSize>

#include "res/Resources.h"

class QWidget;

struct DialogUnits {
    int baseX = 0; // average character width in pixels
    int baseY = 0; // character height in pixels

    static DialogUnits ForFont(const QFont& font);
    [[nodiscard]] QRect ToPixels(int x, int y, int width, int height) const;
    [[nodiscard]] QSize ToPixels(int width, int height) const;
};

// Creates every control of the template as a child of parent at origin + its position, hidden
// controls hidden, in template order (which is the tab order). Returns the controls by id;
// labels without an id are not listed.
QHash<int, QWidget*> BuildControls(const DialogTemplate& dialog, QWidget* parent, const DialogUnits& units,
                                   QPoint origin = {});
