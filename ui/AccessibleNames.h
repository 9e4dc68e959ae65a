// The names a screen reader says for the controls that have no caption of their own: the label
// each sits under, or, where no label says what it is, a name of its own.
#pragma once

#include <QHash>

#include "res/Resources.h"

class QWidget;

// Controls with a caption need nothing: their caption, without the mnemonic marker, is their
// name and follows it when it changes.
void NameControls(const DialogTemplate& dialog, const QHash<int, QWidget*>& controls);
